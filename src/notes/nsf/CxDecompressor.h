#pragma once

#include "notes/nsf/ByteView.h"

#include <QByteArray>
#include <QString>

namespace nsf {

// The LZ77-style compression of superblock and bucket-descriptor-block bodies:
// an LSB-first bit stream of literals and back-references with gamma-coded
// lengths and distance high parts.
class CxDecompressor {
public:
    // Largest body accepted; anything declaring more is treated as damage.
    static constexpr size_t kMaxOutput = size_t(256) << 20;

    // Decodes `input` into `output`, which must come out exactly `declaredSize`
    // bytes long. Never writes past declaredSize. False with `error` otherwise.
    static bool decompress(ByteView input, size_t declaredSize, QByteArray& output, QString& error);
};

}  // namespace nsf
