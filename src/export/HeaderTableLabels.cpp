#include "export/HeaderTableLabels.h"

namespace HeaderTableLabels {

const QStringList& labels() {
    static const QStringList all = {
        QStringLiteral("Subject:"),    QStringLiteral("MailDate:"),  QStringLiteral("StartDate:"),
        QStringLiteral("EndDate:"),    QStringLiteral("DiaryDate:"), QStringLiteral("DueDate:"),
        QStringLiteral("From:"),       QStringLiteral("SendTo:"),    QStringLiteral("CC:"),
        QStringLiteral("BCC:"),        QStringLiteral("Location:"),  QStringLiteral("Categories:"),
        QStringLiteral("Attachment:"),
    };
    return all;
}

qsizetype find(const QString& text, const QString& label) {
    if (label.isEmpty()) return -1;
    for (qsizetype at = text.indexOf(label); at >= 0; at = text.indexOf(label, at + 1)) {
        if (at == 0 || !text.at(at - 1).isLetterOrNumber()) return at;
    }
    return -1;
}

int count(const QString& text) {
    int n = 0;
    for (const QString& label : labels())
        if (has(text, label)) ++n;
    return n;
}

QString value(const QString& text, const QString& label, bool keepBreak) {
    const qsizetype at = find(text, label);
    if (at < 0) return {};
    const QString rest = text.mid(at + label.size());
    qsizetype lineBreak = rest.indexOf(QStringLiteral("\r\n"));
    if (lineBreak < 0) lineBreak = rest.indexOf(QLatin1Char('\n'));
    if (lineBreak < 0) return {};
    return rest.left(keepBreak ? lineBreak + 1 : lineBreak);
}

}  // namespace HeaderTableLabels
