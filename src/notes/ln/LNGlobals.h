#pragma once

// Our own Notes access layer, with the names and call shapes of the Notes
// client's C++ API that the program uses. Status codes are unsigned 32-bit;
// with throw-all-errors on (LNSetThrowAllErrorsGlobal), every failing call
// throws its status as an LNSTATUS value.

#include <cstdint>

typedef uint32_t LNSTATUS;
typedef int32_t LNINT;
typedef int LNBOOL;
typedef uint32_t NOTEID;
typedef uint16_t LNCHARSET;
typedef uint16_t LNITEMTYPE;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

constexpr LNSTATUS LNNOERROR = 0;
// A rich-text text read that returned only part of the text.
constexpr LNSTATUS LNWARN_PARTIAL_TEXT = 0xD000014F;
// Character set 0: the program's wide (UTF-16) strings.
constexpr LNCHARSET LNCHARSET_UNICODE = 0;

// Item types as LNNote::GetItemType reports them.
constexpr LNITEMTYPE LNITEMTYPE_RICHTEXT = 1;
constexpr LNITEMTYPE LNITEMTYPE_OBJECT = 3;
constexpr LNITEMTYPE LNITEMTYPE_NUMBERS = 0x0301;
constexpr LNITEMTYPE LNITEMTYPE_DATETIMES = 0x0401;
constexpr LNITEMTYPE LNITEMTYPE_TEXT = 1281;  // 0x501: text and text lists
constexpr LNITEMTYPE LNITEMTYPE_UNSUPPORTED = 0xFFFF;

class LNString;

void LNSetThrowAllErrorsGlobal(LNBOOL flag);
LNBOOL LNGetThrowAllErrorsGlobal();

// Writes the zero-terminated English text of `status` (with the detail of the
// calling thread's last failure of that status, when known) into buffer,
// truncated on a character boundary to size - 1 bytes. Returns the length.
LNINT LNGetErrorMessageText(LNSTATUS status, char* buffer, LNINT size, LNINT flags);

// Wide to native: translates `source` (zero-terminated UTF-16) into `result`.
LNSTATUS LNStringTranslate(const char16_t* source, LNCHARSET charset, LNString* result, LNINT* lengthOut);
// Native to wide: translates `source` into `buffer` (bufferBytes bytes, always
// zero-terminated when it returns 0); lengthOut receives the wide characters.
LNSTATUS LNStringTranslate(const LNString& source, LNCHARSET charset, LNINT bufferBytes, char16_t* buffer,
                           LNINT* lengthOut);
