#include "protocol/lastknownrecords.h"

#include "protocol/audiosettingsrecord.h"
#include "protocol/bytefields.h"
#include "protocol/fineprintmoderecord.h"
#include "protocol/hostcmdword.h"
#include "protocol/networkinformation.h"
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
    if (response.size() < 2 || response.size() < queryAnswerMinSize(word))
        return false;
    switch (word) {
    case GetNetworkInfo:
        // Address and netmask only; the gateway is in GetStaticIp alone.
        copy(LanStaticIp, HostCmdWord::SetLanStaticIp, response, NetworkInformation::EthernetStaticOffset,
             HostCmdWordSize, 8);
        copy(WifiStaticIp, HostCmdWord::SetWifiStaticIp, response, NetworkInformation::WifiStaticOffset,
             HostCmdWordSize, 8);
        return true;
    case GetPrintSettings:
        copy(PrintSettings, HostCmdWord::SetPrintSettings, response, HostCmdWordSize, HostCmdWordSize,
             PrintSettingsRecord::Size - HostCmdWordSize);
        m_records[PrintSettings][2] = 0;
        return true;
    case GetWnetInfo:
        copy(WnetApn, HostCmdWord::SetWnetApn, response, WnetInformation::ApnOffset, HostCmdWordSize,
             WnetApnRecord::Size - HostCmdWordSize);
        return true;
    case GetSerialSettings:
        copy(SerialSettings, HostCmdWord::SetSerialSettings, response, HostCmdWordSize, HostCmdWordSize,
             SerialSettingsRecord::Size - HostCmdWordSize);
        return true;
    case GetAudioSettings:
        copy(AudioSettings, HostCmdWord::SetAudioSettings, response, HostCmdWordSize, HostCmdWordSize,
             AudioSettingsRecord::Size - HostCmdWordSize);
        return true;
    case GetStaticIp:
        copy(LanStaticIp, HostCmdWord::SetLanStaticIp, response, StaticIpRecord::EthernetOffset, HostCmdWordSize,
             StaticIpRecord::Size - HostCmdWordSize);
        copy(WifiStaticIp, HostCmdWord::SetWifiStaticIp, response, StaticIpRecord::WifiOffset, HostCmdWordSize,
             StaticIpRecord::Size - HostCmdWordSize);
        return true;
    case GetFinePrintMode:
        copy(FinePrintMode, HostCmdWord::SetFinePrintMode, response, HostCmdWordSize, HostCmdWordSize,
             FinePrintModeRecord::Size - HostCmdWordSize);
        return true;
    default:
        return false;
    }
}
