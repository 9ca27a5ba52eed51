#pragma once

#include "richtext/RichTextModel.h"

#include <QDateTime>
#include <QString>

namespace worddoc {

// Page size and margins in twips (1/1440 inch). The defaults are A4 with
// 1-inch margins; callers set the locale's size (office/LocalePageSize has it).
struct PageSetup {
    int widthTwips = 11906;
    int heightTwips = 16838;
    int marginTop = 1440;
    int marginBottom = 1440;
    int marginLeft = 1440;
    int marginRight = 1440;
};

// The document's summary properties (what File > Properties shows).
struct SummaryInfo {
    QString title;
    QString subject;
    QString author;
    QString keywords;
    QString comments;
    QDateTime created;  // invalid: left out
};

// One document as the native writers take it: the body in the rich-text model
// (the header table is its first block when the item has one), the page and
// the summary properties.
struct WordDocument {
    store::RichTextDoc body;
    PageSetup page;
    SummaryInfo summary;
};

}  // namespace worddoc
