#include "protocol/networkinformation.h"

#include "protocol/bytefields.h"

bool NetworkInformation::decode(const QByteArray &response, NetworkInformation *info)
{
    if (response.size() < MinSize)
        return false;
    using namespace ByteFields;
    info->ethernetMac = latin1Text(response, 2);
    info->ethernetDhcpAddress = ipv4Text(response, 20);
    info->ethernetDhcpNetmask = ipv4Text(response, 24);
    info->ethernetStaticAddress = ipv4Text(response, EthernetStaticOffset);
    info->ethernetStaticNetmask = ipv4Text(response, EthernetStaticOffset + 4);
    // The network name is the one UTF-8 text of the protocol.
    info->wifiSsid = QString::fromUtf8(text(response, 36));
    info->wifiMac = latin1Text(response, 164);
    info->wifiDhcpAddress = ipv4Text(response, 182);
    info->wifiDhcpNetmask = ipv4Text(response, 186);
    info->wifiStaticAddress = ipv4Text(response, WifiStaticOffset);
    info->wifiStaticNetmask = ipv4Text(response, WifiStaticOffset + 4);
    info->bluetoothMac = latin1Text(response, 198);
    info->bluetoothName = latin1Text(response, 216);
    return true;
}
