#pragma once

#include "export/ExportReport.h"
#include "export/IDocumentExporter.h"
#include "export/RunJournal.h"
#include "export/OutputFormat.h"
#include "items/ItemDateRange.h"
#include "items/ItemListRow.h"
#include "items/ItemRecords.h"
#include "notes/NotesFolderEntry.h"
#include "convert/FailFastRule.h"
#include "convert/ProgressInterfaces.h"
#include "notes/ServerDirectory.h"
#include "notes/ln/LotusApi.h"

#include <QHash>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class ILargeBodyQuestion;
class RunJournal;

// Saving modes of a run.
enum SavingMode { Text = 1, RtfLowQuality = 2, RtfBestQuality = 3 };

// The one Notes access object: session, open database, current folder, the
// last error text. Other parts of the program add operations of their own
// (item listing, body export, folder export, preview) in files of their own.
class CNotesConverter {
public:
    CNotesConverter();
    ~CNotesConverter();
    CNotesConverter(const CNotesConverter&) = delete;
    CNotesConverter& operator=(const CNotesConverter&) = delete;

    // ---- session and database
    int Initialize();
    void Shutdown();
    // Opens the database (server empty: a file) and lists its folders and the
    // mail-like views into `folderNames` (each with a trailing backslash).
    int EnumerateFolders(const QString& filePath, const QString& serverName, QStringList& folderNames, int quiet);
    // Opens a listed folder and fills the item list (FillItemList).
    void OpenFolder(IItemList* itemList, const QString& folderName);
    QString GetLastErrorText() const { return lastErrorText; }

    // ---- every document and what the chosen folders leave behind
    // The node of every document of the open database ("All Documents (every
    // document)\\", a name no view has), as EnumerateFolders lists it when
    // listEveryDocument is set; empty before a database is open.
    QString EveryDocumentFolder() const { return m_everyDocumentFolder; }
    bool IsEveryDocumentFolder(const QString& folderName) const;
    // Which of the database's documents the folders `chosen` (as listed, with
    // their trailing backslash) hold. Reads the entries of every view and
    // folder of the open database.
    struct DocumentCoverage {
        int documents = 0;     // document notes of the database
        int inChosen = 0;      // held by a chosen folder (or the node of every document)
        int inOtherViews = 0;  // in no chosen folder, but in another view or folder
        int inNoView = 0;      // in no view or folder at all
        int leftBehind() const { return documents - inChosen; }
    };
    DocumentCoverage CoverageOf(const QStringList& chosen);
    // The folders a run takes when it is given none: `listed` without the
    // ($All) views and the node of every document; or the node alone, with
    // `why` set, when the database holds documents that no view or folder lists.
    QStringList DefaultExportFolders(const QStringList& listed, QString* why);

    static LNString WideToLNString(const QString& text);
    static QString LNStringToWide(const LNString& text);

    // ---- servers and their databases (the Domino server browser)
    // The servers the program knows; 0 (lastErrorText set) when they cannot be read.
    int ListServers(QStringList& servers);
    // The databases of a server that can be opened, as paths and file names
    // in the server's order; stops after the current database once
    // cancelRequested is set. `betweenDatabases` runs before each database
    // (the browser's pause gate). 0 (lastErrorText set) when nothing is listed.
    int ListServerDatabases(const QString& serverName, QStringList& paths, QStringList& names,
                            const std::function<void()>& betweenDatabases = {});
    // Keeps a server typed by the user among the known servers (https://<name>).
    int RememberServer(const QString& serverName, const QString& url = QString());
    // The databases the last ListServerDatabases left out, each "path: reason".
    QStringList serverDatabaseProblems;
    // Where the servers come from; null: ServerDirectory::Current().
    IServerDirectory* serverDirectory = nullptr;

    // ---- item listing (the item list of the browse step)
    void FillItemList(IItemList* itemList);
    // The contact reader: the 69 fields of an open contact document.
    ContactRecord ReadContactRecord(LNDocument document, QStringList* names = nullptr,
                                    QStringList* sizes = nullptr) const;
    // The item-list row of an open document (the note ID is left to the caller).
    ItemListRow ReadItemListRow(const LNDocument& document) const;

