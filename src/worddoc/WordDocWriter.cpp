#include "worddoc/WordDocWriter.h"

#include "worddoc/CompoundFileWriter.h"
#include "worddoc/LeBytes.h"
#include "worddoc/SummaryInfoStream.h"
#include "worddoc/WordBodyBuilder.h"
#include "worddoc/WordFkp.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace worddoc {
namespace {

constexpr unsigned kNFib = 0x00C1;  // Word 97 and later
constexpr int kFibSize = 900;
constexpr uint32_t kTextFc = 1024;  // where the text starts in the WordDocument stream
constexpr int kFcLcbPairs = 93;
constexpr int kMinWordStream = 4096;

// Indices of the (fc, lcb) pairs of the FIB this writer fills.
enum FcLcb {
    StshfOrig = 0,
    Stshf = 1,
    PlcfSed = 6,
    PlcfBteChpx = 12,
    PlcfBtePapx = 13,
    SttbfFfn = 15,
    PlcfFldMom = 16,
    Dop = 31,
    Clx = 33,
};

void appendStd(QByteArray& stsh, unsigned sti, unsigned stk, unsigned istdNext, const QString& name,
               const QByteArray* papx, const QByteArray& chpx) {
    QByteArray std;
    le::u16(std, sti);
    le::u16(std, stk | (0x0FFF << 4));  // no base style
    le::u16(std, (papx ? 2 : 1) | (istdNext << 4));
    le::u16(std, 0);  // bchUpe, patched below
    le::u16(std, 0);
    le::u16(std, unsigned(name.size()));
    le::utf16(std, name);
    le::u16(std, 0);
    if (papx) {
        le::u16(std, unsigned(papx->size()));
        std += *papx;
        le::padTo(std, 2);
    }
    le::u16(std, unsigned(chpx.size()));
    std += chpx;
    le::padTo(std, 2);
    le::put16(std, 6, unsigned(std.size()));
    le::u16(stsh, unsigned(std.size()));
    stsh += std;
}

// Style sheet: Normal (istd 0) and Default Paragraph Font (istd 10); the other
// fixed slots up to 14 are empty.
QByteArray styleSheet() {
    constexpr int kStyles = 15;
    QByteArray s;
    le::u16(s, 18);  // size of the STSHI
    le::u16(s, kStyles);
    le::u16(s, 10);  // size of the fixed part of each STD
    le::u16(s, 1);   // built-in style names are written
    le::u16(s, 0x5B);
    le::u16(s, 15);
    le::u16(s, 0);
    le::u16(s, 0);  // default fonts: font 0
    le::u16(s, 0);
    le::u16(s, 0);
    const QByteArray normalPapx(2, '\0');  // istd 0
    for (int istd = 0; istd < kStyles; ++istd) {
        if (istd == 0)
            appendStd(s, 0, 1, 0, QStringLiteral("Normal"), &normalPapx, WordBodyBuilder::normalChpx());
        else if (istd == 10)
            appendStd(s, 65, 2, 10, QStringLiteral("Default Paragraph Font"), nullptr, QByteArray());
        else
            le::u16(s, 0);
    }
    return s;
}

// The family (ff) and pitch of a face, as the font table stores them.
unsigned fontFlags(const QString& face) {
    const QString f = face.toLower();
    unsigned ff = 0, prq = 2;  // don't care, variable pitch
    if (f.contains(QLatin1String("courier")) || f.contains(QLatin1String("mono")) ||
        f.contains(QLatin1String("consol"))) {
        ff = 3;
        prq = 1;
    } else if (f.contains(QLatin1String("times")) || f.contains(QLatin1String("georgia")) ||
               f.contains(QLatin1String("garamond")) || (f.contains(QLatin1String("serif")) && !f.contains(QLatin1String("sans")))) {
        ff = 1;
    } else if (f.contains(QLatin1String("arial")) || f.contains(QLatin1String("helvetica")) ||
               f.contains(QLatin1String("verdana")) || f.contains(QLatin1String("tahoma")) ||
               f.contains(QLatin1String("sans")) || f.contains(QLatin1String("calibri"))) {
        ff = 2;
    }
    return prq | 0x04 | (ff << 4);  // TrueType
}

bool isSymbolFace(const QString& face) {
    const QString f = face.toLower();
    return f == QLatin1String("symbol") || f.startsWith(QLatin1String("wingdings")) ||
           f.startsWith(QLatin1String("webdings"));
}

QByteArray fontTable(const std::vector<QString>& fonts) {
    QByteArray t;
    le::u16(t, unsigned(fonts.size()));
    le::u16(t, 0);
    for (const QString& face : fonts) {
        QByteArray ffn;
        le::u8(ffn, fontFlags(face));
        le::u16(ffn, 400);
        le::u8(ffn, isSymbolFace(face) ? 2 : 0);  // symbol or ANSI character set
        le::u8(ffn, 0);                            // no alternative name
        le::zeros(ffn, 10 + 24);                   // PANOSE, font signature
        le::utf16(ffn, face);
        le::u16(ffn, 0);
        le::u8(t, unsigned(ffn.size()));  // size - 1 with the count byte
        t += ffn;
    }
    return t;
}

QByteArray documentProperties() {
    QByteArray d(500, '\0');
    d[0] = char(0x02);              // widow control
    le::put16(d, 2, 1 << 2);        // footnotes numbered from 1
    le::put16(d, 10, 720);          // default tab stops every half inch
    le::put16(d, 52, 1 << 2);       // endnotes numbered from 1
    le::put16(d, 82, 1 | (100 << 3));  // page view at 100 %
    return d;
}

QByteArray sectionProperties(const PageSetup& page) {
    QByteArray g;
    auto sprm = [&g](unsigned id, int v) {
        le::u16(g, id);
        le::i16(g, v);
    };
    auto twips = [](int v, int lo) { return std::clamp(v, lo, 31680); };
    sprm(0xB01F, twips(page.widthTwips, 1440));   // sprmSXaPage
    sprm(0xB020, twips(page.heightTwips, 1440));  // sprmSYaPage
    sprm(0xB021, twips(page.marginLeft, 0));      // sprmSDxaLeft
    sprm(0xB022, twips(page.marginRight, 0));     // sprmSDxaRight
    sprm(0x9023, twips(page.marginTop, 0));       // sprmSDyaTop
    sprm(0x9024, twips(page.marginBottom, 0));    // sprmSDyaBottom
    if (page.widthTwips > page.heightTwips) {
        le::u16(g, 0x301D);  // sprmSBOrientation: landscape
        le::u8(g, 2);
    }
    QByteArray sepx;
    le::i16(sepx, int(g.size()));
    sepx += g;
    return sepx;
}

}  // namespace

