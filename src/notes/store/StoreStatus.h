#pragma once

#include <QString>

#include <cstdint>

namespace store {

// Status codes of the Notes access layer (LNSTATUS values). 0 is success.
// Texts for each are in statusText().
enum StoreStatus : uint32_t {
    StatusOk = 0,
    StatusFileNotFound = 0x0103,         // "File does not exist"
    StatusIsDirectory = 0x0104,          // "The path names a directory, not a database"
    StatusAccessDenied = 0x0105,         // "Access to the file was denied"
    StatusReadError = 0x0106,            // "Error reading the file"
    StatusDamaged = 0x0107,              // "Database is damaged"
    StatusUnsupportedFormat = 0x0108,    // "Unsupported database format"
    StatusEmptyFile = 0x0109,            // "The file is empty"
    StatusServerUnreachable = 0x010A,    // "Server not responding"
    StatusNotAuthorized = 0x010B,        // "Not authorized on the server"
    StatusUntrustedCertificate = 0x010C, // "The server's certificate is not trusted"
    StatusServiceDisabled = 0x010D,      // "The Domino data service is not enabled"
    StatusBadAnswer = 0x010E,            // "The server's answer could not be read"
    StatusNotOpen = 0x0201,              // "Database is not open"
    StatusNoSuchNote = 0x0202,           // "Note item not found" (no such note ID)
    StatusNoSuchItem = 0x0203,           // "Item not found"
    StatusWrongItemType = 0x0204,        // "Item is not of the expected type"
    StatusNoSuchFolder = 0x0205,         // "View or folder not found"
    StatusNoteNotOpen = 0x0206,          // "Document is not open"
    StatusIndexOutOfRange = 0x0207,      // "Index out of range"
    StatusEncrypted = 0x0208,            // "Document is encrypted"
    StatusAttachmentUnreadable = 0x0209, // "Attachment cannot be read"
    StatusWriteFailed = 0x020A,          // "Cannot write the file"
    StatusTargetExists = 0x020B,         // "The target file already exists"
    StatusUnsupportedFormula = 0x020C,   // "Selection formula not supported"
    StatusTranslateFailed = 0x020D,      // "Text cannot be converted"
    StatusSessionNotInitialized = 0x020E,// "Notes session is not initialised"
    StatusCancelled = 0x020F,            // "Operation cancelled"
    StatusInternal = 0x0210,             // "Internal error"
    StatusExportFailed = 0x0211,         // "Rich text export failed"
    StatusPartialText = 0xD000014F,      // more text remains (chunked rich-text reads)
};

// The fixed English text of a status ("File does not exist", ...).
QString statusText(uint32_t status);

// A status with the detail the driver knows ("Database is damaged: bad bucket at 0x4000").
struct StoreError {
    uint32_t status = StatusOk;
    QString detail;
    bool ok() const { return status == StatusOk; }
    QString message() const;
};

}  // namespace store
