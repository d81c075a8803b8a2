#pragma once

#include "emulator/printerstate.h"
#include "protocol/packetcodec.h"
#include "protocol/packetreceiver.h"

#include <QHostAddress>
#include <QObject>

class QTcpServer;
class QTcpSocket;

struct EmulatorOptions
{
    QHostAddress listen = QHostAddress(QHostAddress::LocalHost);
    quint16 port = 17900;
    int keepAliveMs = 3000;  // 0: none
    bool silent = false;     // accept, never answer, no keep-alive
    int closeAfter = 0;      // close after this many decoded requests (Hello counts); 0: never
    bool wrongKey = false;   // answer ordinary requests with a key the tool does not have
    int chunk = 0;           // write ordinary answers in pieces of at most this many bytes
};

// Plays the printer's side of the host command protocol on a TCP port, one connection at
// a time (a new connection replaces the old one).
class PrinterEmulator : public QObject
{
    Q_OBJECT

public:
    explicit PrinterEmulator(const EmulatorOptions &options, QObject *parent = nullptr);

    bool listen();
    QString errorString() const;
    PrinterState &state() { return m_state; }

signals:
    // One per decoded request; word is 0 for the handshake.
    void requestReceived(quint16 word, QByteArray payload);
    void logLine(QString line);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void onNewConnection();
    void onReadyRead();
    void handle(PacketReceiver::Event event, const uchar *payload, int length);
    void send(const QByteArray &packet, bool whole);
    void say(const QString &line);

    EmulatorOptions m_options;
    PrinterState m_state;
    QTcpServer *m_server;
    QTcpSocket *m_socket = nullptr;
    PacketReceiver m_receiver;
    PacketCodec::Key m_sessionKey{};
    int m_requests = 0;
    int m_keepAliveTimer = 0;
};
