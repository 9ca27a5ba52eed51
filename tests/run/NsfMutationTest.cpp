// Mutated NSF files (bit flips, changed length fields, zeroed pages, cut
// files; fixed seeds) through a run as `convert` does it: no run ends with
// nothing written and nothing named, and every document of the intact file is
// written, named as failed or left behind, or covered by a named problem of
// the database; a document whose header cannot be read is a failure of its own.
#include "FakeExporter.h"

#include "convert/CFolderExportRun.h"
#include "convert/CNotesConverter.h"
#include "notes/store/NoteStore.h"

#include <QFile>
#include <QMap>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

QString samplePath(const char* relative) {
    return QStringLiteral(TESSELDOC_SHARED_DIR "/nsf-samples/") + QString::fromLatin1(relative);
}

struct RunResult {
    bool refused = false;
    QStringList problems;          // damage named while listing (database, chosen folders, item lists)
    int written = 0, failed = 0, notConverted = 0, leftBehind = 0;
    QSet<uint32_t> named;          // notes named in a failure or a field failure
    QSet<uint32_t> headerDamaged;  // documents whose header cannot be read whole
    QMap<uint32_t, QString> why;    // what reading them said
};

// A run of the default folders (or of every document) into `destination`,
// with the office replaced.
RunResult convert(const QString& path, const std::vector<uint32_t>& documents, const QString& destination,
                  bool everyDocument) {
    RunResult r;
    CNotesConverter conv;
    conv.listEveryDocument = true;
    QStringList listed;
    if (!conv.Initialize() || !conv.EnumerateFolders(path, QString(), listed, 1)) {
        r.refused = true;
        return r;
    }
    QString why;
    const QStringList folders =
        everyDocument ? QStringList{conv.EveryDocumentFolder()} : conv.DefaultExportFolders(listed, &why);
    r.problems = conv.databaseProblems() + conv.ChosenFolderProblems(folders);
    r.leftBehind = conv.CoverageOf(folders).leftBehind();
    for (uint32_t id : documents) {
        LNDocument document;
        try {
            conv.database().GetDocument(id, &document);
            document.Open(0);
        } catch (LNSTATUS status) {
            r.headerDamaged.insert(id);
            r.why.insert(id, CNotesConverter::ErrorTextFor(status));
            continue;
        }
        if (!CNotesConverter::UnreadableItems(document).isEmpty()) {
            r.headerDamaged.insert(id);
            r.why.insert(id, CNotesConverter::UnreadableItems(document).join(", "));
        }
        document.Close();
    }
    FakeExporter exporter;
    exporter.SetRootFolder(destination);
    CFolderExportRun run;
    run.converter = &conv;
    run.exporter = &exporter;
    for (const QString& f : folders) {
        run.SaveFolder(f);
        r.problems += conv.itemListProblems();
    }
    r.written = conv.exportReport.written();
    r.failed = conv.exportReport.failedCount();
    r.notConverted = conv.exportReport.notConvertedCount();
    for (const ExportFailure& f : conv.exportReport.failures()) r.named.insert(f.noteId);
    for (const ExportFailure& f : conv.exportReport.fieldFailures()) r.named.insert(f.noteId);
    return r;
}

enum class Mutation { BitFlip, LengthField, ZeroedPage, Cut };

QByteArray mutate(const QByteArray& intact, Mutation kind, std::mt19937& random) {
    QByteArray bytes = intact;
    const auto at = [&](qsizetype from, qsizetype to) {
        return qsizetype(std::uniform_int_distribution<qint64>(from, to - 1)(random));
    };
    switch (kind) {
    case Mutation::BitFlip: {
        const qsizetype i = at(0, bytes.size());
        bytes[i] = char(bytes[i] ^ (1 << (random() % 8)));
        break;
    }
    case Mutation::LengthField: {
        // A 16-bit little-endian word made larger, as a damaged length would be.
        const qsizetype i = at(0, bytes.size() / 2) * 2;
        const quint16 value = quint16(uchar(bytes[i]) | uchar(bytes[i + 1]) << 8);
        const quint16 changed = quint16(value + 1 + random() % 0x7FFF);
        bytes[i] = char(changed & 0xFF);
        bytes[i + 1] = char(changed >> 8);
        break;
    }
    case Mutation::ZeroedPage: {
        const qsizetype page = at(0, (bytes.size() + 4095) / 4096);
        std::fill(bytes.begin() + page * 4096, bytes.begin() + std::min(page * 4096 + 4096, bytes.size()), '\0');
        break;
    }
    case Mutation::Cut: bytes.truncate(at(bytes.size() / 4, bytes.size())); break;
    }
    return bytes;
}

