#pragma once

#include <cstddef>
#include <cstdint>

// One function per reader of bytes from outside the tool. The libFuzzer programs call them
// with each generated input, and the suite's corpus replay calls them with every committed
// seed and regression input, so a crash found once stays a test. A broken expectation
// aborts, which both count as a failure.
namespace FuzzEntries {

using Entry = int (*)(const uint8_t *data, size_t size);

struct Target
{
    const char *name; // the folder under fuzz/corpus/ and fuzz/regressions/
    Entry entry;
};

// Makes the application object (offscreen) and what the entries share. Once, before any entry.
void initialize(int *argc, char ***argv);
// The same for a program of the core's entries alone (coreentries.cpp), which links no widgets.
void initializeCore(int *argc, char ***argv);

// A stream of packets, raw bytes and handshakes, read in chunks by HostCmd::receive.
int hostCmdReceive(const uint8_t *data, size_t size);
// One decrypted answer payload, given to the main window's dispatcher.
int handleResponse(const uint8_t *data, size_t size);
// One discovery answer datagram, through the connect dialog's parser.
int discoveryAnswer(const uint8_t *data, size_t size);
// One GetNvImageList answer.
int nvImageList(const uint8_t *data, size_t size);
// One GetFontScripts answer, one ListFiles entry and one BeginFileUpload answer.
int fontRecords(const uint8_t *data, size_t size);
// A configuration file's text.
int confFile(const uint8_t *data, size_t size);
// A stream of requests, raw bytes and hellos, read in chunks by the emulator's decoder.
int emulatorFeed(const uint8_t *data, size_t size);

// Every target, in a fixed order.
const Target *targets(int *count);

} // namespace FuzzEntries
