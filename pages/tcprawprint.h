#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QHostAddress>
#include <QObject>

class QTcpSocket;

// One printout over a connection of its own to the printer's raw print port: connect,
// write, close 500 ms later. Made and forgotten by rawPrint; it deletes itself once its
// connection is gone, never cutting one short. Failures are silent.
class TcpRawPrint : public QObject
{
    Q_OBJECT

public:
    static constexpr int CloseDelayMs = 500;

    TcpRawPrint(const QHostAddress &address, const QByteArray &data, QObject *parent = nullptr);
    ~TcpRawPrint() override;

    // Printouts whose connection is not gone yet.
    static int inFlight() { return s_inFlight; }

public slots:
    void onSocketStateChanged(QAbstractSocket::SocketState state);
    void onSocketError(QAbstractSocket::SocketError error);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    QHostAddress m_address;
    QByteArray m_data;
    QTcpSocket *m_socket;
    int m_closeTimer = 0;
    static int s_inFlight;
};

// Sends raw ESC/POS bytes over the current link: the USB link itself, or a new connection
// to the network printer's raw print port. Without a link nothing happens.
void rawPrint(const QByteArray &data);
void rawPrint(const char *data, int length);
