#include "cli/OutputChoiceOptions.h"

bool OutputChoiceOptions::take(const QStringList& args, int& i, QString& error) {
    const QString& a = args.at(i);
    const bool hasValue = i + 1 < args.size();
    if (a == QLatin1String("--embed-attachments")) {
        m_embedGiven = true;
        output.embedAttachments = true;
        return true;
    }
    if (a != QLatin1String("--format") && a != QLatin1String("--since") && a != QLatin1String("--until"))
        return false;
    if (!hasValue) {
        error = a + QStringLiteral(" needs a value");
        return true;
    }
    const QString value = args.at(++i);
    if (a == QLatin1String("--format")) {
        const auto format = OutputFormats::parse(value);
        if (!format)
            error = QStringLiteral("unknown format \"%1\" (doc, docx or pdf)").arg(value);
        else
            output.format = *format;
        return true;
    }
    const QDate day = ItemDateRange::ParseDay(value);
    if (!day.isValid()) {
        error = QStringLiteral("%1 takes a date as YYYY-MM-DD, not \"%2\"").arg(a, value);
        return true;
    }
    (a == QLatin1String("--since") ? range.since : range.until) = day;
    return true;
}

QString OutputChoiceOptions::validate() const {
    if (range.since.isValid() && range.until.isValid() && range.until < range.since)
        return QStringLiteral("--until %1 lies before --since %2")
            .arg(range.until.toString(Qt::ISODate), range.since.toString(Qt::ISODate));
    if (m_embedGiven && output.format != OutputFormat::Pdf)
        return QStringLiteral("--embed-attachments needs --format pdf");
    return QString();
}

const char* OutputChoiceOptions::usageText() {
    return "[--format doc|docx|pdf] [--embed-attachments] [--since YYYY-MM-DD] [--until YYYY-MM-DD]";
}
