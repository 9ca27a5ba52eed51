#pragma once

#include "richtext/BmpDecoderInterface.h"

#include <QString>

namespace rtf {

// Finds and loads the BMP decoder module once per process, the first time a
// BMP picture is converted: in the library folder of an installed program
// (bin/../LIBDIR/tesseldoc), else beside the program or up to three folders
// above it (a build tree, where the module is built at the top). When it is
// not found, BMP pictures are not converted and the reason is printed once
// on standard error (the picture then stands in the document as a picture
// not shown, named).
class BmpDecoderModule {
public:
    // The decoder, or null when the module cannot be loaded.
    static TesseldocDecodeBmp decoder();
    // Why decoder() is null (empty when it is not).
    static QString loadError();
};

}  // namespace rtf
