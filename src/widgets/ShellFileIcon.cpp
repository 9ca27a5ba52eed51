#include "widgets/ShellFileIcon.h"

#include <QApplication>
#include <QMimeDatabase>
#include <QStyle>

QIcon ShellFileIcon(const QString& path) {
    static QMimeDatabase mimes;
    const QMimeType type = mimes.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull()) icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull()) icon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    return icon;
}
