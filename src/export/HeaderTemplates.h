#pragma once

#include <QString>

// The nine header-table templates: RTF documents holding a two-column table of
// 1 to 9 rows with the placeholders "Col1RowN" / "Col2RowN", stored as Qt
// resources under the ids 248-256.

// Resource id of the template for a header of `rows` rows (1..9); any other
// row count is returned unchanged, which names no template.
int TemplateIdForRows(int rows);

// The template's bytes taken as 8-bit text, each byte widened to one character;
// empty when no template has this id.
QString LoadRtfTemplate(int id);
