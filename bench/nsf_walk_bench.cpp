// Walks every note and item of every NSF sample, repeating until at least
// 1 GB of file bytes has been read, and compares the rate with `cat` of the
// same files. Goal: the walk takes at most 2.5 times as long as `cat`. The
// processor times are printed too: on a busy machine they vary less than the
// wall-clock times.
//   nsf_walk_bench [SAMPLES_DIR] [--bytes N] [--attachments]
#include "notes/nsf/NsfDatabase.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>
#include <sys/resource.h>

using namespace nsf;

namespace {

double cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Totals {
    qint64 bytes = 0, notes = 0, items = 0, attachmentBytes = 0, errors = 0;
};

void walk(const QString& path, bool attachments, Totals& t) {
    QString e;
    auto file = NsfFile::open(path, e);
    if (!file) {
        ++t.errors;
        return;
    }
    t.bytes += qint64(file->size());
    store::StoreError se;
    auto db = NsfDatabase::open(std::move(file), se);
    if (!db) {
        ++t.errors;
        return;
    }
    for (const RrvMap::Entry& entry : db->rrv().entries()) {
        store::StoreNote note;
        if (!db->loadNote(entry.id, note).ok()) continue;
        ++t.notes;
        t.items += qint64(note.items.size());
        if (!attachments) continue;
        for (const auto& a : note.attachments)
            if (a.decodable)
                db->extractAttachment(note.noteId, a.key, [&](const char*, size_t n) {
                    t.attachmentBytes += qint64(n);
                    return true;
                });
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString dir = QStringLiteral(TESSELDOC_SHARED_DIR "/nsf-samples");
    qint64 target = qint64(1) << 30;
    bool attachments = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--bytes") && i + 1 < args.size()) target = args[++i].toLongLong();
        else if (args[i] == QLatin1String("--attachments")) attachments = true;
        else dir = args[i];
    }
    QStringList files;
    QDirIterator it(dir, {QStringLiteral("*.nsf"), QStringLiteral("*.ntf")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next();
    files.sort();
    if (files.isEmpty()) {
        std::fprintf(stderr, "nsf_walk_bench: no .nsf files under %s\n", qPrintable(dir));
        return 1;
    }
    // Warm the page cache so that both runs read from memory.
    QStringList warm = {QStringLiteral("-c"), QStringLiteral("cat \"$@\" > /dev/null"), QStringLiteral("sh")};
    warm += files;
    QProcess::execute(QStringLiteral("sh"), warm);

    Totals t;
    int passes = 0;
    QElapsedTimer timer;
    const double walkCpu0 = cpuSeconds(RUSAGE_SELF);
    timer.start();
    while (t.bytes < target) {
        for (const QString& f : files) walk(f, attachments, t);
        ++passes;
    }
    const double walkSeconds = timer.nsecsElapsed() / 1e9;
    const double walkCpu = cpuSeconds(RUSAGE_SELF) - walkCpu0;
    const double catCpu0 = cpuSeconds(RUSAGE_CHILDREN);

    QStringList catArgs = {QStringLiteral("-c"),
                           QStringLiteral("n=$1; shift; i=0; while [ $i -lt $n ]; do cat \"$@\"; i=$((i+1)); done > /dev/null"),
                           QStringLiteral("sh"), QString::number(passes)};
    catArgs += files;
    timer.restart();
    QProcess::execute(QStringLiteral("sh"), catArgs);
    const double catSeconds = timer.nsecsElapsed() / 1e9;
    const double catCpu = cpuSeconds(RUSAGE_CHILDREN) - catCpu0;

    const double mb = double(t.bytes) / 1e6;
    std::printf("files: %d, passes: %d, file bytes read: %lld (%.1f MB)\n", int(files.size()), passes,
                static_cast<long long>(t.bytes), mb);
    std::printf("notes: %lld, items: %lld, attachment bytes: %lld, unreadable files: %lld\n",
                static_cast<long long>(t.notes), static_cast<long long>(t.items),
                static_cast<long long>(t.attachmentBytes), static_cast<long long>(t.errors));
    std::printf("walk: %.3f s, %.1f MB/s (%.3f s CPU)\n", walkSeconds, mb / walkSeconds, walkCpu);
    std::printf("cat:  %.3f s, %.1f MB/s (%.3f s CPU)\n", catSeconds, mb / catSeconds, catCpu);
    std::printf("walk time / cat time: %.2f (CPU: %.2f); goal: at most 2.50 -> %s\n", walkSeconds / catSeconds,
                catCpu > 0 ? walkCpu / catCpu : 0.0, walkSeconds / catSeconds <= 2.5 ? "met" : "not met");
    return 0;
}
