#include "convert/CNotesConverter.h"

#include <QSet>

namespace {

QString bareName(const QString& folderName) {
    return folderName.endsWith(QLatin1Char('\\')) ? folderName.left(folderName.size() - 1) : folderName;
}

// The entries of one view or folder; empty when they cannot be read.
std::vector<NOTEID> entriesOf(LNViewFolder folder) {
    std::vector<NOTEID> ids;
    try {
        folder.Open(0);
        const LNINT n = folder.GetEntryCount();
        ids.reserve(size_t(n));
        for (LNINT i = 0; i < n; ++i) ids.push_back(folder[i].GetNoteID());
        folder.Close();
    } catch (LNSTATUS) {
        ids.clear();
    }
    return ids;
}

}  // namespace

bool CNotesConverter::IsEveryDocumentFolder(const QString& folderName) const {
    return !m_everyDocumentFolder.isEmpty() && bareName(folderName) == bareName(m_everyDocumentFolder);
}

CNotesConverter::DocumentCoverage CNotesConverter::CoverageOf(const QStringList& chosen) {
    DocumentCoverage c;
    if (!m_bDatabaseOpen) return c;
    QSet<QString> chosenNames;
    for (const QString& f : chosen) chosenNames.insert(bareName(f));
    QSet<NOTEID> documents, inChosen, inOthers;
    bool everyChosen = false;
    const int n = m_folderArray.GetCount();
    for (int i = 0; i < n && !cancelRequested; ++i) {
        LNViewFolder folder;
        QString name;
        try {
            folder = m_folderArray[i];
            name = LNStringToWide(folder.GetName());
        } catch (LNSTATUS) {
            continue;
        }
        const bool isChosen = chosenNames.contains(name);
        if (folder.IsEveryDocument()) {
            for (NOTEID id : entriesOf(folder)) documents.insert(id);
            everyChosen = isChosen;
            continue;
        }
        QSet<NOTEID>& into = isChosen ? inChosen : inOthers;
        for (NOTEID id : entriesOf(folder)) into.insert(id);
    }
    c.documents = int(documents.size());
    if (everyChosen) {
        c.inChosen = c.documents;
        return c;
    }
    // Views may list notes that are not documents of the database (a stale
    // index): only the database's documents count.
    for (NOTEID id : documents) {
        if (inChosen.contains(id))
            ++c.inChosen;
        else if (inOthers.contains(id))
            ++c.inOtherViews;
        else
            ++c.inNoView;
    }
    return c;
}

QStringList CNotesConverter::DefaultExportFolders(const QStringList& listed, QString* why) {
    QStringList folders;
    for (const QString& f : listed)
        if (!f.contains(QLatin1String("$All")) && !IsEveryDocumentFolder(f)) folders << f;
    if (m_everyDocumentFolder.isEmpty()) return folders;
    // Which documents any view or folder of the database lists, chosen or not.
    QStringList everyView;
    const int n = m_folderArray.GetCount();
    for (int i = 0; i < n; ++i) {
        try {
            const LNViewFolder folder = m_folderArray[i];
            if (!folder.IsEveryDocument()) everyView << LNStringToWide(folder.GetName());
        } catch (LNSTATUS) {
        }
    }
    const DocumentCoverage c = CoverageOf(everyView);
    if (c.documents > 0 && c.inChosen == 0) {
        if (why)
            *why = QStringLiteral("no view or folder of the database lists any of its %1 document(s): every "
                                  "document is written into \"%2\"")
                       .arg(c.documents)
                       .arg(bareName(m_everyDocumentFolder));
        return {m_everyDocumentFolder};
    }
    return folders;
}

QStringList CNotesConverter::ChosenFolderProblems(const QStringList& chosen) const {
    QStringList out;
    for (QString name : chosen) {
        if (name.endsWith(QLatin1Char('\\'))) name.chop(1);
        const auto it = m_folderProblemOf.constFind(name);
        if (it != m_folderProblemOf.constEnd()) out << it.value();
    }
    return out;
}

QStringList CNotesConverter::RefreshDatabaseProblems() {
    QStringList added;
    for (const QString& problem : m_database.GetProblems())
        if (!m_databaseProblems.contains(problem)) {
            m_databaseProblems << problem;
            added << problem;
        }
    return added;
}