void checkMutations(const char* relative, int perKind, unsigned seed) {
    QFile in(samplePath(relative));
    if (!in.open(QIODevice::ReadOnly)) GTEST_SKIP() << "sample absent: " << relative;
    const QByteArray intact = in.readAll();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::vector<uint32_t> documents;
    {
        store::StoreError e;
        auto s = store::openStore(samplePath(relative), QString(), e);
        ASSERT_TRUE(s) << e.message().toStdString();
        documents = s->allDocumentIds();
    }
    for (bool everyDocument : {false, true}) {
        const RunResult reference = convert(samplePath(relative), documents, dir.filePath("ref"), everyDocument);
        ASSERT_EQ(reference.written + reference.leftBehind, int(documents.size()));
        ASSERT_TRUE(reference.problems.isEmpty());
    }

    std::mt19937 random(seed);
    int unchanged = 0, named = 0;
    QStringList silent;
    const char* kinds[] = {"bit flip", "length field", "zeroed page", "cut"};
    for (int k = 0; k < 4; ++k) {
        for (int n = 0; n < perKind; ++n) {
            const QByteArray damaged = mutate(intact, Mutation(k), random);
            const QString path = dir.filePath(QStringLiteral("m%1-%2.nsf").arg(k).arg(n));
            {
                QFile out(path);
                ASSERT_TRUE(out.open(QIODevice::WriteOnly));
                out.write(damaged);
            }
            QStringList faults;
            bool anyNamed = false;
            for (bool everyDocument : {false, true}) {
            const RunResult r = convert(path, documents, dir.filePath(QStringLiteral("out%1-%2-%3").arg(k).arg(n).arg(everyDocument)),
                                        everyDocument);
            if (!r.refused) {
                if (r.written == 0 && r.leftBehind < int(documents.size()) && r.problems.isEmpty() && r.failed == 0)
                    faults << "nothing written and nothing named";
                const int accounted = r.written + r.failed + r.notConverted + r.leftBehind;
                if (accounted < int(documents.size()) && r.problems.isEmpty())
                    faults << QStringLiteral("%1 of %2 documents neither written nor named")
                                  .arg(int(documents.size()) - accounted)
                                  .arg(documents.size());
                for (uint32_t id : r.headerDamaged)
                    if (everyDocument && !r.named.contains(id) && r.problems.isEmpty())
                        faults << QStringLiteral("note %1's damage is not named (%2)").arg(id, 0, 16).arg(r.why.value(id));
            }
            if (r.refused || !r.problems.isEmpty() || r.failed > 0) anyNamed = true;
            }
            QFile::remove(path);
            if (!faults.isEmpty())
                silent << QStringLiteral("%1 #%2: %3").arg(QString::fromLatin1(kinds[k])).arg(n).arg(faults.join("; "));
            else if (anyNamed)
                ++named;
            else
                ++unchanged;
        }
    }
    std::printf("%s: %d runs whole, %d with a named loss, %lld silent\n", relative, unchanged, named,
                static_cast<long long>(silent.size()));
    EXPECT_TRUE(silent.isEmpty()) << silent.join('\n').toStdString();
}

}  // namespace

TEST(NsfMutation, MimeMailSample) { checkMutations("domino-c-api-samples/notedata_MIMEMsg.nsf", 30, 1); }
TEST(NsfMutation, SampleWithAttachmentsAndViews) { checkMutations("domino-c-api-samples/notedata_ftsearch.nsf", 30, 2); }
TEST(NsfMutation, SampleWithAFolder) { checkMutations("domino-jnx/sample.nsf", 30, 3); }
TEST(NsfMutation, Release4Sample) { checkMutations("notes-r4/linkdemo.nsf", 30, 4); }
