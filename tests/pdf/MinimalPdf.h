#pragma once

#include <QByteArray>
#include <QList>

namespace pdftest {

// A small one-page PDF with a classic cross-reference table, as the office
// writes them (objects, xref, trailer with /Info and /ID).
inline QByteArray minimalPdf(const QByteArray& catalogExtra = QByteArray()) {
    QList<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R /Lang (en\\)x) /MarkInfo << /Marked true >>" + catalogExtra + " >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 4 0 R /Resources << >> >>",
        "<< /Length 0 >>\nstream\n\nendstream",
        "<< /Producer (test) >>",
    };
    QByteArray pdf = "%PDF-1.6\n%\xE2\xE3\xCF\xD3\n";
    QList<qint64> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qint64 xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f\r\n";
    for (qint64 o : offsets) pdf += QByteArray::number(o).rightJustified(10, '0') + " 00000 n\r\n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R /Info 5 0 R /ID [ <0123456789ABCDEF0123456789ABCDEF> <0123456789ABCDEF0123456789ABCDEF> ] >>\n"
           "startxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

}  // namespace pdftest
