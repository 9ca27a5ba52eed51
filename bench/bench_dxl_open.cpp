// Generates a Notes XML database of 100,000 small documents (or the count
// given as the first argument), then opens it and lists its folders the way
// the program does, and prints the time taken and the peak memory. Goal for
// 200,000 documents: listed in at most 3.5 s with at most 40 MB.
#include <sys/resource.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

#include "convert/CNotesConverter.h"
#include "notes/dxl/DxlStore.h"

namespace {

long peakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;  // kilobytes on Linux
}

// Processor time used so far (user + system), in seconds: wall time varies
// with the load of the machine.
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QByteArray unid(int n) {
    return QByteArray::number(0x10000000 + n, 16).toUpper().rightJustified(32, '0');
}

bool generate(const QString& path, int count) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(
        "<?xml version='1.0' encoding='utf-8'?>\n<database xmlns='http://www.lotus.com/dxl' "
        "title='bench'>\n");
    const char* folders[] = {"($Inbox)", "Projects\\2012", "Projects\\2013", "($Trash)"};
    for (int i = 0; i < 4; ++i)
        f.write("<folder name='" + QByteArray(folders[i]) + "'><noteinfo noteid='" +
                QByteArray::number(0x100 + 4 * i, 16) + "' unid='F" + unid(i).mid(1) +
                "'/><column itemname='PostedDate' sort='descending'/></folder>\n");
    f.write("<view name='($Sent)'><noteinfo noteid='200' unid='E" + unid(1).mid(1) +
            "'/><code event='selection'><formula>SELECT Form = \"Memo\" &amp; "
            "@IsUnavailable(DeliveredDate)</formula>"
            "</code><column itemname='PostedDate' sort='descending'/></view>\n");
    f.write("<view name='($All)'><noteinfo noteid='204' unid='E" + unid(2).mid(1) +
            "'/><code event='selection'><formula>SELECT @All</formula></code>"
            "<column itemname='Subject' sort='ascending'/></view>\n");
    f.write("<view name='My Contacts'><noteinfo noteid='208' unid='E" + unid(3).mid(1) +
            "'/><code event='selection'><formula>SELECT Form = \"Person\"</formula></code>"
            "<column itemname='LastName' sort='ascending'/></view>\n");
    QByteArray buf;
    for (int n = 0; n < count; ++n) {
        const QByteArray id = QByteArray::number(0x1000 + 4 * n, 16);
        const QByteArray day = QByteArray::number(1 + n % 28).rightJustified(2, '0');
        const QByteArray month = QByteArray::number(1 + n % 12).rightJustified(2, '0');
        buf += "<document form='Memo'><noteinfo noteid='" + id + "' unid='" + unid(n + 100) +
               "'/>\n<item name='Subject'><text>Message number " + QByteArray::number(n) +
               "</text></item>\n<item name='From'><text>CN=Sender " + QByteArray::number(n % 97) +
               "/O=Acme</text></item>\n<item name='SendTo'><textlist><text>CN=Ann "
               "Lee/O=Acme</text><text>bob@example.com"
               "</text></textlist></item>\n<item name='PostedDate'><datetime>2012" +
               month + day + "T1030" + QByteArray::number(10 + n % 50) + ",00+01</datetime></item>\n";
        if (n % 3 == 0)
            buf += "<item name='DeliveredDate'><datetime>2012" + month + day +
                   "T110000,00+01</datetime></item>\n";
        buf += "<item name='$FolderRefs'><text>F" + unid(n % 4).mid(1) +
               "</text></item>\n<item name='Body'><richtext><pardef id='1'/><par def='1'>Hello, this is body "
               "text of "
               "message " +
               QByteArray::number(n) + ".</par></richtext></item>\n</document>\n";
        if (buf.size() > (1 << 20)) {
            f.write(buf);
            buf.clear();
        }
    }
    f.write(buf);
    f.write("</database>\n");
    return f.error() == QFile::NoError;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const QString path = dir.filePath("bench.dxl");
    QElapsedTimer timer;
    timer.start();
    if (!generate(path, count)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("generated %d documents, %.1f MB, in %.2f s; peak memory %ld KB\n", count,
                double(QFileInfo(path).size()) / 1e6, double(timer.elapsed()) / 1000.0, peakKb());

    CNotesConverter converter;
    converter.Initialize();
    QStringList names;
    timer.restart();
    double cpu = cpuSeconds();
    if (!converter.EnumerateFolders(path, QString(), names, 1)) {
        std::fprintf(stderr, "open failed: %s\n", qPrintable(converter.GetLastErrorText()));
        return 1;
    }
    const double openSeconds = double(timer.elapsed()) / 1000.0;
    const double openCpu = cpuSeconds() - cpu;
    std::printf("opened and listed %lld folders and views in %.2f s (%.2f s CPU); peak memory %ld KB\n",
                static_cast<long long>(names.size()), openSeconds, openCpu, peakKb());
    if (count == 200000)
        std::printf("goal: at most 3.5 s and 40 MB -> time %s (%s on CPU), memory %s\n",
                    openSeconds <= 3.5 ? "met" : "not met", openCpu <= 3.5 ? "met" : "not met",
                    peakKb() <= 40 * 1024 ? "met" : "not met");

    timer.restart();
    qint64 entries = 0;
    for (const QString& name : names) {
        LNViewFolder folder;
        converter.database().GetViewFolder(CNotesConverter::WideToLNString(name.chopped(1)), &folder);
        folder.Open(0);
        entries += folder.GetEntryCount();
        std::printf("  %-16s %d\n", qPrintable(name), int(folder.GetEntryCount()));
        folder.Close();
    }
    std::printf("opened every listed folder (%lld entries) in %.2f s; peak memory %ld KB\n",
                static_cast<long long>(entries), double(timer.elapsed()) / 1000.0, peakKb());

    timer.restart();
    cpu = cpuSeconds();
    LNViewFolder all;
    converter.database().GetViewFolder("($All)", &all);
    all.Open(0);
    const int n = int(all.GetEntryCount());
    qint64 bytes = 0;
    for (int i = 0; i < n; ++i) {
        LNDocument doc;
        all[i].GetDocument(&doc);
        doc.Open(0);
        bytes += doc.GetSize();
        doc.Close();
    }
    std::printf("opened all %d documents (%.1f MB of XML) in %.2f s (%.2f s CPU); peak memory %ld KB\n", n,
                double(bytes) / 1e6, double(timer.elapsed()) / 1000.0, cpuSeconds() - cpu, peakKb());
    return 0;
}
