#pragma once

#include <QByteArray>
#include <QString>

// The answer to GetWnetInfo: the 4G module's identity, network, position and state, and
// the access point it is told to use.
struct WnetInformation
{
    static constexpr int MinSize = 344;
    static constexpr int ApnOffset = 262; // where the SetWnetApn record's offset 2 lies
    static constexpr qint16 NoSignal = 255;

    QString moduleVersion;
    QString imei;
    QString iccid;
    QString imsi;
    QString mcc;
    QString mnc;
    QString operatorName;
    QString position; // "longitude,latitude"
    qint16 signalStrength = NoSignal;
    quint16 status = 0; // 0 to 6 name a state; anything else is unknown
    bool useSpecificApn = false;
    QString apn;
    QString dialNumber;

    // False, and *info untouched, when the response is shorter than MinSize.
    static bool decode(const QByteArray &response, WnetInformation *info);
};
