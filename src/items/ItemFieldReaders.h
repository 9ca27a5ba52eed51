#pragma once

#include <QString>
#include <QStringList>

class LNNote;
class LNDocument;

// Reading single items of an open document as display text. None of these
// fails: a missing item, an item of another type or any error reads as "".

// All values of a text item joined by ";". An empty "From", "CopyTo" or
// "SendTo" falls back to "INetFrom", "InetCopyTo" or "InetSendTo"; a missing
// item has no fallback.
QString ReadTextItem(const LNNote& document, const QString& name);

// All values of a date/time item in the client's text form, joined by ";".
QString ReadDateItem(const LNNote& document, const QString& name);

// "a.doc Size = 1234, b.txt Size = 99". Appends each attachment's name to
// `names` and its " Size = N" text to `sizes` when those are given.
QString DescribeAttachments(const LNNote& document, QStringList* names = nullptr,
                            QStringList* sizes = nullptr);

// The sent date of a mail ("PostedDate"); empty when it has none.
QString ReadSentDate(const LNDocument& document);
