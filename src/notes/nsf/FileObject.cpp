#include "notes/nsf/FileObject.h"

#include "notes/nsf/LmbcsConverter.h"

namespace nsf {

bool FileObject::parse(ByteView v, LmbcsConverter& lmbcs, FileObject& out, QString& error) {
    out = FileObject();
    if (!v.has(0, kFixedSize)) {
        error = QStringLiteral("file object is shorter than its header");
        return false;
    }
    out.objectType = v.u16(0);
    out.objectId = v.u32(2);
    const uint16_t nameLength = v.u16(6);
    out.hostType = v.u16(8);
    out.compression = v.u16(10);
    out.fileFlags = v.u16(14);
    out.fileSize = v.u32(16);
    const ByteView name = v.sub(kFixedSize, nameLength);
    if (name.size() != nameLength) {
        error = QStringLiteral("file object's name runs past its value");
        return false;
    }
    out.name = lmbcs.toUnicode(name);
    return true;
}

}  // namespace nsf
