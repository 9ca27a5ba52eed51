#include <gtest/gtest.h>

#include <QDir>
#include <random>

#include "DxlTestFiles.h"
#include "notes/dxl/DxlStore.h"

using namespace store;

namespace {

using F = DxlTestFiles;

QByteArray seedFile() {
    const QByteArray unid = "0123456789ABCDEF0123456789ABCDEF";
    return F::database(
        F::folder("($Inbox)", unid, "<column itemname='PostedDate' sort='descending'/>") +
        F::view("($All)",
                "SELECT @IsAvailable(Subject) &amp; !(Form = \"Person\") | @Contains(Subject; \"x\")",
                "<column itemname='Subject' sort='ascending'/>") +
        F::document(
            "4",
            F::textItem("Subject", "Hello") +
                "<item name='PostedDate'><datetime>20120101T100000,00+01</datetime>"
                "</item><item name='$FolderRefs'><text>" +
                unid +
                "</text></item>"
                "<item name='Body'><richtext><pardef id='1' list='bullet' tabs='L1in'/><par def='1'>a<run>"
                "<font style='bold' "
                "color='red'/>b</run><break/><picture><png>iVBORw0KGgo=</png></picture></par>"
                "<table><tablerow><tablecell><par>c</par></tablecell></tablerow></table></richtext></item>"
                "<item name='$FILE'><object><file "
                "name='a.txt'><filedata>SGVsbG8=</filedata></file></object></item>",
            "Memo") +
        F::document("8",
                    "<item name='N'><numberlist><number>1</number></numberlist></item>"
                    "<item name='R'><rawitemdata type='1'>AAEC</rawitemdata></item>"));
}

}  // namespace

// Damaged files of every shape open or fail cleanly: no crash, no hang, no
// sanitizer report, and a failure always comes with a message.
TEST(DxlMutatedInput, OpensOrFailsCleanly) {
    DxlTestFiles files;
    const QByteArray seed = seedFile();
    std::mt19937 rng(20121224);
    int opened = 0;
    for (int round = 0; round < 1000; ++round) {
        QByteArray data = seed;
        static const char alnum[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+/=";
        if (round % 2 == 0) {
            // Values only: the XML stays whole, names, dates, IDs and base64 change.
            for (int e = 0; e < 6; ++e) {
                const qsizetype at = qsizetype(rng() % quint32(data.size()));
                const qsizetype open = data.lastIndexOf('<', at), close = data.lastIndexOf('>', at);
                if (close > open && QChar::fromLatin1(data[at]).isLetterOrNumber())  // in text between tags
                    data[at] = alnum[rng() % (sizeof(alnum) - 1)];
            }
        }
        const int edits = round % 2 == 0 ? 0 : 1 + int(rng() % 4);
        for (int e = 0; e < edits && !data.isEmpty(); ++e) {
            const qsizetype at = qsizetype(rng() % quint32(data.size()));
            switch (rng() % 5) {
                case 0:
                    data[at] = char(rng() % 256);
                    break;
                case 1:
                    data.remove(at, 1 + qsizetype(rng() % 20));
                    break;
                case 2:
                    data.insert(at, "<>&'\"/="[rng() % 7]);
                    break;
                case 3:
                    data.truncate(at);
                    break;
                case 4:
                    data.insert(at, data.mid(qsizetype(rng() % quint32(data.size())), 40));
                    break;
            }
        }
        const QString path = files.write(data, QStringLiteral("m%1.dxl").arg(round));
        StoreError error;
        auto s = dxl::DxlStore::open(path, error);
        if (!s) {
            EXPECT_FALSE(error.ok());
            EXPECT_FALSE(error.message().contains('\n'));
            continue;
        }
        ++opened;
        const auto infos = s->folders();
        for (size_t i = 0; i < infos.size(); ++i) {
            std::vector<uint32_t> ids;
            s->folderEntries(i, ids);
        }
        for (uint32_t id : s->allDocumentIds()) {
            StoreNote n;
            if (!s->loadNote(id, n).ok()) continue;
            for (const StoreItem& it : n.items)
                if (it.richText) it.richText->plainText();
            for (const StoreAttachment& a : n.attachments)
                s->detachAttachment(id, a, files.dir() + QStringLiteral("/out%1-%2").arg(round).arg(a.key));
        }
        QFile::remove(path);
    }
    EXPECT_GT(opened, 200);  // the mutations leave many files readable
}
