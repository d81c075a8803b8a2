#pragma once

#include "protocol/hostcmddevinfo.h"
#include "protocol/modelpredicates.h"
#include "protocol/packetcodec.h"
#include "protocol/packetreceiver.h"

#include <QByteArray>
#include <QObject>
#include <QString>

// Command words of the nine queries (variant 0).
enum HostCmdWord : quint16 {
    GetDeviceInfo = 0x0001,
    GetNetworkInfo = 0x0002,
    GetPrintSettings = 0x0003,
    GetWnetInfo = 0x0004,
    GetSerialSettings = 0x0005,
    GetAudioSettings = 0x0006,
    GetStaticIp = 0x0007,
    GetFinePrintMode = 0x0008,
    GetNvImageList = 0x0009,
};

// The host command protocol engine: frames and encrypts requests, runs the handshake that
// derives the session key, and turns the bytes the links read into decoded packets.
class HostCmd : public QObject
{
    Q_OBJECT

public:
    static constexpr int WriteTimeoutMs = 5000;

    explicit HostCmd(QObject *parent = nullptr);

    QString project() const { return m_project; }
    QString model() const { return m_model; }
    void setProject(const QString &project) { m_project = project; }
    void setModel(const QString &model) { m_model = model; }

    // What the connected printer has, from the project and model codes set above.
    int dotsPerLine() const { return ModelPredicates::dotsPerLine(m_project); }
    bool hasEthernet() const { return ModelPredicates::hasEthernet(m_project); }
    bool has4G() const { return ModelPredicates::has4G(m_project, m_model); }
    bool hasWifi() const { return ModelPredicates::hasWifi(m_project, m_model); }

    const PacketCodec::Key &sessionKey() const { return m_sessionKey; }
    quint32 nonce() const { return m_nonce; }

    // Pads, encrypts (session key, or built-in key with block count 0) and writes one payload
    // of 1 to 480 bytes through the transceiver; other lengths send nothing.
    void sendCommand(const uchar *payload, int length, bool useSessionKey);
    // The handshake request. fixedNonce makes the nonce 1 instead of the time.
    bool sendHello(bool fixedNonce);
    // A 2-byte query request: the command word alone.
    bool query(quint16 word);

    // Takes bytes just read from a link; returns how many were consumed. 0 means: drop the rest.
    quint32 receive(const uchar *data, quint32 length);

signals:
    void deviceFound(host_cmd_dev_info_t devinfo);
    void responseReceived(QByteArray response);

private:
    bool writePacket(const uchar *payload, int length, bool useSessionKey);

    QString m_project;
    QString m_model;
    PacketCodec::Key m_sessionKey{};
    quint32 m_nonce = 0;
    PacketReceiver m_receiver;
};

extern HostCmd g_hostCmd;