    // ---- body and attachments
    // The process's private temporary folder, with a trailing "/"; empty when
    // it cannot be made.
    static QString TempFolder();
    // The body as plain text and, in the RTF modes or for the preview, as RTF
    // ("ch111.rtf"). `inMemory` (not for the preview): the RTF is made in
    // memory and no file is written or left. 0 when the document cannot be re-read.
    int ExportBody(LNDocument& document, int& rtfReady, QString& rtfText, QString& plainText, int preview,
                   bool inMemory = false);
    // A rich-text item's whole plain text, read in chunks when it is long.
    static QString ReadWholeRichText(const LNRichText& richText);
    // The file's text, line breaks kept, advancing itemProgressBar per line.
    QString ReadTextFileWithProgress(const QString& path);
    // The same for RTF bytes already in memory (each byte one character).
    QString LatinTextWithProgress(const QByteArray& data);
    struct AttachmentFailure {
        QString name;
        QString reason;
    };
    // Writes every attachment into folder under unique names; "ContactPhoto"
    // becomes "ContactPhoto.jpg" and contactPhotoPath. Failures are listed.
    void DetachAttachments(LNDocument& document, const QString& folder,
                           QList<AttachmentFailure>* failures = nullptr);
    static QString UniqueAttachmentPath(const QString& path);

    // ---- folder export run
    void ExportFolder(const QString& folderName);
    void ExportFolderItems();
    // A folder a stopped run did not reach: its entries are counted as found
    // and each is listed as not converted in exportReport.
    void ListFolderNotConverted(const QString& folderName);
    // A source's run begins: an earlier source's early end is forgotten.
    void BeginSourceRun();
    // Moves an early end that the exporter's threads found (items written in
    // the background kept failing) into abortReason. Call on the thread that
    // runs the folder export; true when abortReason is set.
    bool TakePendingAbort();
    void SaveMailItem(LNDocument& document, int rtfReady, const QString& rtfText, const QString& plainText);
    void SaveCalendarItem(LNDocument& document, int rtfReady, const QString& rtfText, const QString& plainText);
    void SaveContactItem(LNDocument& document, int rtfReady, const QString& rtfText, const QString& plainText);
    void SaveTaskItem(LNDocument& document, int rtfReady, const QString& rtfText, const QString& plainText);
    void SaveJournalItem(LNDocument& document, int rtfReady, const QString& rtfText, const QString& plainText);
    // A document of any other form: all of its fields in a table of their own.
    void SaveDocumentItem(LNDocument& document, int rtfReady, const QString& rtfText, const QString& plainText);
    // The API's text for a status, as LNGetErrorMessageText gives it.
    static QString ErrorTextFor(LNSTATUS status);

    // ---- item preview and the browse step's item save
    // Purposes of RenderItem: the preview (header text + text), a text save
    // (text), anything else an RTF save (the RTF).
    enum { RenderPreview = 10, RenderTextSave = 20, RenderRtfSave = 0 };
    // A rich-text body larger than this asks before the preview shows it.
    static constexpr LNINT kLargeBodyBytes = 61440;
    // Composes one item by note ID. `type`: 0 mail, 1 calendar, 2 task,
    // 3 contact, 4 journal, 6 a document of another form, 5 anything else. The header text is left in
    // m_strPreviewHeaderText, and for a document of another form its filled
    // header table (RTF) in m_strPreviewHeaderTable (empty for the five kinds); `plainText`, when given, receives the item's
    // text whatever the purpose. 0 when nothing could be composed.
    int RenderItem(NOTEID noteId, int rtfFlag, int purpose, QString& result, int& type, QStringList& attachmentNames,
                   QStringList& attachmentSizes, QString* plainText = nullptr);
    // Writes the attachments of one document into folder (empty: nothing is
    // written). 0 when the document cannot be opened.
    int SaveItemAttachments(NOTEID noteId, const QString& folder, QList<AttachmentFailure>* failures = nullptr);
    // Asked before a large body is previewed; null: the last answer stands.
    ILargeBodyQuestion* largeBodyQuestion = nullptr;

