#pragma once

#include <QtGlobal>

// Where the printer listens: the tool, the emulator and the tests take the numbers from here.
namespace Wire {

// Host commands over TCP.
constexpr quint16 CommandPort = 17900;
// Discovery requests go to the group on this port and the answers come back to it.
constexpr quint16 DiscoveryPort = 17899;
constexpr char DiscoveryGroup[] = "224.0.0.1";
// Raw ESC/POS print jobs.
constexpr quint16 RawPrintPort = 9100;

} // namespace Wire
