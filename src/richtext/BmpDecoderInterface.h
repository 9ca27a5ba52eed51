#pragma once

// The BMP decoder is a module of its own (libtesseldoc_bmp.so), loaded the first
// time a BMP picture is converted: it reads pictures with Qt's image reader,
// and QtGui with the libraries it brings costs every process about 6 MB that
// most runs (no BMP in them) would carry for nothing. The interface is plain C
// so that nothing of QtGui reaches the program.
extern "C" {

enum TesseldocBmpRowLayout {
    TesseldocBmpRowsAsColorType = 0,  // rows hold the PNG colour type's samples in order
    TesseldocBmpRowsBgr = 1,          // 8-bit samples stored blue first
    TesseldocBmpRowsFillerAfter = 2,  // a fourth byte after each pixel, to be dropped
};

// Receives the decoded picture once: `rows` are `height` rows of `width` pixels
// in PNG colour type 3 (palette indices, `palette` RGB triples), 2 (RGB) or 6
// (RGBA), laid out as `layout` (TesseldocBmpRowLayout flags) says.
typedef void (*TesseldocBmpRowsSink)(void* context, int width, int height, int colorType, unsigned char** rows,
                                     const char* palette, int paletteBytes, int layout);

// Decodes `size` bytes of BMP; calls `sink` and returns 1, or returns 0 when the
// data is damaged, truncated, or has more than `maxPixels` pixels.
typedef int (*TesseldocDecodeBmp)(const char* data, long long size, long long maxPixels, void* context,
                                  TesseldocBmpRowsSink sink);
}

#define TESSELDOC_DECODE_BMP_SYMBOL "tesseldoc_decode_bmp"
#define TESSELDOC_BMP_MODULE_FILE "libtesseldoc_bmp.so"
