// libFuzzer target: any bytes through the RTF reader and the HTML writer; bytes
// that start like a GIF or BMP also through the PNG converter.
#include "richtext/PictureToPng.h"
#include "rtf/RichTextHtmlWriter.h"
#include "rtf/RtfReader.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    if (input.startsWith("GIF8") || input.startsWith("BM")) {
        (void)rtf::PictureToPng::convert(input);
        return 0;
    }
    rtf::RtfReader reader;
    const store::RichTextDoc doc = reader.read(input);
    (void)rtf::RichTextHtmlWriter::toHtml(doc);
    (void)doc.plainText();
    return 0;
}
