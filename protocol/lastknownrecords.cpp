#include "protocol/lastknownrecords.h"

#include "protocol/audiosettingsrecord.h"
#include "protocol/bytefields.h"
#include "protocol/fineprintmoderecord.h"
#include "protocol/hostcmd.h"
#include "protocol/printsettingsrecord.h"
#include "protocol/serialsettingsrecord.h"
#include "protocol/staticiprecord.h"
#include "protocol/wnetapnrecord.h"
#include "protocol/wnetinformation.h"

#include <cstring>

LastKnownRecords::LastKnownRecords()
{
    clear();
}

void LastKnownRecords::clear()
{
    for (int r = 0; r < RecordCount; ++r)
        m_records[r] = QByteArray(size(Record(r)), '\0');
}

int LastKnownRecords::size(Record record)
{
    switch (record) {
    case LanStaticIp:
    case WifiStaticIp:
        return StaticIpRecord::Size;
    case AudioSettings:
        return AudioSettingsRecord::Size;
    case PrintSettings:
        return PrintSettingsRecord::Size;
    case FinePrintMode:
        return FinePrintModeRecord::Size;
    case WnetApn:
        return WnetApnRecord::Size;
    case SerialSettings:
        return SerialSettingsRecord::Size;
    case RecordCount:
        break;
    }
    return 0;
}

bool LastKnownRecords::takeIfChanged(Record record, const QByteArray &candidate)
{
    if (candidate == m_records[record])
        return false;
    m_records[record] = candidate;
    return true;
}

void LastKnownRecords::copy(Record record, quint16 word, const QByteArray &response, int from,
                            int to, int length)
{
    QByteArray &r = m_records[record];
    ByteFields::putU16(r, 0, word);
    std::memcpy(r.data() + to, response.constData() + from, size_t(length));
}

bool LastKnownRecords::takeResponse(const QByteArray &response)
{
    const quint16 word = ByteFields::u16(response, 0);
    if (response.size() < 2 || response.size() < HostCmd::answerMinSize(word))
        return false;
    switch (word) {
    case GetNetworkInfo:
        // Address and netmask only; the gateway is in GetStaticIp alone.
        copy(LanStaticIp, HostCmdWord::SetLanStaticIp, response, 28, 2, 8);
        copy(WifiStaticIp, HostCmdWord::SetWifiStaticIp, response, 190, 2, 8);
        return true;
    case GetPrintSettings:
        copy(PrintSettings, HostCmdWord::SetPrintSettings, response, 2, 2, PrintSettingsRecord::Size - 2);
        m_records[PrintSettings][2] = 0;
        return true;
    case GetWnetInfo:
        copy(WnetApn, HostCmdWord::SetWnetApn, response, WnetInformation::ApnOffset, 2,
             WnetApnRecord::Size - 2);
        return true;
    case GetSerialSettings:
        copy(SerialSettings, HostCmdWord::SetSerialSettings, response, 2, 2, SerialSettingsRecord::Size - 2);
        return true;
    case GetAudioSettings:
        copy(AudioSettings, HostCmdWord::SetAudioSettings, response, 2, 2, AudioSettingsRecord::Size - 2);
        return true;
    case GetStaticIp:
        copy(LanStaticIp, HostCmdWord::SetLanStaticIp, response, StaticIpRecord::EthernetOffset, 2, 12);
        copy(WifiStaticIp, HostCmdWord::SetWifiStaticIp, response, StaticIpRecord::WifiOffset, 2, 12);
        return true;
    case GetFinePrintMode:
        copy(FinePrintMode, HostCmdWord::SetFinePrintMode, response, 2, 2, FinePrintModeRecord::Size - 2);
        return true;
    default:
        return false;
    }
}
