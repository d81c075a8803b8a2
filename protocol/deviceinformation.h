#pragma once

#include <QByteArray>
#include <QString>

// The answer to GetDeviceInfo: the printer's identity and the versions of its parts.
struct DeviceInformation
{
    static constexpr int MinSize = 186;

    QString model;
    QString serialNumber;
    QString hardwareVersion;
    QString bootloaderVersion;
    QString firmwareVersion;
    QString appVersion;
    QString partnerAppVersion;
    QString miniAppVersion;
    QString fontVersion;
    QString ttsVersion;

    // False, and *info untouched, when the response is shorter than MinSize.
    static bool decode(const QByteArray &response, DeviceInformation *info);
};
