#pragma once

#include "protocol/hostcmddevinfo.h"
#include "protocol/hostcmdword.h"
#include "protocol/wireconstants.h"
#include "protocol/lastknownrecords.h"
#include "protocol/modelpredicates.h"
#include "protocol/packetcodec.h"
#include "protocol/packetreceiver.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <mutex>

struct AudioSettingsRecord;
struct FinePrintModeRecord;
struct PrintSettingsRecord;
struct SerialSettingsRecord;
struct StaticIpRecord;
struct WnetApnRecord;

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
    bool isRx100() const { return ModelPredicates::isRx100(m_project); }
    int dotsPerLine() const { return ModelPredicates::dotsPerLine(m_project); }
    bool hasEthernet() const { return ModelPredicates::hasEthernet(m_project); }
    bool has4G() const { return ModelPredicates::has4G(m_project, m_model); }
    bool hasWifi() const { return ModelPredicates::hasWifi(m_project, m_model); }

    PacketCodec::Key sessionKey() const;
    quint32 nonce() const;

    // Pads, encrypts (session key, or built-in key with block count 0) and writes one payload
    // of 1 to 480 bytes through the transceiver; other lengths send nothing.
    void sendCommand(const uchar *payload, int length, bool useSessionKey);
    // The handshake request. fixedNonce makes the nonce 1 instead of the time.
    bool sendHello(bool fixedNonce);
    // A 2-byte query request: the command word alone.
    bool query(quint16 word);
    // The shortest answer the dispatcher reads for a query word; 0 for other words.
    static int answerMinSize(quint16 word) { return queryAnswerMinSize(word); }

    // Settings commands. Each builds its record, compares it with the last known one and
    // sends it only when it differs; an unchanged record sends nothing and returns true.
    // Otherwise they return the write's result (false with no link).
    bool SetLanStaticIp(const StaticIpRecord &record);
    bool SetWifiStaticIp(const StaticIpRecord &record);
    bool SetAudioSettings(const AudioSettingsRecord &record);
    bool SetPrintSettings(const PrintSettingsRecord &record);
    bool SetFinePrintMode(const FinePrintModeRecord &record);
    bool SetWnetApn(const WnetApnRecord &record);
    bool SetSerialSettings(const SerialSettingsRecord &record);
    // SetWifiNetwork, or ClearWifiNetwork for an empty SSID; always sent.
    bool SetWifiNetwork(const QString &ssid, const QString &password);

    bool RestartWnetModule();
    bool ClearWebPassword();
    bool GetFontScripts();
    bool BeginFontScripts();
    bool EndFontScripts();
    bool ResetFontScripts();
    // A filled 438-byte font script record; its first two bytes become the command word.
    bool SetFontScript(const QByteArray &record);
    bool ListFiles(const QByteArray &directory);
    bool DeleteFile(const QByteArray &path);
    bool BeginFileUpload(const QByteArray &path, quint32 size);
    bool CommitFileUpload(const QByteArray &path, quint32 size, const QByteArray &md5);

    LastKnownRecords &lastKnown() { return m_lastKnown; }

    // Takes bytes just read from a link; returns how many were consumed. 0 means: drop the rest.
    quint32 receive(const uchar *data, quint32 length);

signals:
    void deviceFound(host_cmd_dev_info_t devinfo);
    void responseReceived(QByteArray response);

private:
    bool writePacket(const uchar *payload, int length, bool useSessionKey);
    bool send(const QByteArray &payload);
    bool sendWord(quint16 word);
    bool sendIfChanged(LastKnownRecords::Record record, const QByteArray &payload);

    QString m_project;
    QString m_model;
    // The USB reader thread sets the key while the GUI thread sends with it.
    mutable std::mutex m_keyMutex;
    PacketCodec::Key m_sessionKey{};
    quint32 m_nonce = 0;
    PacketReceiver m_receiver;
    LastKnownRecords m_lastKnown;
};

extern HostCmd g_hostCmd;
