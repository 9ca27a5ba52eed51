#include <gtest/gtest.h>

#include "DxlTestFiles.h"
#include "convert/CNotesConverter.h"

namespace {

using F = DxlTestFiles;

// Records the tree calls; handles are 1 + the index of the insertPath call.
class RecordingTree : public IFolderTree {
  public:
    struct Insert {
        QString path;
        int image;
        quint32 data = 0;
        bool expanded = false;
    };
    std::vector<Insert> inserts;
    quintptr insertPath(const QString& path, int image) override {
        inserts.push_back({path, image});
        return inserts.size();
    }
    void setItemData(quintptr node, quint32 data) override { inserts.at(node - 1).data = data; }
    void expand(quintptr node) override { inserts.at(node - 1).expanded = true; }
};

class RecordingProgress : public IProgressBar {
  public:
    std::vector<int> positions;
    QStringList texts;
    int repaints = 0;
    std::function<void(int)> onPosition;
    void setPosition(int percent) override {
        positions.push_back(percent);
        if (onPosition) onPosition(percent);
    }
    void setText(const QString& text) override { texts << text; }
    void repaint() override { ++repaints; }
};

// A database with one view or folder per name, each holding `entries` documents.
QString databaseWith(DxlTestFiles& files, const std::vector<std::pair<QByteArray, bool>>& designs,
                     int docs = 1) {
    QByteArray elements;
    int n = 0;
    for (const auto& [name, isFolder] : designs) {
        const QByteArray unid = QByteArray::number(++n).rightJustified(32, '0');
        elements += isFolder ? F::folder(name, unid) : F::view(name, "SELECT @All");
    }
    for (int d = 0; d < docs; ++d) {
        QByteArray refs;
        for (int i = 1; i <= n; ++i)
            refs += "<text>" + QByteArray::number(i).rightJustified(32, '0') + "</text>";
        elements += F::document(QByteArray::number(4 * (d + 1), 16),
                                "<item name='$FolderRefs'><textlist>" + refs + "</textlist></item>");
    }
    return files.write(F::database(elements));
}

QStringList listing(const QString& path, bool showViewFolders) {
    CNotesConverter c;
    EXPECT_EQ(c.Initialize(), 1);
    c.showViewFolders = showViewFolders ? 1 : 0;
    QStringList names;
    EXPECT_EQ(c.EnumerateFolders(path, QString(), names, 1), 1) << c.GetLastErrorText().toStdString();
    return names;
}

}  // namespace

TEST(EnumerateFolders, ListsEveryFolderAndOnlyTheMailLikeViews) {
    DxlTestFiles files;
    const std::vector<std::pair<QByteArray, bool>> designs = {
        {"($Inbox)", true},
        {"Any folder", true},
        {"($Calendar)", true},  // folders: always
        {"($Sent)", false},
        {"($Drafts)", false},
        {"($JunkMail)", false},
        {"($ToDo)", false},
        {"($Journal)", false},
        {"($Follow-Up)", false},
        {"($Meetings)", false},
        {"My Contacts", false},
        {"By Diary Date", false},
        {"By Category", false},
        {"All Documents", false},
        {"($All)", false},
        {"Old $Sent items", false},      // substring
        {"($Meetings) archive", false},  // exact test only
        {"($Calendar)", false},
        {"($Alarms)", false},
        {"($Inbox)", false},
        {"my contacts", false},
        {"($sent)", false},
    };
    const QString path = databaseWith(files, designs);
    const QStringList expected = {"($Inbox)\\",     "Any folder\\",    "($Calendar)\\", "($Sent)\\",
                                  "($Drafts)\\",    "($JunkMail)\\",   "($ToDo)\\",     "($Journal)\\",
                                  "($Follow-Up)\\", "($Meetings)\\",   "My Contacts\\", "By Diary Date\\",
                                  "By Category\\",  "All Documents\\", "($All)\\",      "Old $Sent items\\"};
    EXPECT_EQ(listing(path, false), expected);
    QStringList all;
    for (const auto& d : designs) all << QString::fromUtf8(d.first) + "\\";
    EXPECT_EQ(listing(path, true), all);
}

TEST(EnumerateFolders, AnEmptyDatabaseListsNothingAndSucceeds) {
    DxlTestFiles files;
    EXPECT_TRUE(listing(files.write("<database xmlns='http://www.lotus.com/dxl'/>"), false).isEmpty());
    EXPECT_TRUE(listing(files.write(F::database(F::document("4", "")), "docs.dxl"), true).isEmpty());
}

