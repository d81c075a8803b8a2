#pragma once

#include <QByteArray>
#include <QString>

// A printer's answer to a discovery request: the device record's three texts in clear at
// their record offsets. Each text runs to its next zero byte and stops at the end of the
// datagram at the latest, as texts in command answers do; one that starts past the end is
// empty.
struct DiscoveryAnswer
{
    QString project;
    QString model;
    QString sn;

    static DiscoveryAnswer fromDatagram(const QByteArray &datagram);
};
