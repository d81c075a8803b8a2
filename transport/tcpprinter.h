#pragma once

#include <QAbstractSocket>
#include <QHostAddress>
#include <QObject>

class QTcpSocket;

// The TCP command link: carries host command packets to the printer's command port and
// aborts a connection on which nothing has moved for HeartbeatLimit ticks.
class TcpPrinter : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 CommandPort = 17900;
    static constexpr int HeartbeatLimit = 15;
    static constexpr int DefaultHeartbeatIntervalMs = 1000;
    static constexpr qint64 ReadChunk = 8192;

    explicit TcpPrinter(QObject *parent = nullptr);
    ~TcpPrinter() override;

    bool connectToPrinter(const QHostAddress &address, quint16 port);
    void disconnectFromPrinter();
    bool write(const char *data, qint64 size, int milliseconds);

    QHostAddress address() const { return m_address; }
    QAbstractSocket::SocketState state() const;
    int heartbeatTicks() const { return m_heartbeatTicks; }
    // The tick period; tests shorten it, the program keeps one second.
    void setHeartbeatInterval(int milliseconds) { m_heartbeatIntervalMs = milliseconds; }

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

    QHostAddress m_address;
    QTcpSocket *m_socket;
    int m_heartbeatTicks = 0;
    int m_heartbeatTimerId = 0;
    int m_heartbeatIntervalMs = DefaultHeartbeatIntervalMs;
    QAbstractSocket::SocketState m_lastState = QAbstractSocket::UnconnectedState;
};
