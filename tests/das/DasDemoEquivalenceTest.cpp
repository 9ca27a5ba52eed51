// The demo database read from its file and through the loopback server must
// give the same folders, item lists, headers, body texts and files.

#include "DasTestSupport.h"
#include "notes/CNotesConverter.h"
#include "notes/ProgressInterfaces.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <array>

using namespace dastest;

namespace {

const QString kDemo = QStringLiteral(TESSELDOC_SOURCE_DIR "/res/demo/demo-mail.dxl");

class Rows : public IItemList {
public:
    int addRow(int kind, const QString& column0) override {
        rows.push_back(QStringList{QString::number(kind), column0, QString(), QString(), QString(), QString(), QString()});
        return int(rows.size()) - 1;
    }
    void setColumn(int row, int column, const QString& text) override {
        if (row >= 0 && size_t(row) < rows.size() && column >= 0 && column < 5) rows[size_t(row)][column + 1] = text;
    }
    void setRowNoteId(int row, quint32 noteId) override {
        if (row >= 0 && size_t(row) < rows.size()) rows[size_t(row)][6] = QString::number(noteId, 16);
    }
    std::vector<QStringList> rows;
};

struct Item {
    QString header;
    QString body;
    QStringList attachmentNames;
    QStringList attachmentSizes;
};

struct Reading {
    QStringList folders;
    std::map<QString, std::vector<QStringList>> rows;  // per folder
    std::map<quint32, Item> items;
    std::map<QString, QByteArray> files;               // relative path -> SHA-256
};

Reading readAll(const QString& path, const QString& server, const QString& filesDir) {
    Reading r;
    CNotesConverter notes;
    EXPECT_EQ(notes.Initialize(), 1);
    if (notes.EnumerateFolders(path, server, r.folders, 1) != 1) {
        ADD_FAILURE() << "cannot open " << path.toStdString() << " on '" << server.toStdString()
                      << "': " << notes.GetLastErrorText().toStdString();
        return r;
    }
    for (const QString& folder : r.folders) {
        Rows rows;
        notes.OpenFolder(&rows, folder);
        r.rows[folder] = rows.rows;
        for (const QStringList& row : rows.rows) {
            const quint32 id = row[6].toUInt(nullptr, 16);
            if (!id || r.items.count(id)) continue;
            Item item;
            QString text;
            int type = 0;
            notes.RenderItem(id, 0, CNotesConverter::RenderTextSave, text, type, item.attachmentNames,
                             item.attachmentSizes);
            item.body = text;
            QString preview;
            QStringList n, s;
            notes.RenderItem(id, 0, CNotesConverter::RenderPreview, preview, type, n, s);
            item.header = notes.m_strPreviewHeaderText;
            const QString dir = filesDir + QLatin1Char('/') + QString::number(id, 16);
            QDir().mkpath(dir);
            notes.SaveItemAttachments(id, dir);
            r.items[id] = item;
        }
    }
    QDirIterator it(filesDir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        r.files[QDir(filesDir).relativeFilePath(file)] = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    }
    return r;
}

}  // namespace

TEST(DasDemoEquivalence, FileAndServerGiveTheSameTreeHeadersBodiesAndFiles) {
    if (!QFile::exists(kDemo)) GTEST_SKIP() << "no demo database";
    ProviderScope scope(nullptr);
    fakedomino::Server fake;
    QString error;
    ASSERT_TRUE(fake.addDatabaseFile(QStringLiteral("demo-mail.nsf"), kDemo, &error)) << error.toStdString();
    ASSERT_NE(fake.start(), 0);

    QTemporaryDir fromFile, fromServer;
    const Reading direct = readAll(kDemo, QString(), fromFile.path());
    const Reading served = readAll(QStringLiteral("demo-mail.nsf"), fake.baseUrl(), fromServer.path());
    ASSERT_FALSE(direct.items.empty());

    EXPECT_EQ(direct.folders, served.folders);
    for (const auto& [folder, rows] : direct.rows) {
        auto it = served.rows.find(folder);
        ASSERT_NE(it, served.rows.end()) << folder.toStdString();
        ASSERT_EQ(rows.size(), it->second.size()) << folder.toStdString();
        for (size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(rows[i].join(QLatin1Char('|')), it->second[i].join(QLatin1Char('|'))) << folder.toStdString();
    }
    ASSERT_EQ(direct.items.size(), served.items.size());
    for (const auto& [id, item] : direct.items) {
        auto it = served.items.find(id);
        ASSERT_NE(it, served.items.end()) << std::hex << id;
        EXPECT_EQ(item.header, it->second.header) << "note " << std::hex << id;
        EXPECT_EQ(item.body, it->second.body) << "note " << std::hex << id;
        EXPECT_EQ(item.attachmentNames, it->second.attachmentNames) << "note " << std::hex << id;
        EXPECT_EQ(item.attachmentSizes, it->second.attachmentSizes) << "note " << std::hex << id;
    }
    EXPECT_EQ(direct.files, served.files);
    EXPECT_FALSE(direct.files.empty());
}
