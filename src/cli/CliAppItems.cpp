#include <array>
#include <vector>

#include "cli/CliApp.h"
#include "cli/FolderArgument.h"
#include "export/ContactHeaderText.h"
#include "convert/CNotesConverter.h"
#include "items/ItemRecordReaders.h"
#include "items/DocumentFields.h"
#include "items/NotesItemKind.h"
#include "rtf/HeaderTableRtf.h"
#include "notes/das/DasStore.h"
#include "notes/das/DominoServerConfig.h"
#include "notes/store/NoteStore.h"

// The items and header commands.

namespace {

// Records the rows FillItemList makes.
class RecordingItemList : public IItemList {
  public:
    struct Row {
        int kind = 0;
        quint32 noteId = 0;
        std::array<QString, 5> columns;
    };

    int addRow(int kind, const QString& column0) override {
        Row row;
        row.kind = kind;
        row.columns[0] = column0;
        rows.push_back(row);
        return int(rows.size()) - 1;
    }
    void setColumn(int row, int column, const QString& text) override {
        if (row >= 0 && size_t(row) < rows.size() && column >= 0 && column < 5)
            rows[size_t(row)].columns[size_t(column)] = text;
    }
    void setRowNoteId(int row, quint32 noteId) override {
        if (row >= 0 && size_t(row) < rows.size()) rows[size_t(row)].noteId = noteId;
    }

    std::vector<Row> rows;
};

// Initialises the session and opens DB ("SERVER!!PATH" for a server database).
bool openDatabase(CNotesConverter& converter, const QString& db, QTextStream& err) {
    if (!converter.Initialize()) {
        err << converter.GetLastErrorText() << "\n";
        return false;
    }
    QString path, server;
    CliApp::splitDatabase(db, path, server);
    QStringList names;
    if (!converter.EnumerateFolders(path, server, names, 1)) {
        err << "tesseldoc-cli: " << converter.GetLastErrorText() << "\n";
        return false;
    }
    return true;
}

// The note ID of the document with that UNID: a server is asked for the
// document; a file is searched.
store::StoreError noteIdOfUnid(const QString& db, const QString& unid, NOTEID& noteId) {
    QString path, server;
    CliApp::splitDatabase(db, path, server);
    if (!server.isEmpty()) {
        QString problem;
        const auto s = das::DominoServerConfig().resolve(server, &problem);
        if (!s) return {store::StatusServerUnreachable, problem};
        store::StoreError e;
        auto store = das::DasStore::open(*s, path, e);
        if (!store) return e;
        uint32_t id = 0;
        e = store->noteIdForUnid(unid, id);
        noteId = id;
        return e;
    }
    store::StoreError e;
    auto store = store::openStore(path, QString(), e);
    if (!store) return e;
    for (uint32_t id : store->allDocumentIds()) {
        store::StoreNote note;
        if (store->loadNote(id, note).ok() && note.unid.compare(unid, Qt::CaseInsensitive) == 0) {
            noteId = id;
            return {};
        }
    }
    return {store::StatusNoSuchNote, unid};
}

}  // namespace

int CliApp::cmdItems(const QStringList& args) {
    if (args.size() != 2) return wrongArguments(QStringLiteral("items"));
    CNotesConverter converter;
    if (!openDatabase(converter, args[0], m_err)) return 1;
    const QString folder = FolderArgument::resolve(args[1], [&converter](const QString& name) {
        try {
            return converter.database().ViewFolderExists(CNotesConverter::WideToLNString(name)) != 0;
        } catch (LNSTATUS) {
            return false;
        }
    });
    if (folder.isEmpty()) {
        // Shown as given when it is in the escaped form already.
        const QString shown = FolderArgument::unescape(args[1]) ? args[1] : escape(args[1]);
        m_err << "tesseldoc-cli: no folder or view named " << shown << "\n";
        return 1;
    }
    for (const QString& problem : converter.folderProblems())
        if (problem.startsWith(folder + QStringLiteral(": ")))
            m_err << "warning: " << escape(problem) << "\n";
    for (const QString& problem : converter.databaseProblems()) m_err << "warning: " << escape(problem) << "\n";
    RecordingItemList list;
    converter.OpenFolder(&list, folder);
    for (const auto& row : list.rows) {
        m_out << row.kind << '\t' << QString::number(row.noteId, 16);
        for (const QString& column : row.columns) m_out << '\t' << escape(column);
        m_out << '\n';
    }
    m_out.flush();
    // Each document left out (or read in part) is named; the listing is then incomplete.
    for (const QString& problem : converter.itemListProblems()) m_err << "warning: " << escape(problem) << "\n";
    m_err.flush();
    return converter.itemListProblems().isEmpty() && converter.databaseProblems().isEmpty() ? 0 : 1;
}

int CliApp::cmdHeader(const QStringList& args) {
    if (args.size() != 2) return wrongArguments(QStringLiteral("header"));
    QString idText = args[1];
    if (idText.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) idText = idText.mid(2);
    bool ok = false;
    NOTEID noteId = 0;
    const bool isUnid = idText.size() == 32 && QByteArray::fromHex(idText.toLatin1()).size() == 16;
    if (!isUnid) noteId = idText.toUInt(&ok, 16);
    if (!isUnid && !ok) {
        return usageError(QStringLiteral("not a note ID (hexadecimal) or UNID: ") + escape(args[1]));
    }
    CNotesConverter converter;
    if (!openDatabase(converter, args[0], m_err)) return 1;
    if (isUnid) {
        const store::StoreError e = noteIdOfUnid(args[0], idText, noteId);
        if (!e.ok()) {
            m_err << "tesseldoc-cli: " << e.message() << "\n";
            return 1;
        }
    }
    LNDocument document;
    try {
        converter.database().GetDocument(noteId, &document);
        document.Open(0);
    } catch (LNSTATUS status) {
        converter.StoreErrorText(status);
        m_err << "tesseldoc-cli: " << converter.GetLastErrorText() << "\n";
        return 1;
    }
    switch (DetectItemKind(document)) {
        case Mail:
            m_out << escape(ReadMailRecord(document).BuildHeaderText()) << '\n';
            break;
        case Calendar:
            m_out << escape(ReadCalendarRecord(document).BuildHeaderText()) << '\n';
            break;
        case Task:
            m_out << escape(ReadTaskRecord(document).BuildHeaderText()) << '\n';
            break;
        case Journal:
            m_out << escape(ReadJournalRecord(document).BuildHeaderText()) << '\n';
            break;
        case Document:
            if (document.data()) m_out << escape(rtf::FieldsHeaderText(ReadFieldRows(*document.data(), document.GetForm().get()))) << '\n';
            break;
        case Contact: {
            const ContactRecord record = converter.ReadContactRecord(document);
            m_out << escape(record.BuildHeaderText()) << '\n';
            m_out << escape(ContactExportText(document, record.fields[ContactRecord::kAttachmentsField]))
                  << '\n';
            break;
        }
    }
    try {
        document.Close();
    } catch (LNSTATUS) {
    }
    return 0;
}
