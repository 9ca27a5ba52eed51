#include "steps/DestinationRules.h"

#include "steps/SaveTexts.h"

#include <QFileInfo>

namespace DestinationRules {

QString WithTrailingSlash(const QString& path) {
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

QString UniqueSubfolderName(const QString& folder, const QString& stem) {
    const QString base = WithTrailingSlash(folder);
    if (!QFileInfo::exists(base + stem)) return stem;
    for (int n = 0;; ++n) {
        const QString candidate = stem + QString::number(n);
        if (!QFileInfo::exists(base + candidate)) return candidate;
    }
}

SelectResult CheckSelectDestination(const QString& path, QString* name, QString* root) {
    if (path.isEmpty()) return SelectResult::EmptyPath;
    const QFileInfo info(path);
    // A folder the documents cannot be written into is no destination either.
    if (!info.isAbsolute()) return SelectResult::NotAccessible;
    if (!info.exists()) return info.isSymLink() ? SelectResult::NotAccessible : SelectResult::Missing;
    if (!info.isDir() || !info.isExecutable()) return SelectResult::NotAccessible;
    if (!info.isWritable()) return SelectResult::ReadOnly;
    const QString folder = WithTrailingSlash(path);
    const QString newName = UniqueSubfolderName(folder, SaveTexts::kConvertedItems);
    const QString fullRoot = folder + newName;
    if (path.size() > kMaxChosenPath) return SelectResult::FolderTooLong;
    if (fullRoot.size() >= kSelectRootLimit) return SelectResult::RootTooLong;
    if (name) *name = newName;
    if (root) *root = fullRoot;
    return SelectResult::Ok;
}

QString FolderStem(const QString& notesFolder) {
    QString stem = notesFolder;
    while (stem.endsWith(QLatin1Char('\\'))) stem.chop(1);
    stem.replace(QLatin1Char('\\'), QLatin1Char('_'));
    stem.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (stem.isEmpty() || stem == QLatin1String(".") || stem == QLatin1String("..")) stem = SaveTexts::kConvertedItems;
    return stem;
}

bool CheckLongPathDestination(const QString& path, const QString& notesFolder, QString* folder, QString* name) {
    if (path.trimmed().isEmpty()) return false;
    const QString base = WithTrailingSlash(path);
    const QString newName = UniqueSubfolderName(base, FolderStem(notesFolder));
    if ((base + newName).size() >= kLongPathRootLimit) return false;
    if (folder) *folder = base;
    if (name) *name = newName;
    return true;
}

}  // namespace DestinationRules
