// Peak memory with one large attachment in a Notes XML file: generates a DXL
// database (in a temporary directory, removed at the end) holding a folder and
// a mail with one attachment of 200 MB (or the size in MB given as the first
// argument), then runs the passes of the program each in a child process and
// prints each one's peak resident memory: "folders" (open, index, list the
// folders with their entry counts), "items" (the folder's item rows),
// "header" (one document's header text) and "detach" (the attachment written
// out). The goal: no pass above 100 MB, whatever the attachment's size.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

#include "convert/CNotesConverter.h"
#include "items/ItemRecordReaders.h"
#include "notes/store/NoteStore.h"

namespace {

long peakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;  // kilobytes on Linux
}

const char* const kUnid = "0123456789ABCDEF0123456789ABCDEF";

// The attachment's bytes: a repeating pattern of every byte value, base64 in
// lines of 76 characters as Notes writes it.
bool generate(const QString& path, qint64 attachmentBytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write("<?xml version='1.0' encoding='utf-8'?>\n<database xmlns='http://www.lotus.com/dxl' title='bench'>\n");
    f.write(QByteArray("<folder name='($Inbox)'><noteinfo noteid='100' unid='") + kUnid + "'/></folder>\n");
    f.write(QByteArray("<document form='Memo'><noteinfo noteid='8f6' unid='AAAA0000AAAA0000AAAA0000AAAA0000'/>\n"
                       "<item name='$FolderRefs'><text>") +
            kUnid +
            "</text></item>\n<item name='Subject'><text>One large attachment</text></item>\n"
            "<item name='From'><text>CN=Ann Lee/O=Acme</text></item>\n"
            "<item name='SendTo'><text>bob@example.com</text></item>\n"
            "<item name='PostedDate'><datetime>20140808T131833,00-04</datetime></item>\n"
            "<item name='Body'><richtext><par>See the attachment.</par></richtext></item>\n"
            "<item name='$FILE'><object><file hosttype='msdos' compression='none' name='big.bin' size='" +
            QByteArray::number(attachmentBytes) + "'><filedata>\n");
    QByteArray raw(57 * 1024, '\0');
    for (int i = 0; i < raw.size(); ++i) raw[i] = char(i * 7 % 256);
    qint64 left = attachmentBytes;
    QByteArray out;
    while (left > 0) {
        const QByteArray part = raw.left(int(std::min<qint64>(left, raw.size())));
        left -= part.size();
        const QByteArray b64 = part.toBase64();
        out.clear();
        for (int at = 0; at < b64.size(); at += 76) out += b64.mid(at, 76) + '\n';
        if (f.write(out) != out.size()) return false;
    }
    f.write("</filedata></file></object></item>\n</document>\n</database>\n");
    return f.error() == QFile::NoError;
}

// Runs `pass` in a child process; returns its peak memory in kB (-1: failed).
long inChild(const std::function<bool()>& pass, double& seconds) {
    QElapsedTimer timer;
    timer.start();
    int fds[2];
    if (pipe(fds) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        long peak = pass() ? peakKb() : -1;
        if (write(fds[1], &peak, sizeof peak) != sizeof peak) _exit(2);
        _exit(0);
    }
    close(fds[1]);
    long peak = -1;
    if (read(fds[0], &peak, sizeof peak) != sizeof peak) peak = -1;
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    seconds = double(timer.elapsed()) / 1000.0;
    return peak;
}

bool openConverter(CNotesConverter& conv, const QString& path, QStringList& folders) {
    if (!conv.Initialize()) return false;
    if (!conv.EnumerateFolders(path, QString(), folders, 1)) {
        std::fprintf(stderr, "cannot open: %s\n", qPrintable(conv.GetLastErrorText()));
        return false;
    }
    return true;
}

struct NoRows : IItemList {
    int rows = 0;
    int addRow(int, const QString&) override { return rows++; }
    void setColumn(int, int, const QString&) override {}
    void setRowNoteId(int, quint32) override {}
};

}  // namespace

int main(int argc, char** argv) {
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 200;
    QTemporaryDir dir;
    if (!dir.isValid()) return 1;
    const QString path = dir.filePath(QStringLiteral("large-attachment.dxl"));
    QElapsedTimer timer;
    timer.start();
    if (!generate(path, megabytes * 1024 * 1024)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("generated %s: %lld MB attachment, %.0f MB file, %.1f s\n", qPrintable(path),
                static_cast<long long>(megabytes), double(QFileInfo(path).size()) / 1048576.0,
                double(timer.elapsed()) / 1000.0);
    std::printf("baseline (this process before any pass): %ld MB\n", peakKb() / 1024);

    struct Pass {
        const char* name;
        std::function<bool()> run;
    };
    const Pass passes[] = {
        {"folders",
         [&] {
             CNotesConverter conv;
             QStringList folders;
             if (!openConverter(conv, path, folders)) return false;
             for (QString f : folders) {
                 f.chop(1);
                 LNViewFolder folder;
                 conv.database().GetViewFolder(CNotesConverter::WideToLNString(f), &folder);
                 folder.Open(0);
                 folder.GetEntryCount();
                 folder.Close();
             }
             return folders.size() == 1;
         }},
        {"items",
         [&] {
             CNotesConverter conv;
             QStringList folders;
             if (!openConverter(conv, path, folders)) return false;
             NoRows rows;
             conv.OpenFolder(&rows, folders.value(0));
             return rows.rows == 1;
         }},
        {"header",
         [&] {
             CNotesConverter conv;
             QStringList folders;
             if (!openConverter(conv, path, folders)) return false;
             LNDocument document;
             conv.database().GetDocument(0x8f6, &document);
             document.Open(0);
             const QString header = ReadMailRecord(document).BuildHeaderText();
             document.Close();
             return header.contains(QLatin1String("big.bin"));
         }},
        {"detach",
         [&] {
             store::StoreError e;
             auto s = store::openStore(path, QString(), e);
             if (!s) return false;
             store::StoreNote note;
             if (!s->loadNote(0x8f6, note).ok() || note.attachments.size() != 1) return false;
             const QString target = dir.filePath(QStringLiteral("big.bin"));
             const bool ok = s->detachAttachment(0x8f6, note.attachments.front(), target).ok() &&
                             QFileInfo(target).size() == megabytes * 1024 * 1024;
             QFile::remove(target);
             return ok;
         }},
    };
    int over = 0;
    for (const Pass& p : passes) {
        double seconds = 0;
        const long kb = inChild(p.run, seconds);
        if (kb < 0) {
            std::printf("%-8s FAILED\n", p.name);
            ++over;
            continue;
        }
        std::printf("%-8s peak %4ld MB  (%.1f s)%s\n", p.name, kb / 1024, seconds, kb > 100 * 1024 ? "  over 100 MB" : "");
        if (kb > 100 * 1024) ++over;
    }
    QFile::remove(path);
    std::printf("%s\n", over == 0 ? "every pass under 100 MB" : "some passes over 100 MB or failed");
    return over == 0 ? 0 : 1;
}
