#pragma once

#include "profiles/printersettings.h"
#include "protocol/packetcodec.h"
#include "protocol/packetreceiver.h"
#include "protocol/wireconstants.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

class QTcpSocket;
class QTimer;

// One printer reached over its own TCP link, apart from the window's transceiver: the
// handshake, the nine queries, Set requests and the read-back that follows them. What the
// headless commands and roll-outs run, several at once.
class PrinterSession : public QObject
{
    Q_OBJECT

public:
    // How long a printer has to answer the connect, the handshake and all nine queries (ms).
    static constexpr int AnswerTimeoutMs = 10000;

    explicit PrinterSession(const QHostAddress &address, quint16 port = Wire::CommandPort,
                            QObject *parent = nullptr);
    ~PrinterSession() override;

    QHostAddress address() const { return m_address; }
    quint16 port() const { return m_port; }

    // Connects, runs the handshake and reads the nine queries: settingsRead or failed.
    void read();
    // On an open session: sends the requests, then reads the nine queries again:
    // settingsRead with what the printer now holds, or failed.
    void sendAndReadBack(const QList<QByteArray> &requests);
    void close();

    // The last complete read.
    const PrinterSettings &settings() const { return m_settings; }

signals:
    void settingsRead();
    // "no printer answered within 10 s", "refused the connection", ... (no address in it).
    void failed(QString reason);

private:
    enum class Phase { Idle, Connecting, Handshake, Reading, Open, Failed };

    void onConnected();
    void onReadyRead();
    void onError(QAbstractSocket::SocketError error);
    void onTimeout();
    void readOnOpenLink(const QList<QByteArray> &requests);
    void takeHandshake(const QByteArray &answer);
    void takeAnswers();
    void sendQueries();
    void write(const QByteArray &payload, bool handshake);
    void fail(const QString &reason);

    const QHostAddress m_address;
    const quint16 m_port;
    QTcpSocket *m_socket;
    QTimer *m_timer;
    Phase m_phase = Phase::Idle;
    quint32 m_nonce = 0;
    PacketCodec::Key m_sessionKey{};
    PacketReceiver m_receiver;
    // Bytes read but not yet taken: the start of a packet too short for the receiver.
    QByteArray m_pending;
    int m_undecryptable = 0; // packets of this read that did not decrypt
    PrinterSettings m_reading;
    PrinterSettings m_settings;
};
