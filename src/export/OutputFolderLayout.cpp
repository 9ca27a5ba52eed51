#include "export/OutputFolderLayout.h"

#include <QDir>
#include <QStringList>

#include "export/FileNameCleaning.h"
#include "notes/NotesFolderEntry.h"

namespace {

QString withTrailingSlash(const QString& text) {
    return text.endsWith(QLatin1Char('/')) ? text : text + QLatin1Char('/');
}

QString safeLevel(QString level) {
    level.replace(QChar(0), QLatin1Char('_'));
    if (level == QLatin1String(".") || level == QLatin1String("..")) level.fill(QLatin1Char('_'));
    return CapComponentBytes(level);
}

}  // namespace

QString OutputRootFor(const QString& destinationFolder, const QString& subFolderName) {
    return withTrailingSlash(withTrailingSlash(destinationFolder) + subFolderName);
}

QString OutputFolderFor(const QString& notesFolderName) {
    if (notesFolderName.endsWith(QLatin1Char('\\'))) {
        const QString bare = notesFolderName.left(notesFolderName.size() - 1);
        const QString shown = SystemFolderDisplayNames(bare);
        if (shown != bare || bare == QLatin1String("My Contacts")) return shown + QLatin1Char('/');
    }
    QString path = notesFolderName;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringList levels = path.split(QLatin1Char('/'));
    for (QString& level : levels) level = safeLevel(level);
    return levels.join(QLatin1Char('/'));
}

bool MakeDirectories(const QString& path) {
    if (!path.contains(QLatin1Char('/'))) return false;
    QDir dir;
    for (int slash = path.indexOf(QLatin1Char('/')); slash >= 0;
         slash = path.indexOf(QLatin1Char('/'), slash + 1))
        if (slash > 0) dir.mkdir(path.left(slash));
    dir.mkdir(path);
    return true;
}
