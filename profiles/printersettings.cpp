#include "profiles/printersettings.h"

#include "protocol/bytefields.h"
#include "protocol/deviceinformation.h"
#include "protocol/hostcmdword.h"
#include "protocol/networkinformation.h"
#include "protocol/wifinetworkrecord.h"
#include "protocol/wnetinformation.h"

namespace {

quint32 bit(quint16 word)
{
    return 1u << (word - HostCmdWord::GetDeviceInfo);
}

} // namespace

bool PrinterSettings::takeResponse(const QByteArray &response)
{
    if (response.size() < HostCmdWordSize)
        return false;
    const quint16 word = ByteFields::u16(response, 0);
    if (response.size() < queryAnswerMinSize(word))
        return false;
    switch (word) {
    case GetDeviceInfo: {
        DeviceInformation info;
        DeviceInformation::decode(response, &info);
        model = info.model;
        serialNumber = info.serialNumber;
        break;
    }
    case GetNetworkInfo: {
        NetworkInformation info;
        NetworkInformation::decode(response, &info);
        wifiSsid = info.wifiSsid;
        break;
    }
    case GetPrintSettings:
        PrintSettingsRecord::decode(response, &print);
        break;
    case GetWnetInfo: {
        WnetInformation info;
        WnetInformation::decode(response, &info);
        wnetApn.useSpecificApn = info.useSpecificApn;
        wnetApn.apn = info.apn;
        wnetApn.dialNumber = info.dialNumber;
        break;
    }
    case GetSerialSettings:
        SerialSettingsRecord::decode(response, &serial);
        break;
    case GetAudioSettings:
        AudioSettingsRecord::decode(response, &audio);
        break;
    case GetStaticIp:
        // GetNetworkInfo has address and netmask too, but only this answer has the gateway.
        lanStaticIp = StaticIpRecord::fromBytes(response, StaticIpRecord::EthernetOffset);
        wifiStaticIp = StaticIpRecord::fromBytes(response, StaticIpRecord::WifiOffset);
        break;
    case GetFinePrintMode:
        FinePrintModeRecord::decode(response, &finePrint);
        break;
    case GetNvImageList:
        break;
    default:
        return false;
    }
    answered |= bit(word);
    return true;
}

bool PrinterSettings::isComplete() const
{
    for (const quint16 word : queryWords()) {
        if (word != GetNvImageList && !(answered & bit(word)))
            return false;
    }
    return true;
}

QList<quint16> PrinterSettings::queryWords()
{
    QList<quint16> words;
    for (quint16 word = GetDeviceInfo; word <= GetNvImageList; ++word)
        words << word;
    return words;
}

QList<QByteArray> PrinterSettings::setRequests(const PrinterSettings &before, const PrinterSettings &after,
                                               const QString &wifiPassword)
{
    QList<QByteArray> requests;
    const auto add = [&requests](const QByteArray &was, const QByteArray &wanted) {
        if (was != wanted)
            requests << wanted;
    };
    add(before.lanStaticIp.toBytes(SetLanStaticIp), after.lanStaticIp.toBytes(SetLanStaticIp));
    add(before.wifiStaticIp.toBytes(SetWifiStaticIp), after.wifiStaticIp.toBytes(SetWifiStaticIp));
    if (before.wifiSsid != after.wifiSsid)
        requests << WifiNetworkRecord{after.wifiSsid, wifiPassword}.toBytes();
    add(before.audio.toBytes(), after.audio.toBytes());
    add(before.serial.toBytes(), after.serial.toBytes());
    add(before.wnetApn.toBytes(), after.wnetApn.toBytes());
    add(before.print.toBytes(), after.print.toBytes());
    add(before.finePrint.toBytes(), after.finePrint.toBytes());
    return requests;
}
