#include "WordDocTestSupport.h"

#include "richtext/PictureToPng.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace wdtest {

store::RtRun text(const QString& s, const std::function<void(store::RtFont&)>& format) {
    store::RtRun r;
    r.text = s;
    if (format) format(r.font);
    return r;
}

store::RtRun picture(const QByteArray& data, const QString& format, int widthPx, int heightPx) {
    store::RtRun r;
    r.kind = store::RtRun::Kind::Picture;
    r.picture.data = data;
    r.picture.format = format;
    r.picture.widthPx = widthPx;
    r.picture.heightPx = heightPx;
    return r;
}

store::RtRun link(const QString& shown, const QString& target) {
    store::RtRun r;
    r.kind = store::RtRun::Kind::Url;
    r.text = shown;
    r.target = target;
    return r;
}

store::RtBlock para(std::vector<store::RtRun> runs, const store::RtParagraphStyle& style) {
    store::RtBlock b;
    b.runs = std::move(runs);
    b.style = style;
    return b;
}

store::RtBlock para(const QString& s) { return para({text(s)}); }

store::RtTableCell cell(const QString& s, int widthTwips) {
    store::RtTableCell c;
    c.blocks.push_back(para(s));
    c.widthTwips = widthTwips;
    return c;
}

QByteArray testData(const QString& name) {
    QFile f(QStringLiteral(TESSELDOC_TEST_DATA "/worddoc/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray pngOf(int width, int height, unsigned rgb) {
    QByteArray pixels;
    for (int i = 0; i < width * height; ++i) {
        pixels += char((rgb >> 16) & 0xFF);
        pixels += char((rgb >> 8) & 0xFF);
        pixels += char(rgb & 0xFF);
    }
    return rtf::PictureToPng::encodePng(width, height, 2, pixels);
}

namespace {

uint32_t u32(const QByteArray& b, qsizetype at) {
    if (at < 0 || at + 4 > b.size()) return 0xFFFFFFFF;
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}
unsigned u16(const QByteArray& b, qsizetype at) { return uint8_t(b[at]) | unsigned(uint8_t(b[at + 1])) << 8; }

}  // namespace

QMap<QString, QByteArray> readCompoundFile(const QByteArray& file, QString* error) {
    auto fail = [error](const QString& why) {
        *error = why;
        return QMap<QString, QByteArray>{};
    };
    if (file.size() < 512 || file.size() % 512 || !file.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return fail(QStringLiteral("not a compound file of whole sectors"));
    if (u16(file, 0x1A) != 3 || u16(file, 0x1E) != 9 || u16(file, 0x20) != 6)
        return fail(QStringLiteral("not version 3 with 512-byte sectors"));
    const qsizetype sectors = file.size() / 512 - 1;
    auto sector = [&file](uint32_t s) { return file.mid(512 + qsizetype(s) * 512, 512); };
    // FAT sector numbers: the header's 109, then the DIFAT chain.
    std::vector<uint32_t> fatSectors;
    const uint32_t nFat = u32(file, 0x2C);
    for (int i = 0; i < 109 && fatSectors.size() < nFat; ++i) fatSectors.push_back(u32(file, 0x4C + 4 * i));
    for (uint32_t d = u32(file, 0x44), n = 0; d != 0xFFFFFFFE && n < u32(file, 0x48); ++n) {
        const QByteArray s = sector(d);
        for (int i = 0; i < 127 && fatSectors.size() < nFat; ++i) fatSectors.push_back(u32(s, 4 * i));
        d = u32(s, 508);
    }
    std::vector<uint32_t> fat;
    for (uint32_t s : fatSectors) {
        if (qsizetype(s) >= sectors) return fail(QStringLiteral("FAT sector out of the file"));
        const QByteArray d = sector(s);
        for (int i = 0; i < 128; ++i) fat.push_back(u32(d, 4 * i));
    }
    auto chain = [&](uint32_t start, QString* why) {
        QByteArray out;
        for (uint32_t s = start, steps = 0; s != 0xFFFFFFFE; s = fat[s], ++steps) {
            if (s >= fat.size() || qsizetype(s) >= sectors || steps > fat.size()) {
                *why = QStringLiteral("broken sector chain");
                return QByteArray();
            }
            out += sector(s);
        }
        return out;
    };
    QString why;
    const QByteArray dir = chain(u32(file, 0x30), &why);
    if (!why.isEmpty()) return fail(why);
    const QByteArray miniFat = u32(file, 0x3C) == 0xFFFFFFFE ? QByteArray() : chain(u32(file, 0x3C), &why);
    if (!why.isEmpty()) return fail(why);
    if (dir.size() < 128 || uint8_t(dir[0x42]) != 5) return fail(QStringLiteral("no root entry"));
    const QByteArray miniStream = u32(dir, 0x74) == 0xFFFFFFFE ? QByteArray() : chain(u32(dir, 0x74), &why);
    if (!why.isEmpty()) return fail(why);

    // Walk the root's tree of children.
    QMap<QString, QByteArray> streams;
    std::vector<uint32_t> todo{u32(dir, 0x4C)};
    int visited = 0;
    while (!todo.empty()) {
        const uint32_t e = todo.back();
        todo.pop_back();
        if (e == 0xFFFFFFFF) continue;
        if (qsizetype(e) * 128 + 128 > dir.size() || ++visited > 1000) return fail(QStringLiteral("bad directory tree"));
        const QByteArray entry = dir.mid(qsizetype(e) * 128, 128);
        const int nameBytes = int(u16(entry, 0x40));
        QString name;
        for (int i = 0; i + 2 < nameBytes; i += 2) name += QChar(char16_t(u16(entry, i)));
        todo.push_back(u32(entry, 0x44));
        todo.push_back(u32(entry, 0x48));
        const uint32_t start = u32(entry, 0x74);
        const uint32_t size = u32(entry, 0x78);
        QByteArray data;
        if (size >= 4096) {
            data = chain(start, &why);
        } else if (size > 0) {
            for (uint32_t s = start, steps = 0; s != 0xFFFFFFFE; ++steps) {
                if (qsizetype(s) * 4 + 4 > miniFat.size() || steps > 100000) return fail(QStringLiteral("broken mini chain"));
                data += miniStream.mid(qsizetype(s) * 64, 64);
                s = u32(miniFat, qsizetype(s) * 4);
            }
        }
        if (!why.isEmpty()) return fail(why);
        if (data.size() < qsizetype(size)) return fail(QStringLiteral("stream %1 shorter than its size").arg(name));
        streams.insert(name, data.left(size));
    }
    return streams;
}

QString runTool(const QString& program, const QStringList& args, int* exitCode) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        if (exitCode) *exitCode = -1;
        return QString();
    }
    if (exitCode) *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool Office::available() { return !QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty(); }

bool Office::convert(const QStringList& files, const QString& format, const QString& outDir) {
    QTemporaryDir profile;
    QStringList args{QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile.path()).toString(),
                     QStringLiteral("--headless"), QStringLiteral("--convert-to"), format,
                     QStringLiteral("--outdir"), outDir};
    args += files;
    QProcess p;
    p.start(QStringLiteral("soffice"), args);
    if (!p.waitForFinished(300000)) {
        p.kill();
        p.waitForFinished();
        return false;
    }
    const QString ext = format.section(QLatin1Char(':'), 0, 0);
    for (const QString& f : files)
        if (!QFileInfo::exists(QDir(outDir).filePath(QFileInfo(f).completeBaseName() + QLatin1Char('.') + ext)))
            return false;
    return true;
}

}  // namespace wdtest
