#include "protocol/hostcmd.h"

#include "app/log.h"
#include "protocol/audiosettingsrecord.h"
#include "protocol/deviceinformation.h"
#include "protocol/filerecord.h"
#include "protocol/fineprintmoderecord.h"
#include "protocol/networkinformation.h"
#include "protocol/nvimagelist.h"
#include "protocol/printsettingsrecord.h"
#include "protocol/serialsettingsrecord.h"
#include "protocol/staticiprecord.h"
#include "protocol/wifinetworkrecord.h"
#include "protocol/wnetapnrecord.h"
#include "protocol/wnetinformation.h"
#include "transport/transceiver.h"

#include <QDateTime>

HostCmd g_hostCmd;

using namespace PacketCodec;

HostCmd::HostCmd(QObject *parent)
    : QObject(parent)
{
}

PacketCodec::Key HostCmd::sessionKey() const
{
    std::lock_guard<std::mutex> lock(m_keyMutex);
    return m_sessionKey;
}

quint32 HostCmd::nonce() const
{
    std::lock_guard<std::mutex> lock(m_keyMutex);
    return m_nonce;
}

bool HostCmd::writePacket(const uchar *payload, int length, bool useSessionKey)
{
    uchar packet[MaxPacket];
    const int size = encodePacket(payload, length, useSessionKey ? sessionKey() : builtInKey(),
                                  !useSessionKey, packet);
    if (size == 0 || !g_transceiver)
        return false;
    return g_transceiver->write(reinterpret_cast<const char *>(packet), size, WriteTimeoutMs);
}

void HostCmd::sendCommand(const uchar *payload, int length, bool useSessionKey)
{
    writePacket(payload, length, useSessionKey);
}

bool HostCmd::sendHello(bool fixedNonce)
{
    const quint32 nonce = fixedNonce ? 1u : quint32(QDateTime::currentSecsSinceEpoch());
    {
        std::lock_guard<std::mutex> lock(m_keyMutex);
        m_nonce = nonce;
    }
    const uchar payload[NonceSize] = {uchar(nonce), uchar(nonce >> 8), uchar(nonce >> 16),
                                      uchar(nonce >> 24)};
    // Padding a 4-byte payload gives the twelve 0x0C bytes the handshake block carries.
    return writePacket(payload, NonceSize, false);
}

bool HostCmd::query(quint16 word)
{
    return sendWord(word);
}

bool HostCmd::send(const QByteArray &payload)
{
    return writePacket(reinterpret_cast<const uchar *>(payload.constData()), payload.size(), true);
}

bool HostCmd::sendWord(quint16 word)
{
    const uchar payload[2] = {uchar(word), uchar(word >> 8)};
    return writePacket(payload, sizeof payload, true);
}

bool HostCmd::sendIfChanged(LastKnownRecords::Record record, const QByteArray &payload)
{
    if (!m_lastKnown.takeIfChanged(record, payload))
        return true;
    return send(payload);
}

bool HostCmd::SetLanStaticIp(const StaticIpRecord &record)
{
    return sendIfChanged(LastKnownRecords::LanStaticIp, record.toBytes(HostCmdWord::SetLanStaticIp));
}

bool HostCmd::SetWifiStaticIp(const StaticIpRecord &record)
{
    return sendIfChanged(LastKnownRecords::WifiStaticIp, record.toBytes(HostCmdWord::SetWifiStaticIp));
}

bool HostCmd::SetAudioSettings(const AudioSettingsRecord &record)
{
    return sendIfChanged(LastKnownRecords::AudioSettings, record.toBytes());
}

bool HostCmd::SetPrintSettings(const PrintSettingsRecord &record)
{
    return sendIfChanged(LastKnownRecords::PrintSettings, record.toBytes());
}

bool HostCmd::SetFinePrintMode(const FinePrintModeRecord &record)
{
    return sendIfChanged(LastKnownRecords::FinePrintMode, record.toBytes());
}

bool HostCmd::SetWnetApn(const WnetApnRecord &record)
{
    return sendIfChanged(LastKnownRecords::WnetApn, record.toBytes());
}

bool HostCmd::SetSerialSettings(const SerialSettingsRecord &record)
{
    return sendIfChanged(LastKnownRecords::SerialSettings, record.toBytes());
}

bool HostCmd::SetWifiNetwork(const QString &ssid, const QString &password)
{
    return send(WifiNetworkRecord{ssid, password}.toBytes());
}

bool HostCmd::RestartWnetModule() { return sendWord(HostCmdWord::RestartWnetModule); }
bool HostCmd::ClearWebPassword() { return sendWord(HostCmdWord::ClearWebPassword); }
bool HostCmd::GetFontScripts() { return sendWord(HostCmdWord::GetFontScripts); }
bool HostCmd::BeginFontScripts() { return sendWord(HostCmdWord::BeginFontScripts); }
bool HostCmd::EndFontScripts() { return sendWord(HostCmdWord::EndFontScripts); }
bool HostCmd::ResetFontScripts() { return sendWord(HostCmdWord::ResetFontScripts); }

bool HostCmd::SetFontScript(const QByteArray &record)
{
    if (record.size() < 2)
        return false;
    QByteArray payload = record;
    payload[0] = char(HostCmdWord::SetFontScript & 0xff);
    payload[1] = char(HostCmdWord::SetFontScript >> 8);
    return send(payload);
}

bool HostCmd::ListFiles(const QByteArray &directory)
{
    return send(FileRecord::pathRecord(HostCmdWord::ListFiles, directory));
}

bool HostCmd::DeleteFile(const QByteArray &path)
{
    return send(FileRecord::pathRecord(HostCmdWord::DeleteFile, path));
}

bool HostCmd::BeginFileUpload(const QByteArray &path, quint32 size)
{
    return send(FileRecord{0, path, size, {}}.toBytes(HostCmdWord::BeginFileUpload));
}

bool HostCmd::CommitFileUpload(const QByteArray &path, quint32 size, const QByteArray &md5)
{
    return send(FileRecord{0, path, size, md5}.toBytes(HostCmdWord::CommitFileUpload));
}

quint32 HostCmd::receive(const uchar *data, quint32 length)
{
    const PacketReceiver::Result result = m_receiver.receive(data, length, sessionKey());
    switch (result.event) {
    case PacketReceiver::Event::None:
        break;
    case PacketReceiver::Event::Handshake: {
        if (result.length != DeviceRecordSize)
            return 0;
        const auto info = host_cmd_dev_info_t::fromBytes(
            reinterpret_cast<const char *>(m_receiver.payload()), DeviceRecordSize);
        LOG_LINE("project: %s", fieldText(info.project, sizeof info.project).constData());
        LOG_LINE("  model: %s", fieldText(info.model, sizeof info.model).constData());
        LOG_LINE("     sn: %s", fieldText(info.sn, sizeof info.sn).constData());
        {
            std::lock_guard<std::mutex> lock(m_keyMutex);
            m_sessionKey = deriveSessionKey(m_nonce, info.sn, sizeof info.sn);
        }
        emit deviceFound(info);
        break;
    }
    case PacketReceiver::Event::Packet:
        emit responseReceived(
            QByteArray(reinterpret_cast<const char *>(m_receiver.payload()), result.length));
        break;
    }
    return result.consumed;
}
