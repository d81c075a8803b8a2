#pragma once

#include "profiles/printersettings.h"
#include "protocol/packetcodec.h"
#include "protocol/packetreceiver.h"
#include "protocol/wireconstants.h"

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
};
