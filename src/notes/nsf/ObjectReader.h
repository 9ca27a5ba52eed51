#pragma once

#include "notes/nsf/ByteView.h"
#include "notes/nsf/FileObject.h"
#include "notes/nsf/HuffmanDecoder.h"
#include "notes/nsf/RrvMap.h"

#include <QString>

namespace nsf {

class NsfFile;

// Object records (attachments, folder ID tables, view indexes): a 22-byte
// header (ODS 41/43, signature 0x0007) or a 115-byte one (ODS 52+, 0x001B)
// before the stored data, found at the file position of the object's RRV entry.
class ObjectReader {
public:
    // `owner`, when given, is the file `file` maps: extraction then releases
    // the pages of large attachments once they are written.
    ObjectReader(ByteView file, const RrvMap& rrv, const NsfFile* owner = nullptr)
        : m_file(file), m_rrv(rrv), m_owner(owner) {}

    // The stored data of object `objectId`, or empty with `error`.
    ByteView storedData(uint32_t objectId, QString& error) const;

    // Whether a file object can be extracted as its exact bytes; `error` says
    // why not (unsupported compression, data missing from the file, ...).
    bool checkFile(const FileObject& file, QString& error) const;

    // Extracts the file's exact bytes into `sink`.
    bool extractFile(const FileObject& file, const HuffmanDecoder::Sink& sink, QString& error) const;

private:
    ByteView m_file;
    const RrvMap& m_rrv;
    const NsfFile* m_owner;
};

}  // namespace nsf
