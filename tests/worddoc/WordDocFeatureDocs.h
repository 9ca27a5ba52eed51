#pragma once

#include "worddoc/WordDocument.h"

namespace wdtest {

// Documents that exercise one group of the writer's features each.
worddoc::WordDocument formattedRunsDoc();   // fonts, sizes, bold ... highlight
worddoc::WordDocument paragraphsDoc();      // alignment, indents, spacing, tabs, lists
worddoc::WordDocument tablesDoc();          // widths, borders, shading, nesting
worddoc::WordDocument picturesDoc();        // PNG, JPEG, GIF, BMP, unknown
worddoc::WordDocument linksDoc();           // URLs, doclinks, attachments
worddoc::WordDocument letterPageDoc();      // Letter, narrow margins, summary

}  // namespace wdtest
