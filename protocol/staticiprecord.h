#pragma once

#include <QByteArray>
#include <QString>

// A static IPv4 configuration as SetLanStaticIp and SetWifiStaticIp carry it:
// the word, then address, netmask and gateway, first octet first.
struct StaticIpRecord
{
    static constexpr int Size = 14;
    // The answer to GetStaticIp: the Ethernet triple at 2, the Wi-Fi triple at 14.
    static constexpr int StaticIpMinSize = 26;
    static constexpr int EthernetOffset = 2;
    static constexpr int WifiOffset = 14;

    QString address;
    QString netmask;
    QString gateway;

    // Texts that are not IPv4 addresses go out as 0.0.0.0.
    QByteArray toBytes(quint16 word) const;
    // The triple that starts at offset.
    static StaticIpRecord fromBytes(const QByteArray &bytes, int offset);
};
