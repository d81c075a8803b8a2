#pragma once

#include <QAbstractSocket>
#include <QHostAddress>
#include <QObject>

class QTcpSocket;
class QTimer;

// The TCP command link: carries host command packets to the printer's command port and
// aborts a connection on which nothing has moved for HeartbeatLimit ticks.
class TcpPrinter : public QObject
{
    Q_OBJECT

public:
    static constexpr int HeartbeatLimit = 15;
    static constexpr int DefaultHeartbeatIntervalMs = 1000;
    static constexpr qint64 ReadChunk = 8192;
    // A connection attempt still pending after this long is given up (ms); the system's own
    // limit is two minutes, far too long for a technician at the printer.
    static constexpr int ConnectTimeoutMs = 5000;

    explicit TcpPrinter(QObject *parent = nullptr);
    ~TcpPrinter() override;

    bool connectToPrinter(const QHostAddress &address, quint16 port);
    void disconnectFromPrinter();
    bool write(const char *data, qint64 size, int milliseconds);

    QHostAddress address() const { return m_address; }
    QAbstractSocket::SocketState state() const;
    // Why the last attempt or connection ended, in words for the technician.
    QString errorText() const;
    // Whether the current or last attempt got through to a connected socket.
    bool reached() const { return m_reached; }
    int heartbeatTicks() const { return m_heartbeatTicks; }
    // The tick period; tests shorten it, the program keeps one second.
    void setHeartbeatInterval(int milliseconds) { m_heartbeatIntervalMs = milliseconds; }
    void setConnectTimeout(int milliseconds) { m_connectTimeoutMs = milliseconds; }

signals:
    void connected();
    // Once each time the link falls back to unconnected: a dropped, closed or aborted
    // connection, and a connection attempt that failed.
    void disconnected();
    void bytesWritten(qint64 bytes);
    void stateChanged(QAbstractSocket::SocketState state);

public slots:
    void onReadyRead();
    void onError(QAbstractSocket::SocketError error);
    void onStateChanged(QAbstractSocket::SocketState state);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void stopHeartbeat();
    void onConnectTimeout();

    QHostAddress m_address;
    QTcpSocket *m_socket;
    int m_heartbeatTicks = 0;
    int m_heartbeatTimerId = 0;
    int m_heartbeatIntervalMs = DefaultHeartbeatIntervalMs;
    int m_connectTimeoutMs = ConnectTimeoutMs;
    QTimer *m_connectTimer;
    // Of the current attempt: whether the socket got through, and what ended it.
    bool m_reached = false;
    // A QAbstractSocket::SocketError, or one of these of our own.
    enum { NoError = -1, HeartbeatLost = -2 };
    int m_error = NoError;
    QAbstractSocket::SocketState m_lastState = QAbstractSocket::UnconnectedState;
};
