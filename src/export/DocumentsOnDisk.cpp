#include "export/DocumentsOnDisk.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

bool isAttachmentFolderName(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral("Attachments[0-9]*$"));
    return pattern.match(name).hasMatch();
}

bool isDocumentName(const QString& name) {
    const QString lower = name.toLower();
    return lower.endsWith(QLatin1String(".doc")) || lower.endsWith(QLatin1String(".docx")) ||
           lower.endsWith(QLatin1String(".pdf"));
}

void walk(const QDir& dir, const QString& prefix, QStringList& out, int depth) {
    if (depth > 64) return;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo& e : entries) {
        const QString name = e.fileName();
        if (e.isDir()) {
            if (!isAttachmentFolderName(name)) walk(QDir(e.absoluteFilePath()), prefix + name + QLatin1Char('/'), out, depth + 1);
        } else if (e.isFile() && isDocumentName(name)) {
            out << prefix + name;
        }
    }
}

}  // namespace

namespace DocumentsOnDisk {

QStringList list(const QString& dest) {
    QStringList out;
    walk(QDir(dest), QString(), out, 0);
    return out;
}

}  // namespace DocumentsOnDisk
