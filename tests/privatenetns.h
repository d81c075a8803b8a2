#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <unistd.h>

// True inside the network namespace scripts/netns-run.sh made, whose identity it exports:
// only there may a test multicast or bind fixed ports.
inline bool inPrivateNetns()
{
    char link[64];
    const ssize_t n = readlink("/proc/self/ns/net", link, sizeof link);
    const QByteArray expected = qgetenv("ZOMRA_PRIVATE_NETNS");
    return n > 0 && !expected.isEmpty() && expected == QByteArray(link, int(n));
}
