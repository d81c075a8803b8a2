#pragma once

#include <QByteArray>
#include <QString>

// The answer to GetNetworkInfo: Ethernet, Wi-Fi and Bluetooth identities and addresses.
// Addresses are in dotted-decimal form, MAC addresses as the printer wrote them.
struct NetworkInformation
{
    static constexpr int MinSize = 248;
    // Static address then netmask, as the SetLanStaticIp / SetWifiStaticIp records hold them.
    static constexpr int EthernetStaticOffset = 28;
    static constexpr int WifiStaticOffset = 190;

    QString ethernetMac;
    QString ethernetDhcpAddress;
    QString ethernetDhcpNetmask;
    QString ethernetStaticAddress;
    QString ethernetStaticNetmask;
    QString wifiSsid;
    QString wifiMac;
    QString wifiDhcpAddress;
    QString wifiDhcpNetmask;
    QString wifiStaticAddress;
    QString wifiStaticNetmask;
    QString bluetoothMac;
    QString bluetoothName;

    // False, and *info untouched, when the response is shorter than MinSize.
    static bool decode(const QByteArray &response, NetworkInformation *info);
};
