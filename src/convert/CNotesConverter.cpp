#include "convert/CNotesConverter.h"

#include "export/DestinationChecks.h"
#include "items/WideText.h"
#include "notes/store/StoreStatus.h"
#include "notes/das/DasCancel.h"

#include <vector>

// Stop requests also reach Domino server calls in flight.
CNotesConverter::CNotesConverter() { das::DasCancel::watch(&cancelRequested); }

CNotesConverter::~CNotesConverter() {
    Shutdown();
    das::DasCancel::unwatch(&cancelRequested);
}

int CNotesConverter::Initialize() {
    LNSetThrowAllErrorsGlobal(TRUE);
    if (m_bSessionInitialized) Shutdown();
    try {
        m_lastStatus = m_session.Initialize(300, 0, nullptr, TRUE, nullptr);
    } catch (LNSTATUS status) {
        m_lastStatus = status ? status : 1;
    } catch (...) {
        m_lastStatus = 1;
    }
    if (m_lastStatus != 0) {
        lastErrorText = QStringLiteral("Unable to initlise lotus notes");
        m_bSessionInitialized = false;
        return 0;
    }
    if (cancelRequested) return 0;
    m_bSessionInitialized = true;
    return 1;
}

void CNotesConverter::Shutdown() {
    if (m_bDatabaseOpen) {
        try {
            m_database.Close();
        } catch (...) {
        }
        m_bDatabaseOpen = false;
    }
    if (m_bSessionInitialized) {
        try {
            m_session.Term(FALSE);
        } catch (...) {
        }
        m_bSessionInitialized = false;
    }
}

void CNotesConverter::StoreErrorText(LNSTATUS status) {
    char buffer[512] = {0};
    LNGetErrorMessageText(status, buffer, 512, 0);
    lastErrorText = QString::fromUtf8(buffer);
}

LNString CNotesConverter::WideToLNString(const QString& text) { return WideText::toLNString(text); }

QString CNotesConverter::LNStringToWide(const LNString& text) { return WideText::fromLNString(text); }

int CNotesConverter::OpenDatabase(const QString& filePath, const QString& serverName) {
    if (m_bDatabaseOpen) {
        try {
            m_database.Close();
        } catch (...) {
        }
    }
    m_bDatabaseOpen = false;
    if (serverName.isEmpty()) {
        // A FIFO or a device would block or never end; a folder that may not be
        // entered would read as a missing file.
        const QString problem = DatabaseFileProblem(filePath);
        if (!problem.isEmpty()) {
            m_lastStatus = problem.contains(QLatin1String("permission denied")) ? store::StatusAccessDenied
                                                                                 : store::StatusReadError;
            lastErrorText = problem;
            return 0;
        }
    }
    try {
        m_lastStatus = m_session.GetDatabase(WideToLNString(filePath), &m_database, WideToLNString(serverName));
    } catch (LNSTATUS status) {
        m_lastStatus = status;
    }
    if (m_lastStatus != 0) {
        StoreErrorText(m_lastStatus);
        return 0;
    }
    if (cancelRequested) return 0;
    try {
        m_lastStatus = m_database.Open(0);
    } catch (LNSTATUS status) {
        m_lastStatus = status;
    }
    if (m_lastStatus != 0) {
        StoreErrorText(m_lastStatus);
        m_bDatabaseOpen = false;
        return 0;
    }
    m_bDatabaseOpen = true;
    if (cancelRequested) return 0;
    return 1;
}