TEST(EnumerateFolders, FillsTheTreeAndTheProgressTextLetterForLetter) {
    DxlTestFiles files;
    const QString path = databaseWith(files,
                                      {{"($Inbox)", true},
                                       {"($Calendar)", false},
                                       {"Projects\\2012", true},
                                       {"Projects\\2013", true},
                                       {"Empty", true}},
                                      3);
    // "Empty" gets no documents: drop its references by giving it another UNID.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray text = f.readAll();
    text.replace("<folder name='Empty'><noteinfo noteid='1' unid='00000000000000000000000000000005'",
                 "<folder name='Empty'><noteinfo noteid='1' unid='FFFF'");
    f.seek(0);
    f.write(text);
    f.resize(text.size());
    f.close();

    CNotesConverter c;
    ASSERT_EQ(c.Initialize(), 1);
    RecordingTree tree;
    RecordingProgress progress;
    c.folderTree = &tree;
    c.progressDialog = &progress;
    QStringList names;
    ASSERT_EQ(c.EnumerateFolders(path, QString(), names, 0), 1) << c.GetLastErrorText().toStdString();
    EXPECT_EQ(names, QStringList({"($Inbox)\\", "Projects\\2012\\", "Projects\\2013\\", "Empty\\"}));
    EXPECT_EQ(progress.positions, std::vector<int>({20, 40, 60, 80, 100}));
    ASSERT_EQ(tree.inserts.size(), 4u);
    EXPECT_EQ(tree.inserts[0].path, "NSF File\\($Inbox)\\");
    EXPECT_EQ(tree.inserts[0].image, 8);
    EXPECT_EQ(tree.inserts[1].path, "NSF File\\Projects\\2012\\");
    EXPECT_EQ(tree.inserts[1].image, 2);
    EXPECT_EQ(tree.inserts[3].path, "NSF File\\Empty\\");
    EXPECT_EQ(tree.inserts[3].image, 1);
    EXPECT_EQ(tree.inserts[0].data, 3u);
    EXPECT_EQ(tree.inserts[3].data, 0u);
    EXPECT_TRUE(tree.inserts[2].expanded);
    ASSERT_EQ(progress.texts.size(), 4);
    EXPECT_EQ(progress.texts[2],
              "Please wait, the file is being scanned for emails and other items ...\r\n\r\n"
              "Total Folder Found     :3  Total Email Found    :9\r\nLast Folder Found     :Projects\\2013");
    EXPECT_EQ(progress.texts[3],
              "Please wait, the file is being scanned for emails and other items ...\r\n\r\n"
              "Total Folder Found     :4  Total Email Found    :9\r\nLast Folder Found     :Empty");

    // Quiet: no tree, no progress.
    RecordingTree quietTree;
    RecordingProgress quietProgress;
    c.folderTree = &quietTree;
    c.progressDialog = &quietProgress;
    names.clear();
    ASSERT_EQ(c.EnumerateFolders(path, QString(), names, 1), 1);
    EXPECT_EQ(names.size(), 4);
    EXPECT_TRUE(quietTree.inserts.empty());
    EXPECT_TRUE(quietProgress.positions.empty());
}

TEST(EnumerateFolders, CancellingStopsTheWalkAfterTheCurrentElement) {
    DxlTestFiles files;
    const QString path =
        databaseWith(files, {{"A", true}, {"B", true}, {"C", true}, {"D", true}, {"E", true}, {"F", true}});
    CNotesConverter c;
    ASSERT_EQ(c.Initialize(), 1);
    RecordingTree tree;
    RecordingProgress progress;
    c.folderTree = &tree;
    c.progressDialog = &progress;
    progress.onPosition = [&](int percent) {
        if (percent >= 50) c.cancelRequested = 1;
    };
    QStringList names;
    EXPECT_EQ(c.EnumerateFolders(path, QString(), names, 0), 1);  // a cancelled walk still succeeds
    EXPECT_EQ(names, QStringList({"A\\", "B\\", "C\\"}));
    EXPECT_EQ(tree.inserts.size(), 3u);

    // Cancelled before the walk: nothing is listed and the result is 0.
    names.clear();
    EXPECT_EQ(c.EnumerateFolders(path, QString(), names, 0), 0);
    EXPECT_TRUE(names.isEmpty());
}
