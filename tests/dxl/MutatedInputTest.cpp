#include <gtest/gtest.h>

#include <QDir>
#include <map>
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

// Bytes XML does not allow, put anywhere in a file of many documents: the
// document they land in is named and left out, every other document reads as
// it did; outside the documents they are named and no document changes.
TEST(DxlMutatedInput, BadBytesCostOnlyTheirDocument) {
    using F = DxlTestFiles;
    DxlTestFiles files;
    QByteArray docs;
    for (int i = 1; i <= 12; ++i)
        docs +=
            F::document(QByteArray::number(4 * i, 16),
                        F::textItem("Subject", "caf\xC3\xA9 number " + QByteArray::number(i)) +
                            "<item name='$FolderRefs'><text>0123456789ABCDEF0123456789ABCDEF</text></item>",
                        "Memo");
    const QByteArray seed =
        F::database(F::folder("($Inbox)", "0123456789ABCDEF0123456789ABCDEF") +
                    F::view("($All)", "SELECT @All", "<column itemname='Subject' sort='ascending'/>") + docs);
    auto read = [&](const QByteArray& bytes, QStringList& problems) {
        std::map<uint32_t, QString> out;
        StoreError error;
        auto s = dxl::DxlStore::open(files.write(bytes, QStringLiteral("b.dxl")), error);
        if (!s) return out;
        problems = s->problems();
        for (uint32_t id : s->allDocumentIds()) {
            StoreNote n;
            if (!s->loadNote(id, n).ok()) continue;
            QString text = n.unid;
            for (const StoreItem& it : n.items)
                text += it.name + QLatin1Char('=') + it.texts.join(QLatin1Char('|'));
            out[id] = text;
        }
        return out;
    };
    QStringList none;
    const std::map<uint32_t, QString> clean = read(seed, none);
    ASSERT_EQ(clean.size(), 12u);
    const QByteArray classes[] = {QByteArray(1, '\0'), "\xFF",         "\xC3",
                                  "\xC0\xAF",          "\xE0\x80\xAF", "\xED\xA0\x80"};
    std::mt19937 rng(977);
    int inDocuments = 0, outside = 0;
    for (int round = 0; round < 300; ++round) {
        const QByteArray& bad = classes[round % 6];
        const qsizetype at = qsizetype(rng() % quint32(seed.size()));
        QByteArray data = seed;
        // Inserted anywhere, or in place of a letter or digit (in place of
        // markup it would be damage of another kind).
        if (round % 2 == 0)
            data.insert(at, bad);
        else if (QChar::fromLatin1(seed[at]).isLetterOrNumber())
            data.replace(at, 1, bad);
        else
            continue;
        // The document the bytes are in, by its note ID (0: none).
        uint32_t hit = 0;
        qsizetype line = 0;
        const qsizetype start = seed.lastIndexOf("<document", at);
        const qsizetype end =
            start < 0 ? -1 : seed.indexOf("</document>", start) + qsizetype(sizeof "</document>" - 1);
        if (start >= 0 && at < end) {
            const qsizetype idAt = seed.indexOf("noteid='", start) + 8;
            hit = seed.mid(idAt, seed.indexOf('\'', idAt) - idAt).toUInt(nullptr, 16);
            line = seed.left(start).count('\n') + 1;
        }
        QStringList problems;
        const std::map<uint32_t, QString> got = read(data, problems);
        SCOPED_TRACE(
            QStringLiteral("round %1 at %2 (document %3)").arg(round).arg(at).arg(hit, 0, 16).toStdString());
        ASSERT_FALSE(problems.isEmpty());
        ASSERT_FALSE(got.empty());
        if (hit) {
            ++inDocuments;
            EXPECT_EQ(got.count(hit), 0u);
            EXPECT_TRUE(problems.join('\n').contains(QStringLiteral("the document at line %1 ").arg(line)))
                << problems.join('\n').toStdString();
        } else {
            ++outside;
        }
        for (const auto& [id, text] : clean)
            if (id != hit) {
                EXPECT_EQ(got.count(id) ? got.at(id) : QStringLiteral("(missing)"), text) << id;
            }
    }
    EXPECT_GT(inDocuments, 150);
    EXPECT_GT(outside, 10);
}