QByteArray WordDocWriter::toBytes(const WordDocument& doc) {
    m_error.clear();
    m_pictureFallbacks = 0;
    const PageSetup& page = doc.page;
    const int textWidth = std::max(page.widthTwips - page.marginLeft - page.marginRight, 1440);
    WordBodyBuilder body(textWidth);
    body.build(doc.body);

    const QString& text = body.text();
    // The format counts in 32-bit offsets; a compound file of version 3 holds
    // streams under 2 GB here.
    constexpr qsizetype kLimit = 0x40000000;
    if (text.size() > kLimit / 4 || body.dataStream().size() > kLimit) {
        m_error = QStringLiteral("the document is too large for a Word 97 file");
        return {};
    }
    const uint32_t ccpText = uint32_t(text.size());
    const uint32_t fcTextEnd = kTextFc + 2 * ccpText;

    // WordDocument stream: FIB, text, section properties, then the FKPs.
    QByteArray word(kTextFc, '\0');
    word.reserve(kTextFc + 2 * text.size() + 4096);
    le::utf16(word, text);
    le::padTo(word, 2);
    const uint32_t fcSepx = uint32_t(word.size());
    word += sectionProperties(page);
    le::padTo(word, 512);

    std::vector<WordFkp::Entry> chpx;
    const auto& runs = body.charRuns();
    for (size_t i = 0; i < runs.size(); ++i) {
        const uint32_t end = i + 1 < runs.size() ? kTextFc + 2 * uint32_t(runs[i + 1].cp) : fcTextEnd;
        chpx.push_back({end, runs[i].sprms});
    }
    const uint32_t chpFirstPage = uint32_t(word.size() / 512);
    const WordFkp::Pages chpPages = WordFkp::chpx(kTextFc, chpx, chpFirstPage);
    word += chpPages.pages;
    std::vector<WordFkp::Entry> papx;
    for (const auto& p : body.paragraphs()) papx.push_back({kTextFc + 2 * uint32_t(p.cpEnd), p.papx});
    const uint32_t papFirstPage = uint32_t(word.size() / 512);
    const WordFkp::Pages papPages = WordFkp::papx(kTextFc, papx, papFirstPage);
    word += papPages.pages;
    if (!chpPages.complete || !papPages.complete) {
        m_error = QStringLiteral("a paragraph's or run's properties do not fit in a Word 97 page");
        return {};
    }
    m_pictureFallbacks = body.pictureFallbacks();
    const uint32_t cbMac = uint32_t(word.size());
    if (word.size() < kMinWordStream) le::zeros(word, kMinWordStream - word.size());

    // 1Table stream.
    QByteArray table;
    uint32_t fcLcb[kFcLcbPairs][2] = {};
    auto place = [&table, &fcLcb](int index, const QByteArray& data) {
        fcLcb[index][0] = uint32_t(table.size());
        fcLcb[index][1] = uint32_t(data.size());
        table += data;
    };
    const QByteArray stsh = styleSheet();
    place(Stshf, stsh);
    fcLcb[StshfOrig][0] = fcLcb[Stshf][0];
    fcLcb[StshfOrig][1] = fcLcb[Stshf][1];
    {
        QByteArray sed;
        le::u32(sed, 0);
        le::u32(sed, ccpText);
        le::u16(sed, 0);
        le::u32(sed, fcSepx);
        le::u16(sed, 0);
        le::u32(sed, 0xFFFFFFFF);
        place(PlcfSed, sed);
    }
    place(PlcfBteChpx, chpPages.plcBte);
    place(PlcfBtePapx, papPages.plcBte);
    place(SttbfFfn, fontTable(body.fonts()));
    if (!body.fields().empty()) {
        QByteArray fld;
        for (const auto& f : body.fields()) le::u32(fld, uint32_t(f.cp));
        le::u32(fld, ccpText);
        for (const auto& f : body.fields()) {
            le::u8(fld, f.ch);
            le::u8(fld, f.flags);
        }
        place(PlcfFldMom, fld);
    }
    place(Dop, documentProperties());
    {
        QByteArray clx;
        le::u8(clx, 0x02);
        le::u32(clx, 16);
        le::u32(clx, 0);
        le::u32(clx, ccpText);
        le::u16(clx, 0);
        le::u32(clx, kTextFc);  // UTF-16 text: not compressed
        le::u16(clx, 0);
        place(Clx, clx);
    }

    // The FIB.
    QByteArray fib;
    le::u16(fib, 0xA5EC);
    le::u16(fib, kNFib);
    le::u16(fib, 0);
    le::u16(fib, 0x0409);  // US English
    le::u16(fib, 0);
    unsigned flags = 0x0200 | 0x1000;  // fWhichTblStm (1Table), fExtChar
    if (body.hasPictures()) flags |= 0x0008;
    le::u16(fib, flags);
    le::u16(fib, 0x00BF);
    le::u32(fib, 0);
    le::u8(fib, 0);
    le::u8(fib, 0);
    le::u16(fib, 0);
    le::u16(fib, 0);
    le::u32(fib, kTextFc);    // where older readers find the text
    le::u32(fib, fcTextEnd);
    le::u16(fib, 14);
    le::zeros(fib, 26);
    le::u16(fib, 0x0409);  // lidFE
    le::u16(fib, 22);
    const uint32_t lw[22] = {cbMac, 0, 0, ccpText, 0, 0, 0, 0, 0, 0, 0,
                             chpFirstPage, chpFirstPage, uint32_t(chpPages.pages.size() / 512),
                             papFirstPage, papFirstPage, uint32_t(papPages.pages.size() / 512),
                             0, 0, 0, 0, 0};
    for (uint32_t v : lw) le::u32(fib, v);
    le::u16(fib, kFcLcbPairs);
    for (const auto& pair : fcLcb) {
        le::u32(fib, pair[0]);
        le::u32(fib, pair[1]);
    }
    le::u16(fib, 0);  // no FibRgCswNew
    Q_ASSERT(fib.size() == kFibSize);
    word.replace(0, fib.size(), fib);

    CompoundFileWriter cfb;
    cfb.addStream(QStringLiteral("WordDocument"), word);
    cfb.addStream(QStringLiteral("1Table"), table);
    if (!body.dataStream().isEmpty()) cfb.addStream(QStringLiteral("Data"), body.dataStream());
    cfb.addStream(SummaryInfoStream::streamName(), SummaryInfoStream::build(doc.summary));
    return cfb.toBytes();
}

bool WordDocWriter::write(const WordDocument& doc, const QString& path) {
    const QByteArray bytes = toBytes(doc);
    if (bytes.isEmpty()) {
        if (m_error.isEmpty()) m_error = QStringLiteral("the document could not be written");
        return false;
    }
    // A temporary file beside the target, renamed over it: a reader never sees
    // half a document. No sync to disk: that would cost more than the writing.
    const QString temp = path + QStringLiteral(".part");
    QFile file(temp);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_error = QStringLiteral("%1: %2").arg(temp, file.errorString());
        return false;
    }
    const bool written = file.write(bytes) == bytes.size();
    const QString writeError = file.errorString();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        m_error = QStringLiteral("%1: %2").arg(temp, written ? file.errorString() : writeError);
        QFile::remove(temp);
        return false;
    }
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) != 0) {
        m_error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        QFile::remove(temp);
        return false;
    }
    return true;
}

}  // namespace worddoc