int CNotesConverter::EnumerateFolders(const QString& filePath, const QString& serverName, QStringList& folderNames,
                                      int quiet) {
    m_folderProblems.clear();
    m_folderProblemOf.clear();
    m_databaseProblems.clear();
    m_everyDocumentFolder.clear();
    m_writtenIn.clear();
    BeginSourceRun();
    if (!OpenDatabase(filePath, serverName)) return 0;
    try {
        m_lastStatus = m_database.GetViewFolders(&m_folderArray, TRUE);
    } catch (LNSTATUS status) {
        m_lastStatus = status;
        StoreErrorText(status);
        return 0;
    }
    m_databaseProblems = m_database.GetProblems();
    if (cancelRequested) return 0;

    // The views and folders of the database, then the node of every document.
    int n = m_folderArray.GetCount();
    LNViewFolder everyDocument;
    if (n > 0 && m_folderArray[n - 1].IsEveryDocument()) everyDocument = m_folderArray[--n];
    int foldersShown = 0;
    unsigned entriesFound = 0;
    try {
        for (int i = 0; i < n && !cancelRequested; ++i) {
            if (!quiet && progressDialog && progressDialog->hasWindow()) {
                progressDialog->setPosition((i + 1) * 100 / n);
                progressDialog->repaint();
            }
            LNViewFolder folder = m_folderArray[i];
            // A folder whose entries cannot be read is still listed, with why.
            QString openProblem;
            try {
                folder.Open(0);
            } catch (LNSTATUS status) {
                openProblem = QStringLiteral("its entries cannot be read: ") + ErrorTextFor(status);
            }
            const QString name = LNStringToWide(folder.GetName());
            const bool listed = folder.IsFolder() || IsListedViewName(name, showViewFolders != 0);
            if (listed) {
                folderNames.append(name + QLatin1Char('\\'));
                const QString problem = folder.GetProblem();
                if (!openProblem.isEmpty())
                    m_databaseProblems.append(name + QStringLiteral(": ") + openProblem);  // damage
                else if (!problem.isEmpty()) {
                    m_folderProblems.append(name + QStringLiteral(": ") + problem);
                    m_folderProblemOf.insert(name, m_folderProblems.last());
                }
                if (!quiet && folderTree) {
                    ++foldersShown;
                    const uint32_t count = openProblem.isEmpty() ? uint32_t(folder.GetEntryCount()) : 0u;
                    entriesFound += count;
                    const quintptr node = folderTree->insertPath(QStringLiteral("NSF File\\") + name +
                                                                     QLatin1Char('\\'),
                                                                 FolderImageIndex(name, count));
                    folderTree->setItemData(node, count);
                    folderTree->expand(node);
                    if (progressDialog && progressDialog->hasWindow()) {
                        progressDialog->setText(
                            QStringLiteral("Please wait, the file is being scanned for emails and other items "
                                           "...\r\n\r\nTotal Folder Found     :%1  Total Email Found    :%2\r\n"
                                           "Last Folder Found     :%3")
                                .arg(foldersShown)
                                .arg(entriesFound)
                                .arg(name));
                        progressDialog->repaint();
                    }
                }
            }
            if (openProblem.isEmpty()) folder.Close();
        }
        if (everyDocument.IsEveryDocument()) {
            m_everyDocumentFolder = LNStringToWide(everyDocument.GetName()) + QLatin1Char('\\');
            if (listEveryDocument && !cancelRequested) {
                folderNames.append(m_everyDocumentFolder);
                if (!quiet && folderTree) {
                    uint32_t count = 0;
                    try {
                        everyDocument.Open(0);
                        count = uint32_t(everyDocument.GetEntryCount());
                        everyDocument.Close();
                    } catch (LNSTATUS) {
                    }
                    // Last, and left alone when the folders above are ticked.
                    const quintptr node = folderTree->insertPath(QStringLiteral("NSF File\\") + m_everyDocumentFolder,
                                                                 FolderImageIndex(QString(), count));
                    folderTree->setItemData(node, count);
                    folderTree->setStandalone(node);
                }
            }
        }
    } catch (LNSTATUS status) {
        m_lastStatus = status;
        StoreErrorText(status);
        return 0;
    }
    return 1;
}

void CNotesConverter::OpenFolder(IItemList* itemList, const QString& folderNameIn) {
    if (cancelRequested) return;
    QString name = folderNameIn;
    if (name.endsWith(QLatin1Char('\\'))) name.chop(1);
    try {
        const LNString lnName = WideToLNString(name);
        if (!m_database.ViewFolderExists(lnName)) return;
        m_database.GetViewFolder(lnName, &m_currentFolder);
        if (cancelRequested) return;
        m_currentFolder.Open(0);
        if (LNStringToWide(m_currentFolder.GetName()) == name) FillItemList(itemList);
        m_currentFolder.Close();
    } catch (...) {
    }
}
