#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// One function per reader of bytes from outside the tool. The libFuzzer programs call them with
// each generated input, the suite's corpus replay with every committed seed and regression input,
// so a crash found once stays a test.
namespace FuzzEntries {

using Entry = int (*)(const uint8_t *data, size_t size);
struct Target
{
    const char *name; // the folder under fuzz/corpus/ and fuzz/regressions/
    Entry entry;
};

// Once, before any entry: the application object and what the entries share; the core's alone
// for a program of coreentries.cpp, which links no widgets.
void initialize(int *argc, char ***argv);
void initializeCore(int *argc, char ***argv);

int hostCmdReceive(const uint8_t *data, size_t size); // packets, raw bytes and handshakes in chunks
int handleResponse(const uint8_t *data, size_t size); // one answer payload, to the main window
int discoveryAnswer(const uint8_t *data, size_t size); // one datagram, through the dialog's parser
int nvImageList(const uint8_t *data, size_t size);
int fontRecords(const uint8_t *data, size_t size); // a font script, a listing entry, an upload answer
int confFile(const uint8_t *data, size_t size);
int emulatorFeed(const uint8_t *data, size_t size); // requests, raw bytes and hellos in chunks

const Target *targets(int *count); // every target, in a fixed order

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), int(size));
}

} // namespace FuzzEntries

// A broken expectation is a finding like a crash: say what broke and stop.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)
