#pragma once

#include <QByteArray>
#include <QString>

// The 4G module's access point as SetWnetApn sends it. The answer to GetWnetInfo carries
// the same bytes from its offset 262 on (record offset 2 there is offset 262).
struct WnetApnRecord
{
    static constexpr int Size = 84;
    static constexpr int ApnSize = 64;
    static constexpr int DialNumberSize = 16;

    bool useSpecificApn = false;
    QString apn;        // Latin-1
    QString dialNumber; // Latin-1

    QByteArray toBytes() const;
};
