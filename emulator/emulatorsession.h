#pragma once

#include "emulator/emulatoroptions.h"
#include "emulator/emulatorprotocol.h"

#include <QAbstractSocket>
#include <QElapsedTimer>
#include <QObject>
#include <QQueue>
#include <QRandomGenerator>
#include <QTimer>

class QIODevice;
class QTcpSocket;

// One connection to the emulated printer: reads what the tool sends, answers through the
// shared PrinterState, sends keep-alives and puts on the fault modes. Deletes itself once
// the connection is gone. The connection is a TCP socket or, for a printer on USB, any
// other device whose owner reports its end through deviceGone().
class EmulatorSession : public QObject
{
    Q_OBJECT

public:
    // Takes ownership of a connected socket.
    EmulatorSession(QTcpSocket *socket, PrinterState &state, const EmulatorOptions &options,
                    QObject *parent = nullptr);
    // Serves an open device it does not own; peer names it in the log.
    EmulatorSession(QIODevice *device, const QString &peer, PrinterState &state,
                    const EmulatorOptions &options, QObject *parent = nullptr);
    ~EmulatorSession() override;

    QString peer() const { return m_peer; }
    int requestCount() const { return m_requests; }

    // "127.0.0.1:17900", "[::1]:17900"; an IPv4-mapped address shows as IPv4.
    static QString endpoint(const QHostAddress &address, quint16 port);

    // The other end is gone (for a socket the session notices by itself).
    void deviceGone();

signals:
    void logLine(QString line);
    // word is 0 for the hello, whose payload is the nonce.
    void requestReceived(quint16 word, QByteArray payload);
    void finished();
    // An upload reached EmulatorOptions::restartMidUpload bytes: the session takes nothing
    // more and waits for its owner to restart (a printer on USB does not).
    void restartDue(QString what);

private:
    struct Piece
    {
        QByteArray bytes;
        bool handshake = false;
    };

    void onReadyRead();
    void onDisconnected();
    void onError(QAbstractSocket::SocketError error);
    void handle(const EmulatorProtocol::Event &event);
    void send(const QByteArray &packet, bool handshake);
    void writeNextPiece();
    void write(const Piece &piece);
    void sendKeepAlive();
    void closeWhenDrained();
    void floodTick();
    bool holdingForFlood() const;

    QIODevice *m_device;
    QTcpSocket *m_socket; // m_device when it is a socket, else null
    const EmulatorOptions m_options;
    EmulatorProtocol m_protocol;
    QString m_peer;
    QQueue<Piece> m_queue;
    QTimer m_pieceTimer;
    QTimer m_keepAliveTimer;
    QTimer m_floodTimer;
    QRandomGenerator m_random;
    QElapsedTimer m_sinceRequest; // started at every request
    QElapsedTimer m_sinceGarbage; // started at every garbage burst
    int m_floodTicks = 0;
    int m_requests = 0;
    bool m_closing = false;
    bool m_finished = false;
};
