#pragma once

#include "protocol/wireconstants.h"

#include <QHostAddress>
#include <QList>
#include <QStringList>

// What the program's arguments ask for. "demo" counts only as the very first argument;
// the options may stand anywhere. A profile option makes the program run without a window.
struct CommandLine
{
    enum class ProfileAction { None, Export, Apply, Compare };

    bool demo = false;
    // The first of connectAddresses: the printer the window connects to at start-up.
    QHostAddress connectAddress;
    QList<QHostAddress> connectAddresses;

    ProfileAction profileAction = ProfileAction::None;
    QString profileFile;
    // Set when any profile option or --diagnose was given, even one in error: no window then.
    bool headless = false;
    // --diagnose: the USB and network checks, the report on stdout.
    bool diagnose = false;
    QHostAddress staticIpFrom;
    // Not null only when --wifi-password was given.
    QString wifiPassword;
    quint16 port = Wire::CommandPort;

    // Set when an option was given wrong or options do not go together.
    QString error;

    static CommandLine parse(const QStringList &arguments);
};
