#pragma once

#include "notes/ln/LNString.h"

#include <QString>

// Text between the program's UTF-16 and the Notes layer's LNString, through
// LNStringTranslate. An untranslatable text becomes empty (to LNString) or is
// read as UTF-8 (from LNString), never cut.
namespace WideText {
LNString toLNString(const QString& text);
QString fromLNString(const LNString& text);
}  // namespace WideText
