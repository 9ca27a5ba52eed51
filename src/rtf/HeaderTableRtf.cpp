#include "rtf/HeaderTableRtf.h"

#include "rtf/RtfTextEscaper.h"
#include "rtf/TextWidthEstimate.h"

#include <algorithm>

namespace rtf {
namespace {

// White hairline borders, as the header templates draw them.
constexpr const char* kRowBorders =
    "\\trbrdrt\\brdrs\\brdrw5\\brdrcf8 \\trbrdrl\\brdrs\\brdrw5\\brdrcf8 \\trbrdrb\\brdrs\\brdrw5\\brdrcf8 "
    "\\trbrdrr\\brdrs\\brdrw5\\brdrcf8 \\trbrdrh\\brdrs\\brdrw5\\brdrcf8 \\trbrdrv\\brdrs\\brdrw5\\brdrcf8 ";
constexpr const char* kCellBorders =
    "\\clbrdrt\\brdrs\\brdrw5\\brdrcf8 \\clbrdrl\\brdrs\\brdrw5\\brdrcf8 \\clbrdrb\\brdrs\\brdrw5\\brdrcf8 "
    "\\clbrdrr\\brdrs\\brdrw5\\brdrcf8 ";
constexpr int kLabelRight = 2700;  // twips: labels are item names, wider than the templates' fixed words
constexpr int kWidestLabelRight = 4500;  // a longer label breaks rather than squeeze the values
constexpr int kValueRight = 8748;

// The label column's right edge: wide enough for the longest label on one line
// (an item name broken inside leaves its last letters alone on a line).
int labelRight(const std::vector<FieldRow>& rows) {
    int widest = 0;
    for (const FieldRow& row : rows) widest = std::max(widest, TextWidthEstimate::twips(row.label, 11, true, false));
    // The cell starts at -108 (\trleft) and its text 108 further in; 60 to spare.
    return std::clamp(widest + 108 + 60, kLabelRight, kWidestLabelRight);
}

}  // namespace

QString HeaderTableRtf(const std::vector<FieldRow>& rows) {
    if (rows.empty()) return QString();
    QByteArray out;
    out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New "
           "Roman;}{\\f1\\fswiss\\fprq2\\fcharset0 Arial;}}\n";
    out += "{\\colortbl ;\\red0\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green255\\blue255;\\red0\\green255"
           "\\blue0;\\red255\\green0\\blue255;\\red255\\green0\\blue0;\\red255\\green255\\blue0;\\red255\\green255"
           "\\blue255;\\red0\\green0\\blue128;\\red0\\green128\\blue128;\\red0\\green128\\blue0;\\red128\\green0"
           "\\blue128;\\red128\\green0\\blue0;\\red128\\green128\\blue0;\\red128\\green128\\blue128;\\red192\\green192"
           "\\blue192;\\red0\\green51\\blue102;}\n";
    out += "\\uc1\\margt720\n";
    const int labelEdge = labelRight(rows);
    for (const FieldRow& row : rows) {
        out += "\\trowd\\trgaph108\\trleft-108";
        out += kRowBorders;
        out += "\n";
        out += kCellBorders;
        out += "\\clftsWidth3\\clwWidth" + QByteArray::number(labelEdge + 108) + "\\cellx" +
               QByteArray::number(labelEdge) + "\n";
        out += kCellBorders;
        out += "\\clftsWidth3\\clwWidth" + QByteArray::number(kValueRight - labelEdge) + "\\cellx" +
               QByteArray::number(kValueRight) + "\n";
        out += "\\pard\\plain\\intbl{\\f1\\fs22\\b\\cf17 ";
        RtfTextEscaper::append(out, row.label);
        out += "}\\cell\n\\pard\\plain\\intbl{\\f1\\fs22 ";
        RtfTextEscaper::append(out, row.value);
        out += "}\\cell\n\\row\n";
    }
    out += "\\pard\\plain\\par\n}\n";
    return QString::fromLatin1(out);
}

QString FieldsHeaderText(const std::vector<FieldRow>& rows) {
    QString text = QStringLiteral("Document Item \r\n");
    for (const FieldRow& row : rows) text += row.label + QStringLiteral(": ") + row.value + QStringLiteral("\r\n");
    return text;
}

}  // namespace rtf
