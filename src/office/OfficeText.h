#pragma once

// Text handed to the office: line breaks as paragraph breaks. Office-internal.

#include <QString>
#include <com/sun/star/text/XTextRange.hpp>
#include <rtl/ustring.hxx>

// The text with each "\r\n", "\r" or "\n" as Writer's paragraph break ("\r").
rtl::OUString ParagraphText(const QString& value);

// Replaces the text of `range` by `value`, each "\r\n", "\r" or "\n" becoming a
// paragraph break as in the word processor; the range then covers the new
// text. Character formatting is that of the range's start.
void ReplaceRangeText(const com::sun::star::uno::Reference<com::sun::star::text::XTextRange>& range,
                      const QString& value);
