// Writes the same N small items (default 500; half RTF, half plain text
// bodies, each with a four-row header table) once per output format through
// one office instance each, and prints documents per second, the median time
// per document and the output's size for .doc, .docx and archival PDF.
//
//   bench_output_formats [items]
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "export/HeaderTemplates.h"
#include "office/CWordExporter.h"

namespace {

QByteArray rtfBody(int i) {
    return QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\froman Times New Roman;}}\\f0\\fs24 ") + "Message " +
           QByteArray::number(i) + " of the benchmark, with {\\b bold} and {\\i italic} words.\\par " +
           "A second paragraph that carries a little more text, as small mails do.\\par Regards,\\par Ann\\par}";
}

QByteArray textBody(int i) {
    const QString text = QStringLiteral("Plain message %1.\r\nGrüße, Ωμέγα.\r\nSecond line.\r\n").arg(i);
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

qint64 bytesUnder(const QString& root) {
    qint64 total = 0;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) total += QFileInfo(it.next()).size();
    return total;
}

QString loadAverage() {
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()).section(QLatin1Char(' '), 0, 0) : QString();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int items = argc > 1 ? std::max(1, atoi(argv[1])) : 500;
    QTemporaryDir dir;
    QStringList bodies;
    for (int i = 0; i < items; ++i) {
        const bool rtf = i % 2 == 0;
        const QString path = dir.filePath(QStringLiteral("item%1.%2").arg(i).arg(rtf ? "rtf" : "txt"));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(rtf ? rtfBody(i) : textBody(i)) < 0) return 1;
        bodies << path;
    }
    const QString block =
        QStringLiteral("Email Item \r\nSubject:Benchmark item \r\nMailDate:08/08/2014 13:18:33 \r\n"
                       "From:Ann Example \r\nSendTo:Bob Example \r\n");

    std::printf("%d items per format, load average at start %s\n", items, qPrintable(loadAverage()));
    std::printf("%-6s %10s %14s %12s %12s\n", "format", "docs/s", "median ms/doc", "total s", "output MB");
    for (OutputFormat format : {OutputFormat::Doc, OutputFormat::Docx, OutputFormat::Pdf}) {
        const QString root = dir.filePath(QStringLiteral("out-") + OutputFormats::word(format));
        QDir().mkpath(root);
        CWordExporter exporter;
        exporter.SetRootFolder(root);
        exporter.SetOutputOptions({format, false});
        if (!exporter.StartWord()) {
            std::fprintf(stderr, "the office cannot be started: %s\n", qPrintable(exporter.LastFailure()));
            return 1;
        }
        exporter.SetOutputFolder(QStringLiteral("Inbox/"));
        std::vector<double> perDocument;
        int failed = 0;
        QElapsedTimer total;
        total.start();
        for (int i = 0; i < items; ++i) {
            QElapsedTimer one;
            one.start();
            exporter.SetHeaderInputs({}, {}, {}, {}, block);
            exporter.SetTemplate(LoadRtfTemplate(TemplateIdForRows(exporter.CountHeaderLabels(block))));
            if (!exporter.ExportItem(bodies[i], QStringLiteral("Benchmark item %1").arg(i))) ++failed;
            perDocument.push_back(double(one.nsecsElapsed()) / 1e6);
        }
        const double seconds = double(total.nsecsElapsed()) / 1e9;
        exporter.ShutdownWord();
        std::printf("%-6s %10.1f %14.1f %12.1f %12.2f%s\n", qPrintable(OutputFormats::word(format)),
                    double(items - failed) / seconds, median(perDocument), seconds,
                    double(bytesUnder(root)) / (1024.0 * 1024.0),
                    failed ? qPrintable(QStringLiteral("  (%1 failed)").arg(failed)) : "");
        std::fflush(stdout);
    }
    return 0;
}
