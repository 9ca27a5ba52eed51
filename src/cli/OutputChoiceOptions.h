#pragma once

#include "export/OutputFormat.h"
#include "items/ItemDateRange.h"

#include <QString>
#include <QStringList>

// The convert commands' choices of what to write and which items: --format,
// --embed-attachments, --since, --until. Parsed before any work is done.
class OutputChoiceOptions {
public:
    OutputOptions output;
    ItemDateRange range;

    // Takes the option at args[i] (and its value) when it is one of these;
    // true when taken, with i on the last argument used. A bad value sets
    // `error` (and still returns true).
    bool take(const QStringList& args, int& i, QString& error);
    // Checks the choices together; empty when they fit.
    QString validate() const;

    static const char* usageText();

private:
    bool m_embedGiven = false;
};
