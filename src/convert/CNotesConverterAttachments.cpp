#include "convert/CNotesConverter.h"

#include "export/FileNameCleaning.h"
#include "notes/store/StoreStatus.h"

#include <QFileInfo>

namespace {

bool pathExists(const QString& path) { return QFileInfo::exists(path) || QFileInfo(path).isSymLink(); }

QString replaceNine(QString name) {
    static const QString bad = QStringLiteral("\"*/:<>?\\|");
    for (QChar& c : name)
        if (bad.contains(c) || IsControlCharacter(c)) c = QLatin1Char('_');
    // A name that is empty or only dots would name the folder itself or its parent.
    bool onlyDots = true;
    for (const QChar c : name)
        if (c != QLatin1Char('.')) onlyDots = false;
    if (onlyDots) name = QStringLiteral("Attachment") + name;
    // No hidden files: a leading dot becomes "_".
    if (name.startsWith(QLatin1Char('.'))) name[0] = QLatin1Char('_');
    return WindowsSafeName(name);
}

// Keeps the file name within what the file system takes, leaving room for
// the counter a collision may add.
QString CapAttachmentName(const QString& path) {
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return path.left(slash + 1) + CapComponentBytes(path.mid(slash + 1), 8);
}

}  // namespace

QString CNotesConverter::UniqueAttachmentPath(const QString& path) {
    if (!pathExists(path)) return path;
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const QString dir = path.left(slash + 1);
    const QString fileName = path.mid(slash + 1);
    QString stem, ext;
    if (fileName == QLatin1String("ContactPhoto.jpg")) {
        stem = QStringLiteral("ContactPhoto");
        ext = QStringLiteral("jpg");
    } else {
        const int dot = fileName.lastIndexOf(QLatin1Char('.'));
        if (dot < 0) {
            // No extension: the counter goes after the plain name.
            for (qint64 n = 0;; ++n) {
                const QString candidate = dir + fileName + QString::number(n);
                if (!pathExists(candidate)) return candidate;
            }
        }
        ext = fileName.mid(dot + 1);
        stem = fileName.left(dot);
    }
    for (qint64 n = 0;; ++n) {
        const QString candidate = dir + stem + QString::number(n) + QLatin1Char('.') + ext;
        if (!pathExists(candidate)) return candidate;
    }
}

void CNotesConverter::DetachAttachments(LNDocument& document, const QString& folderIn,
                                        QList<AttachmentFailure>* failures) {
    contactPhotoPath.clear();
    LNAttachmentArray attachments;
    try {
        document.GetAttachments(&attachments);
    } catch (LNSTATUS status) {
        if (failures) failures->append({QString(), ErrorTextFor(status)});
        return;
    }
    const int count = attachments.GetCount();
    if (count == 0) return;
    QString folder = folderIn;
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    for (int i = 0; i < count && !cancelRequested; ++i) {
        QString original;
        try {
            const LNAttachment attachment = attachments[i];
            original = LNStringToWide(attachment.GetAttachmentName());
            const QString name = replaceNine(original);
            const bool isPhoto = name == QLatin1String("ContactPhoto");
            QString target = folder + (isPhoto ? QStringLiteral("ContactPhoto.jpg") : name);
            target = CapAttachmentName(target);
            target = UniqueAttachmentPath(target);
            // Another writer may take the name between the check and the write:
            // then the next number is taken.
            for (int attempt = 0;; ++attempt) {
                try {
                    attachment.Detach(WideToLNString(target));
                    break;
                } catch (LNSTATUS status) {
                    if (status != store::StatusTargetExists || attempt >= 50) throw;
                    target = UniqueAttachmentPath(target);
                }
            }
            // Only a photo that is really on disk is handed to the document.
            if (isPhoto) contactPhotoPath = target;
        } catch (LNSTATUS status) {
            if (failures) failures->append({original, ErrorTextFor(status)});
        }
    }
}
