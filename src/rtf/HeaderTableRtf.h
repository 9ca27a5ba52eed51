#pragma once

#include <QString>

#include <vector>

#include "items/DocumentFields.h"

namespace rtf {

// The header table of a document with fields of its own: an RTF document
// holding a two-column table of one row per field (label bold, value plain),
// of any length, in the look of the header templates. Returned as the
// templates are (8-bit text, one character per byte; everything else escaped),
// filled already: the exporter inserts it as it is. Empty for no rows.
QString HeaderTableRtf(const std::vector<FieldRow>& rows);

// The same rows as header text for the preview: a title line, then
// "label: value" lines.
QString FieldsHeaderText(const std::vector<FieldRow>& rows);

}  // namespace rtf
