#pragma once

#include <QByteArray>
#include <QString>

// The Wi-Fi network to join: SetWifiNetwork with an SSID, ClearWifiNetwork with none.
struct WifiNetworkRecord
{
    static constexpr int Size = 258;
    static constexpr int FieldSize = 128;

    QString ssid;
    QString password;

    // An empty SSID gives ClearWifiNetwork with both fields zero, whatever the password.
    // The SSID is UTF-8 and may be cut inside a character at 127 bytes.
    QByteArray toBytes() const;
};
