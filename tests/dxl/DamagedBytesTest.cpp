// Bytes XML does not allow (a NUL, a stray byte that is not UTF-8, a cut or
// overlong UTF-8 sequence) cost the document they are in, named; every other
// document reads exactly as from the sound file. Outside the documents they
// cost the element they are in (a form, the database information) or, in the
// <database> tag itself, only those bytes, each named as a warning.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <map>

#include "DxlTestFiles.h"
#include "notes/dxl/DxlStore.h"

using namespace store;

namespace {

const QString kSamples = QStringLiteral(TESSELDOC_SHARED_DIR "/dxl-samples");

#define REQUIRE_SAMPLES() \
    if (!QDir(kSamples).exists()) GTEST_SKIP() << "no DXL samples at " << kSamples.toStdString()

QByteArray readSample(const char* name) {
    QFile f(kSamples + "/" + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A sample's root element, without the declaration and comments before it.
QByteArray rootElement(const QByteArray& file) {
    qsizetype at = 0;
    while (true) {
        at = file.indexOf('<', at);
        if (at < 0) return {};
        if (file.mid(at, 4) == "<!--")
            at = file.indexOf("-->", at) + 3;
        else if (file.mid(at, 2) == "<?" || file.mid(at, 2) == "<!")
            at = file.indexOf('>', at) + 1;
        else
            return file.mid(at);
    }
}

// A whole-database export's header and design with real documents after it,
// and one more document of text in several scripts.
QByteArray composedDatabase() {
    QByteArray head = readSample("database-export_smallDxl.dxl");
    head.truncate(head.lastIndexOf("</database>"));
    return head + rootElement(readSample("document_mail-memo_mime-raw_spam.xml")) + "\n" +
           rootElement(readSample("document_note-format_raw-richtext_styledtext.xml")) + "\n" +
           "<document form='Note'><noteinfo noteid='ab0' unid='0123456789ABCDEF0123456789ABCDEF'/>"
           "<item name='Subject'><text>caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80</text></item>"
           "<item name='Count'><number>3</number></item></document>\n" +
           rootElement(readSample("document_richtext-pars_multiline.xml")) + "\n</database>\n";
}

// Everything a document reads as, but its note ID (assigned ones move).
QString describe(const StoreNote& n) {
    QString out = n.unid + QStringLiteral(" size %1\n").arg(n.size);
    for (const StoreItem& it : n.items) {
        out += it.name + QStringLiteral(" %1: ").arg(it.type) + it.texts.join(QLatin1Char('|'));
        for (double d : it.numbers) out += QString::number(d) + QLatin1Char(' ');
        if (it.richText) out += QStringLiteral(" rich: ") + it.richText->plainText();
        out += QString::fromLatin1(it.raw.toBase64()) + it.problem + QLatin1Char('\n');
    }
    for (const StoreAttachment& a : n.attachments) out += a.name + QStringLiteral(" %1\n").arg(a.size);
    return out;
}

struct Listing {
    bool opened = false;
    QString error;
    QStringList problems;
    std::vector<std::string> documents;  // described, in file order
    std::vector<QString> forms;
    QString title;
};

Listing list(const QString& path) {
    Listing l;
    StoreError e;
    auto s = dxl::DxlStore::open(path, e);
    if (!s) {
        l.error = e.message();
        return l;
    }
    l.opened = true;
    l.problems = s->problems();
    l.title = s->title();
    for (uint32_t id : s->allDocumentIds()) {
        StoreNote n;
        const StoreError le = s->loadNote(id, n);
        l.documents.push_back(
            (le.ok() ? describe(n) : QStringLiteral("unreadable: ") + le.message()).toStdString());
    }
    for (const auto& f : s->forms()) l.forms.push_back(f->name);
    return l;
}

struct ByteClass {
    const char* name;
    QByteArray bytes;
    const char* reason;
};
const std::vector<ByteClass>& byteClasses() {
    static const std::vector<ByteClass> classes = {
        {"NUL", QByteArray(1, '\0'), "a NUL character"},         {"stray 0xFF", "\xFF", "not valid UTF-8"},
        {"cut sequence", "\xE6\x97", "not valid UTF-8"},         {"overlong", "\xC0\xAF", "not valid UTF-8"},
        {"overlong 3 bytes", "\xE0\x80\xAF", "not valid UTF-8"},
    };
    return classes;
}

}  // namespace

TEST(DxlDamagedBytes, CostOnlyTheDocumentTheyAreIn) {
    REQUIRE_SAMPLES();
    DxlTestFiles files;
    const QByteArray clean = composedDatabase();
    const Listing sound = list(files.write(clean, "clean.dxl"));
    ASSERT_TRUE(sound.opened) << sound.error.toStdString();
    ASSERT_TRUE(sound.problems.isEmpty()) << sound.problems.join('\n').toStdString();
    ASSERT_EQ(sound.documents.size(), 4u);

    // Where to put the bytes: just after `marker`, in document `doc` (0-based).
    struct Place {
        const char* what;
        QByteArray marker;
        int doc;
        const char* named;  // in the one problem
    };
    const std::vector<Place> places = {
        {"mail text item", "<text>Itemize", 0, "note ID 3424a, UNID 8FD8E55C12D1A9764F03FE20DF203FE7"},
        {"mail item name", "<item name='Fr", 0, "note ID 3424a"},
        {"raw rich text document's noteinfo", "unid='F41F", 1, "at line "},
        {"text in several scripts", "caf\xC3\xA9 ", 2, "note ID ab0, UNID 0123456789ABCDEF0123456789ABCDEF"},
        {"document attribute", "<document form='No", 2, "note ID ab0"},
        {"closing tag of a document", "<item name='Count'><number>3</number></item></document", 2,
         "note ID ab0"},
        {"last document", "<par def='1'>multi", 3, "the document at line "},
    };
    for (const Place& p : places) {
        const qsizetype at = clean.indexOf(p.marker);
        ASSERT_GT(at, 0) << p.what;
        for (const ByteClass& b : byteClasses()) {
            SCOPED_TRACE(std::string(p.what) + ", " + b.name);
            QByteArray damaged = clean;
            damaged.insert(at + p.marker.size(), b.bytes);
            const Listing l = list(files.write(damaged, "damaged.dxl"));
            ASSERT_TRUE(l.opened) << l.error.toStdString();
            ASSERT_EQ(l.problems.size(), 1) << l.problems.join('\n').toStdString();
            EXPECT_TRUE(l.problems[0].contains(p.named)) << l.problems[0].toStdString();
            EXPECT_TRUE(l.problems[0].contains("is not read: damaged.dxl: XML error at line "))
                << l.problems[0].toStdString();
            EXPECT_TRUE(l.problems[0].contains(b.reason)) << l.problems[0].toStdString();
            std::vector<std::string> expected = sound.documents;
            expected.erase(expected.begin() + p.doc);
            EXPECT_EQ(l.documents, expected);
            EXPECT_EQ(l.forms, sound.forms);
        }
    }
}

TEST(DxlDamagedBytes, OutsideTheDocumentsAreAWarningAndEveryDocumentIsRead) {
    REQUIRE_SAMPLES();
    DxlTestFiles files;
    const QByteArray clean = composedDatabase();
    const Listing sound = list(files.write(clean, "clean.dxl"));
    ASSERT_TRUE(sound.opened) << sound.error.toStdString();
    struct Place {
        const char* what;
        QByteArray marker;
        const char* named;
    };
    const std::vector<Place> places = {
        {"database tag", "title='Te", "left out there"},
        {"database information", "<databaseinfo dbid='43",
         "the <databaseinfo> element at line 7 is not read"},
        {"a form's name", "<form name='Virtual", "the form \"Virtual"},
        {"a form's body", "<updatedby><name>CN=Lotus", "the form \"Virtual Server\" at line 12 is not read"},
    };
    for (const Place& p : places) {
        const qsizetype at = clean.indexOf(p.marker);
        ASSERT_GT(at, 0) << p.what;
        for (const ByteClass& b : byteClasses()) {
            SCOPED_TRACE(std::string(p.what) + ", " + b.name);
            QByteArray damaged = clean;
            damaged.insert(at + p.marker.size(), b.bytes);
            const Listing l = list(files.write(damaged, "damaged.dxl"));
            ASSERT_TRUE(l.opened) << l.error.toStdString();
            ASSERT_EQ(l.problems.size(), 1) << l.problems.join('\n').toStdString();
            EXPECT_TRUE(l.problems[0].contains(p.named)) << l.problems[0].toStdString();
            EXPECT_TRUE(l.problems[0].contains(b.reason)) << l.problems[0].toStdString();
            EXPECT_EQ(l.documents, sound.documents);
            const bool formLost = QByteArray(p.what).startsWith("a form");
            EXPECT_EQ(l.forms.size() + (formLost ? 1 : 0), sound.forms.size());
        }
    }
}

// Damage in several documents costs each of them; a single-byte encoding's
// characters above 0x7F are not damage, its NUL bytes are.
TEST(DxlDamagedBytes, SeveralDocumentsAndDeclaredEncodings) {
    using F = DxlTestFiles;
    DxlTestFiles files;
    QByteArray docs;
    for (int i = 1; i <= 6; ++i)
        docs +=
            F::document(QByteArray::number(4 * i, 16), F::textItem("Subject", "n" + QByteArray::number(i)));
    QByteArray damaged = F::database(docs);
    damaged.replace("n2<", QByteArray("n\0<", 3)).replace("n5<", "n\xE9<");
    Listing l = list(files.write(damaged, "two.dxl"));
    ASSERT_TRUE(l.opened) << l.error.toStdString();
    ASSERT_EQ(l.problems.size(), 2) << l.problems.join('\n').toStdString();
    EXPECT_TRUE(l.problems[0].contains("(note ID 8, UNID") && l.problems[0].contains("NUL"))
        << l.problems[0].toStdString();
    EXPECT_TRUE(l.problems[1].contains("(note ID 14, UNID") && l.problems[1].contains("UTF-8"))
        << l.problems[1].toStdString();
    EXPECT_EQ(l.documents.size(), 4u);

    const QByteArray latin =
        "<?xml version='1.0' encoding='ISO-8859-1'?>\n" + damaged.mid(damaged.indexOf('\n') + 1);
    l = list(files.write(latin, "latin.dxl"));
    ASSERT_TRUE(l.opened) << l.error.toStdString();
    ASSERT_EQ(l.problems.size(), 1) << l.problems.join('\n').toStdString();
    EXPECT_TRUE(l.problems[0].contains("(note ID 8, UNID")) << l.problems[0].toStdString();
    ASSERT_EQ(l.documents.size(), 5u);
    EXPECT_NE(l.documents[3].find("n\u00E9"), std::string::npos) << l.documents[3];

    // Every document damaged: nothing to list, the file is refused with the first.
    QByteArray all = F::database(docs);
    all.replace("<text>n", "<text>\xFFn");
    l = list(files.write(all, "all.dxl"));
    EXPECT_FALSE(l.opened);
    EXPECT_TRUE(l.error.contains("all.dxl: XML error at line 5, column 28: the text is not valid UTF-8"))
        << l.error.toStdString();
}
