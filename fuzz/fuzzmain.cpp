// The libFuzzer program of one target; FUZZ_ENTRY names its function in fuzzentries.h and
// FUZZ_INIT the set-up its library needs.
#include "fuzz/fuzzentries.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzEntries::FUZZ_INIT(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return FuzzEntries::FUZZ_ENTRY(data, size);
}
