// libFuzzer target: MIME messages, Notes MIME part items and HTML bodies.
#include "MimeFuzzOne.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    mimeFuzzOne(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