    // ---- members
    QString lastErrorText;
    std::atomic<int> cancelRequested{0};
    // Stop after the item in progress, which is finished whole (cancelRequested
    // also cuts its body and attachments short). Set from a signal handler by
    // the command line; the items not reached are listed as not converted.
    std::atomic<int> stopRequested{0};
    unsigned char showViewFolders = 0;
    // EnumerateFolders also lists the node of every document, last.
    bool listEveryDocument = false;
    // Each document is written once in a run over a database, in the first
    // folder that holds it; later folders count it as written there.
    bool oncePerDocument = false;
    int savingMode = Text;
    // The documents' file format (.doc unless chosen otherwise).
    OutputOptions outputOptions;
    // Items whose date lies outside are left out of a save run (counted, not failed).
    ItemDateRange dateRange;
    QString contactPhotoPath;
    IProgressBar* itemStatusBar = nullptr;
    IProgressBar* itemProgressBar = nullptr;
    IDocumentExporter* wordExporter = nullptr;
    QString m_strPreviewHeaderText;
    QString m_strPreviewHeaderTable;
    int m_bAskLargeBody = 1;
    int m_bShowLargeBody = 1;

    // What the current save run did, item by item (failures named).
    ExportReport exportReport;
    // Set when the source's items kept failing for a cause that stays (a full
    // or unwritable destination, a server that is gone): the run of the source
    // ends and every item not reached is listed as not converted with it.
    QString abortReason;
    FailFastRule failFast;  // fed under m_failFastMutex
    // The folder export run records every item here (null: no journal); the
    // items are keyed by journalDatabase. With resumeRun, an item the journal
    // holds complete and unchanged is skipped, and a changed one is written
    // again under a new name.
    RunJournal* journal = nullptr;
    QString journalDatabase;
    bool resumeRun = false;
    // The outcome of an item an exporter wrote in the background: counted in
    // the report and recorded in the journal (called on the exporter's threads).
    void OnBackgroundOutcome(const IDocumentExporter::Outcome& outcome);

    IFolderTree* folderTree = nullptr;   // set by the browse step; null: no tree
    IProgressBar* progressDialog = nullptr;  // the please-wait dialog; null: none

    // State, read by the rest of the program and by tests.
    bool isSessionInitialized() const { return m_bSessionInitialized; }
    bool isDatabaseOpen() const { return m_bDatabaseOpen; }
    LNSTATUS lastStatus() const { return m_lastStatus; }
    LNDatabase& database() { return m_database; }
    LNViewFolder& currentFolder() { return m_currentFolder; }
    const LNViewFolderArray& folderArray() const { return m_folderArray; }
    // Views that were listed but whose entries the store could not list, with why.
    const QStringList& folderProblems() const { return m_folderProblems; }
    // Damage the database found after the listing (a view that cannot be
    // read while every document is listed, say): added to databaseProblems,
    // and returned.
    QStringList RefreshDatabaseProblems();
    // Those of them among `chosen` (as listed, with their trailing backslash):
    // a run of those folders loses their entries.
    QStringList ChosenFolderProblems(const QStringList& chosen) const;
    // What the database could not read, found while listing (damage): one
    // line each, naming the bucket, note, view or folder lost.
    const QStringList& databaseProblems() const { return m_databaseProblems; }
    // Documents the last FillItemList left out, and items it could not read.
    const QStringList& itemListProblems() const { return m_itemListProblems; }
    // One line for each item of an open document whose value could not be read.
    static QStringList UnreadableItems(const LNDocument& document);

