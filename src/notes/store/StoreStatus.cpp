#include "notes/store/StoreStatus.h"

namespace store {

QString statusText(uint32_t status) {
    switch (status) {
        case StatusOk: return QStringLiteral("No error");
        case StatusFileNotFound: return QStringLiteral("File does not exist");
        case StatusIsDirectory: return QStringLiteral("The path names a directory, not a database");
        case StatusAccessDenied: return QStringLiteral("Access to the file was denied");
        case StatusReadError: return QStringLiteral("Error reading the file");
        case StatusDamaged: return QStringLiteral("Database is damaged");
        case StatusUnsupportedFormat: return QStringLiteral("Unsupported database format");
        case StatusEmptyFile: return QStringLiteral("The file is empty");
        case StatusServerUnreachable: return QStringLiteral("Server not responding");
        case StatusNotAuthorized: return QStringLiteral("Not authorized on the server");
        case StatusUntrustedCertificate: return QStringLiteral("The server's certificate is not trusted");
        case StatusServiceDisabled: return QStringLiteral("The Domino data service is not enabled");
        case StatusBadAnswer: return QStringLiteral("The server's answer could not be read");
        case StatusNotOpen: return QStringLiteral("Database is not open");
        case StatusNoSuchNote: return QStringLiteral("Document not found");
        case StatusNoSuchItem: return QStringLiteral("Item not found");
        case StatusWrongItemType: return QStringLiteral("Item is not of the expected type");
        case StatusNoSuchFolder: return QStringLiteral("View or folder not found");
        case StatusNoteNotOpen: return QStringLiteral("Document is not open");
        case StatusIndexOutOfRange: return QStringLiteral("Index out of range");
        case StatusEncrypted: return QStringLiteral("Document is encrypted");
        case StatusAttachmentUnreadable: return QStringLiteral("Attachment cannot be read");
        case StatusWriteFailed: return QStringLiteral("Cannot write the file");
        case StatusTargetExists: return QStringLiteral("The target file already exists");
        case StatusUnsupportedFormula: return QStringLiteral("Selection formula not supported");
        case StatusTranslateFailed: return QStringLiteral("Text cannot be converted");
        case StatusSessionNotInitialized: return QStringLiteral("Notes session is not initialised");
        case StatusCancelled: return QStringLiteral("Operation cancelled");
        case StatusInternal: return QStringLiteral("Internal error");
        case StatusExportFailed: return QStringLiteral("Rich text export failed");
        case StatusPartialText: return QStringLiteral("Only part of the text was returned");
        default: return QStringLiteral("Unknown error (status 0x%1)").arg(status, 0, 16);
    }
}

QString StoreError::message() const {
    if (detail.isEmpty()) return statusText(status);
    return statusText(status) + QStringLiteral(": ") + detail;
}

}  // namespace store
