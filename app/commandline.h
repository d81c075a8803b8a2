#pragma once

#include <QHostAddress>
#include <QStringList>

// What the program's arguments ask for. "demo" counts only as the very first argument;
// "--connect ADDRESS" may stand anywhere.
struct CommandLine
{
    bool demo = false;
    QHostAddress connectAddress;
    // Set when --connect was given without a valid IPv4 address.
    QString error;

    static CommandLine parse(const QStringList &arguments);
};
