#pragma once

#include "emulator/printerstate.h"
#include "protocol/wireconstants.h"

#include <QHostAddress>

// How a PrinterEmulator listens, what printer it plays and which faults it puts on.
struct EmulatorOptions
{
    QHostAddress listen = QHostAddress(QHostAddress::LocalHost);
    quint16 port = Wire::CommandPort; // 0: any free port, see PrinterEmulator::serverPort()
    // The printer as it starts; PrinterEmulator::state() is the live copy.
    PrinterState printer;
    int keepAliveMs = 3000; // keep-alive period after the handshake answer; 0: none
    // Answer the connect dialog's discovery requests (UDP 17899). Not on a loopback listen
    // address: the tool never searches loopback, and it keeps the port free for tests.
    bool discovery = true;
    // Where the print streams that arrive with the commands (on USB) save their NV images
    // and printouts as PNG files (RasterSpool); empty: nowhere.
    QString spoolDir;

    // Faults.
    bool silent = false;   // accept, decode and log, never answer, no keep-alive
    int closeAfter = 0;    // close once this many requests were decoded (the hello counts,
                           // the last one is still answered); 0: never
    bool wrongKey = false; // seal ordinary answers with a key the tool does not have
    int chunk = 0;         // write ordinary answers in pieces of at most this many bytes
                           // (the first piece of a packet is never under 20); 0: whole
    int chunkDelayMs = 1;  // pause between pieces
    // Once, when an upload has brought at least this many file bytes: drop every
    // connection, forget the partial upload and listen again restartDelayMs later, as a
    // printer switched off and on (its settings and font folder survive); 0: never.
    int restartMidUpload = 0;
    int restartDelayMs = 1000;
    // After the handshake: keep-alives at a very high rate and, while no request is being
    // answered, bursts of garbage (random bytes, malformed packet headers, packets that do
    // not decrypt). Answers stay whole and are held back briefly after garbage, so a tool
    // that reads promptly still gets every one.
    bool flood = false;
    // No raw print port (9100) beside the command port: every printout over the network is
    // refused, as by a printer whose raw port is switched off.
    bool noRawPort = false;
};