    // Stores the API's text for a thrown status in lastErrorText.
    void StoreErrorText(LNSTATUS status);

private:
    // What the save of the current item came to (for the run's report).
    struct ItemOutcome {
        bool written = false;
        bool skipped = false;                    // complete from an earlier run
        bool deferred = false;                   // taken by a background exporter
        QString failure;                         // why no document
        QList<AttachmentFailure> attachments;    // attachments not written
        QString embedProblem;                    // why attachments could not go into the PDF
        QString path;                            // the document written
        QString officeReason;                    // written by the office engine instead: why
    };
    // The header inputs of one item: a contact's subject, sender, recipients
    // and export text, or an item's header block alone.
    struct HeaderInputs {
        QString subject;
        QString from;
        QString sendTo;
        QString block;
        QString table;  // a filled header table (RTF) in place of a template
    };
    void SaveItem(LNDocument& document, int kind, const QString& name, const HeaderInputs& header,
                  const QStringList& attachmentNames, int rtfReady, const QString& rtfText, const QString& plainText);
    void ListNotConverted(int from);
    // An item failed writing into `folder` (any thread): a streak of failures
    // that will not go away ends the source's run. An item written ends the streak.
    void NoteItemFailure(const QString& folder, const QString& why);
    void NoteItemWritten();
    QMutex m_failFastMutex;          // guards failFast and m_pendingAbort
    QString m_pendingAbort;
    std::atomic<bool> m_abortPending{false};
    // Opens the folder `name` (without its trailing "\") as the current
    // export folder; false, with a folder failure in the report, when the
    // database has none of that name. Throws LNSTATUS as the API does.
    bool OpenExportFolder(const QString& name);
    // The body file (NewRtf.rtf or NewTxt.txt) holding `bytes`; empty, with
    // the item's failure, when it cannot be written.
    QString WriteBodyFile(int rtfReady, const QByteArray& bytes);
    // What the body file holds: the RTF byte for byte, or the text as UTF-16
    // with a byte order mark.
    static QByteArray BodyBytes(int rtfReady, const QString& rtfText, const QString& plainText);
    bool m_bodyFileWritten = false;  // a body file may be left in the temporary folder
    // Makes the attachment folder `dir` (the next numbered name when another
    // writer took it meanwhile; `dir` then names the one made) and detaches into it.
    // False when the journal could not record the folder (the item fails).
    bool DetachInto(LNDocument& document, QString& dir, const QString& name, const QStringList& attachmentNames);
    void EmbedAttachmentsInPdf(const QString& pdfPath, const QString& attachmentDir);
    // Resuming without a record of the item: a document of it already in
    // place (the journal lost, emptied or cut) is taken as its write instead
    // of writing it twice. True when one was taken (the item is skipped).
    bool AdoptFromDisk(const QString& name, bool withAttachments);
    QSet<QString> m_pathsOfThisRun;  // documents and attachment folders this run named
    QString m_exportFolderName;  // Notes name of the folder being exported
    JournalKey m_itemKey;        // the item being exported, for the journal
    QString m_itemModified;
    QString m_itemDocumentPath;
    // Items a background exporter has taken and not yet reported, by ticket.
    struct PendingItem {
        JournalKey key;
        QString modified;
        QString attachmentDir;
        QString replaces;
        bool embedInPdf = false;  // the attachments go into the PDF once written
    };
    QMutex m_pendingMutex;
    QHash<quint64, PendingItem> m_pending;
    quint64 m_nextTicket = 0;
    ItemOutcome m_itemOutcome;

    int OpenDatabase(const QString& filePath, const QString& serverName);
    IServerDirectory& Directory();
    std::shared_ptr<IServerDirectory> m_defaultDirectory;

    bool m_bSessionInitialized = false;
    bool m_bDatabaseOpen = false;
    LNNotesSession m_session;
    LNDatabase m_database;
    LNViewFolder m_currentFolder;
    LNViewFolderArray m_folderArray;
    LNSTATUS m_lastStatus = 0;
    QStringList m_folderProblems;
    QHash<QString, QString> m_folderProblemOf;  // folder name (without "\\") -> its line in m_folderProblems
    QStringList m_databaseProblems;
    QString m_everyDocumentFolder;
    // oncePerDocument: the folder each document of the run was written in.
    QHash<NOTEID, QString> m_writtenIn;
    QStringList m_itemListProblems;
};
