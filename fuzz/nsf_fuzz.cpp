// libFuzzer entry for the NSF reader: whole databases and single decoders.
#include "NsfWalk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    decodeFuzzInput(data, size);
    return 0;
}
