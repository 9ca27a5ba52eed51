// Speed of the RTF writer (both qualities) and of the reader (RTF to HTML) on a
// generated body. `bench_rtf [paragraphs] [--samples DIR]` also writes the
// best and low quality files of a small sample body into DIR for a look in a
// word processor.

#include "richtext/RichTextModel.h"
#include "rtf/RtfReader.h"
#include "rtf/RichTextHtmlWriter.h"
#include "rtf/RtfWriter.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>

#include <cstdio>

using namespace store;

namespace {

RtRun text(const QString& s, RtFont f = {}) {
    RtRun r;
    r.text = s;
    r.font = f;
    return r;
}

// An 8x6 PNG made here so the benchmark needs no data files.
QByteArray smallPng() {
    return QByteArray::fromHex(
        "89504e470d0a1a0a0000000d4948445200000008000000060802000000716748ac0000006049444154789c15cc3111003108"
        "05d12841499450236245505323e28ba046d1e5b67d337bce60c31d7c60a841c30ee7081357b8409490583d68acb98d3734d5"
        "a8d97e905872134f482a51b2f9000c2e387ff5ff581e0416dcc003820a146cf001514946512e6537b00000000049454e44ae426082");
}

RichTextDoc makeDoc(int paragraphs) {
    RichTextDoc doc;
    RtFont bold;
    bold.bold = true;
    bold.sizePt = 14;
    bold.face = QStringLiteral("Times New Roman");
    bold.hasColor = true;
    bold.rgb = 0x1F4E79;
    RtFont italic;
    italic.italic = true;
    italic.underline = true;
    for (int i = 0; i < paragraphs; ++i) {
        RtBlock b;
        if (i % 50 == 0) {
            b.style.align = RtAlign::Center;
            b.runs.push_back(text(QStringLiteral("Section %1").arg(i / 50 + 1), bold));
        } else if (i % 50 == 25) {
            auto t = std::make_shared<RtTable>();
            for (int r = 0; r < 4; ++r) {
                RtTableRow row;
                for (int c = 0; c < 3; ++c) {
                    RtTableCell cell;
                    RtBlock cb;
                    cb.runs.push_back(text(QStringLiteral("Zelle %1/%2 Größe").arg(r).arg(c)));
                    cell.blocks.push_back(cb);
                    if (r == 0) cell.hasBackground = true, cell.backgroundRgb = 0xDDEBF7;
                    row.cells.push_back(cell);
                }
                t->rows.push_back(row);
            }
            b.table = t;
        } else {
            b.style.leftIndent = (i % 7 == 0) ? 720 : 0;
            b.style.bullet = i % 11 == 0;
            b.runs.push_back(text(QStringLiteral("Paragraph %1 with plain text, ").arg(i)));
            b.runs.push_back(text(QStringLiteral("some emphasis"), italic));
            RtRun tab;
            tab.kind = RtRun::Kind::Tab;
            b.runs.push_back(tab);
            b.runs.push_back(text(QStringLiteral("and Grüße Ωμέγα 日本語 \U0001F600 to keep the escaper busy.")));
            if (i % 40 == 3) {
                RtRun pic;
                pic.kind = RtRun::Kind::Picture;
                pic.picture.data = smallPng();
                pic.picture.format = QStringLiteral("png");
                pic.picture.widthPx = 80;
                pic.picture.heightPx = 60;
                b.runs.push_back(pic);
            }
            if (i % 40 == 5) {
                RtRun att;
                att.kind = RtRun::Kind::AttachmentRef;
                att.text = QStringLiteral("report-%1.pdf").arg(i);
                b.runs.push_back(att);
            }
        }
        doc.blocks.push_back(b);
    }
    return doc;
}

double mbPerSecond(qint64 bytes, qint64 ns) { return ns > 0 ? (bytes / 1e6) / (ns / 1e9) : 0; }

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    int paragraphs = 20000;
    QString samples;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--samples") && i + 1 < args.size()) samples = args[++i];
        else paragraphs = std::max(1, args[i].toInt());
    }

    if (!samples.isEmpty()) {
        const RichTextDoc small = makeDoc(60);
        for (auto [q, name] : {std::pair{rtf::RtfQuality::Best, "sample-best.rtf"},
                               std::pair{rtf::RtfQuality::Low, "sample-low.rtf"}}) {
            QFile f(samples + QLatin1Char('/') + QLatin1String(name));
            if (f.open(QIODevice::WriteOnly)) f.write(rtf::RtfWriter(q).write(small));
        }
        std::printf("samples written to %s\n", qPrintable(samples));
    }

    const RichTextDoc doc = makeDoc(paragraphs);
    const qsizetype chars = doc.plainText().size();
    std::printf("body: %d blocks, %lld characters of text\n", int(doc.blocks.size()), (long long)chars);
    for (auto [q, name] : {std::pair{rtf::RtfQuality::Low, "low"}, std::pair{rtf::RtfQuality::Best, "best"}}) {
        QElapsedTimer t;
        t.start();
        const QByteArray rtf = rtf::RtfWriter(q).write(doc);
        const qint64 writeNs = t.nsecsElapsed();
        t.restart();
        rtf::RtfReader reader;
        const RichTextDoc back = reader.read(rtf);
        const qint64 readNs = t.nsecsElapsed();
        t.restart();
        const QString html = rtf::RichTextHtmlWriter::toHtml(back);
        const qint64 htmlNs = t.nsecsElapsed();
        std::printf("%-4s write: %7.1f ms, %8lld bytes of RTF (%6.1f MB/s) | read: %7.1f ms (%6.1f MB/s) | html: %7.1f ms, "
                    "%lld chars | text kept: %s\n",
                    name, writeNs / 1e6, (long long)rtf.size(), mbPerSecond(rtf.size(), writeNs), readNs / 1e6,
                    mbPerSecond(rtf.size(), readNs), htmlNs / 1e6, (long long)html.size(),
                    back.plainText().size() >= chars ? "yes" : "NO");
    }
    return 0;
}
