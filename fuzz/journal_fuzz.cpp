// libFuzzer target: any bytes as the lines of a run journal, each line signed
// with the destination's key so that the records reach the reader (unsigned
// lines are dropped before it): the parser, the summary, the completeness
// check and the undo of unfinished items, all inside a scratch destination.
#include "export/RunJournal.h"

#include <QByteArray>
#include <QFile>
#include <QMessageAuthenticationCode>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dest;
    static const QByteArray key = QByteArray(64, 'k');
    static const bool keyWritten = [] {
        QFile f(dest.filePath(RunJournal::keyFileName()));
        return f.open(QIODevice::WriteOnly) && f.write(key + '\n') > 0 &&
               f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }();
    if (!keyWritten) return 0;
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QByteArray signedLines;
    for (const QByteArray& line : input.split('\n')) {
        if (line.isEmpty()) continue;
        signedLines += line + '\t' +
                       QMessageAuthenticationCode::hash(line, key, QCryptographicHash::Sha256).toHex() + '\n';
    }
    const QString path = dest.filePath(QStringLiteral(".tesseldoc-journal"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(signedLines);
    }
    RunJournal journal;
    if (!journal.load(path, nullptr)) return 0;
    RunJournal::Summary summary;
    journal.summarize(summary);
    for (const RunJournal::Summary::Failure& f : summary.failures)
        if (const std::optional<JournalWritten> w = journal.written(f.key)) {
            (void)journal.isPresent(*w);
            journal.removeOutput(*w);
        }
    (void)journal.undoUnfinished();
    return 0;
}
