#include "RtfTestDocs.h"

using namespace store;

namespace rtftest {

RtRun text(const QString& s, RtFont font) {
    RtRun r;
    r.text = s;
    r.font = font;
    return r;
}

RtRun kindRun(RtRun::Kind kind, const QString& s, const QString& target) {
    RtRun r;
    r.kind = kind;
    r.text = s;
    r.target = target;
    return r;
}

RtBlock para(std::vector<RtRun> runs, RtAlign align) {
    RtBlock b;
    b.runs = std::move(runs);
    b.style.align = align;
    return b;
}

RtBlock tableBlock(const std::vector<std::vector<QString>>& cells) {
    auto t = std::make_shared<RtTable>();
    for (const auto& row : cells) {
        RtTableRow r;
        for (const QString& c : row) {
            RtTableCell cell;
            cell.blocks.push_back(para({text(c)}));
            r.cells.push_back(cell);
        }
        t->rows.push_back(r);
    }
    RtBlock b;
    b.table = t;
    return b;
}

QByteArray tinyPng() {
    return QByteArray::fromHex(
        "89504e470d0a1a0a0000000d4948445200000002000000010806000000f4227f8a0000000e49444154789c63f8cfc00042ff01"
        "0ff903fd851199760000000049454e44ae426082");
}

QByteArray tinyGif() {
    return QByteArray::fromHex("47494638396101000100800000ff000000000021f90401000000002c00000000010001000002024401003b");
}

RichTextDoc sampleDoc() {
    RichTextDoc doc;
    RtFont title;
    title.face = QStringLiteral("Times New Roman");
    title.sizePt = 16;
    title.bold = true;
    title.hasColor = true;
    title.rgb = 0xC00000;
    doc.blocks.push_back(para({text(QStringLiteral("Quarterly report"), title)}, RtAlign::Center));

    RtFont italic;
    italic.italic = true;
    RtFont under;
    under.underline = true;
    under.strike = true;
    doc.blocks.push_back(para({text(QStringLiteral("Plain, ")), text(QStringLiteral("italic"), italic),
                               kindRun(RtRun::Kind::Tab), text(QStringLiteral("marked"), under),
                               kindRun(RtRun::Kind::LineBreak), text(QStringLiteral("Grüße Ωμέγα 日本 \U0001F600"))}));

    RtBlock indented = para({text(QStringLiteral("Indented {braces} and back\\slash"))}, RtAlign::Right);
    indented.style.leftIndent = 720;
    indented.style.firstLineIndent = 360;
    indented.style.rightIndent = 144;
    indented.style.tabStops = {1440, 2880};
    doc.blocks.push_back(indented);

    RtBlock bullet = para({text(QStringLiteral("First point"))});
    bullet.style.bullet = true;
    doc.blocks.push_back(bullet);

    doc.blocks.push_back(tableBlock({{QStringLiteral("Name"), QStringLiteral("Größe")},
                                     {QStringLiteral("a.txt"), QStringLiteral("12")}}));

    RtRun png = kindRun(RtRun::Kind::Picture);
    png.picture.data = tinyPng();
    png.picture.format = QStringLiteral("png");
    RtRun gif = kindRun(RtRun::Kind::Picture);
    gif.picture.data = tinyGif();
    gif.picture.format = QStringLiteral("gif");
    RtRun unknown = kindRun(RtRun::Kind::Picture);
    unknown.picture.data = QByteArray("\x01\x00\x09\x00 a metafile", 16);
    unknown.picture.format = QStringLiteral("wmf");
    doc.blocks.push_back(para({text(QStringLiteral("Picture: ")), png, gif, unknown}));

    doc.blocks.push_back(para({kindRun(RtRun::Kind::AttachmentRef, QStringLiteral("budget.xls")),
                               text(QStringLiteral(" see ")),
                               kindRun(RtRun::Kind::DocLink, QStringLiteral("Minutes")), text(QStringLiteral(" ")),
                               kindRun(RtRun::Kind::Url, QStringLiteral("our site"),
                                       QStringLiteral("https://example.com/a?b=\"c\""))}));
    return doc;
}

}  // namespace rtftest
