#pragma once

#include "notes/ln/LNGlobals.h"

#include <string>

// The API's native narrow text: UTF-8 bytes.
class LNString {
public:
    LNString() = default;
    LNString(const char* text) : m_bytes(text ? text : "") {}
    explicit LNString(std::string bytes) : m_bytes(std::move(bytes)) {}

    const char* GetBuf() const { return m_bytes.c_str(); }
    const char* GetPlatformTextPtr() const { return m_bytes.c_str(); }
    LNINT GetBufLength() const { return LNINT(m_bytes.size()); }
    bool IsNull() const { return m_bytes.empty(); }
    const std::string& bytes() const { return m_bytes; }

    bool operator==(const LNString& other) const { return m_bytes == other.m_bytes; }

private:
    std::string m_bytes;
};
