#include "notes/ln/LNGlobals.h"

#include "notes/ln/LNErrors.h"
#include "notes/ln/LNString.h"

#include <QString>
#include <QStringDecoder>

#include <atomic>
#include <cstring>
#include <map>
#include <memory>

namespace {

std::atomic<bool> g_throwAll{false};

struct ThreadState {
    int depth = 0;
    std::map<LNSTATUS, QString> details;  // last detail per status
};

ThreadState& threadState() {
    thread_local ThreadState state;
    return state;
}

}  // namespace

namespace lnimpl {

LNSTATUS fail(const store::StoreError& error) {
    ThreadState& st = threadState();
    st.details[error.status] = error.detail;
    if (g_throwAll.load(std::memory_order_relaxed) && error.status != LNNOERROR &&
        error.status != LNWARN_PARTIAL_TEXT)
        throw LNSTATUS(error.status);
    return error.status;
}

void initThreadState() { ++threadState().depth; }

void termThreadState() {
    ThreadState& st = threadState();
    if (st.depth > 0) --st.depth;
    if (st.depth == 0) st.details.clear();
}

int threadInitDepth() { return threadState().depth; }

}  // namespace lnimpl

void LNSetThrowAllErrorsGlobal(LNBOOL flag) { g_throwAll.store(flag != 0); }

LNBOOL LNGetThrowAllErrorsGlobal() { return g_throwAll.load() ? TRUE : FALSE; }

LNINT LNGetErrorMessageText(LNSTATUS status, char* buffer, LNINT size, LNINT) {
    if (!buffer || size <= 0) return 0;
    const ThreadState& st = threadState();
    auto it = st.details.find(status);
    const QString detail = it == st.details.end() ? QString() : it->second;
    const QByteArray text = store::StoreError{status, detail}.message().toUtf8();
    LNINT n = std::min<LNINT>(LNINT(text.size()), size - 1);
    // Do not cut a UTF-8 sequence in half.
    while (n > 0 && n < text.size() && (uchar(text[n]) & 0xC0) == 0x80) --n;
    std::memcpy(buffer, text.constData(), size_t(n));
    buffer[n] = '\0';
    return n;
}

LNSTATUS LNStringTranslate(const char16_t* source, LNCHARSET charset, LNString* result, LNINT* lengthOut) {
    if (!result || charset != LNCHARSET_UNICODE) return lnimpl::fail(store::StatusTranslateFailed);
    if (!source) {
        *result = LNString();
        if (lengthOut) *lengthOut = 0;
        return LNNOERROR;
    }
    const QString wide = QString::fromUtf16(source);
    // An unpaired surrogate cannot be represented in the native text.
    for (qsizetype i = 0; i < wide.size(); ++i) {
        const QChar c = wide.at(i);
        if (c.isHighSurrogate()) {
            if (i + 1 >= wide.size() || !wide.at(i + 1).isLowSurrogate())
                return lnimpl::fail({store::StatusTranslateFailed, QStringLiteral("unpaired surrogate")});
            ++i;
        } else if (c.isLowSurrogate()) {
            return lnimpl::fail({store::StatusTranslateFailed, QStringLiteral("unpaired surrogate")});
        }
    }
    const QByteArray utf8 = wide.toUtf8();
    *result = LNString(std::string(utf8.constData(), size_t(utf8.size())));
    if (lengthOut) *lengthOut = LNINT(utf8.size());
    return LNNOERROR;
}

LNSTATUS LNStringTranslate(const LNString& source, LNCHARSET charset, LNINT bufferBytes, char16_t* buffer,
                           LNINT* lengthOut) {
    if (!buffer || bufferBytes < 2 || charset != LNCHARSET_UNICODE)
        return lnimpl::fail(store::StatusTranslateFailed);
    const std::string& bytes = source.bytes();
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString wide = decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (decoder.hasError()) return lnimpl::fail({store::StatusTranslateFailed, QStringLiteral("invalid UTF-8")});
    // Bounded to the buffer: never write past it; cut on a character boundary.
    qsizetype n = std::min<qsizetype>(wide.size(), bufferBytes / 2 - 1);
    if (n > 0 && n < wide.size() && wide.at(n - 1).isHighSurrogate()) --n;
    std::memcpy(buffer, wide.utf16(), size_t(n) * 2);
    buffer[n] = 0;
    if (lengthOut) *lengthOut = LNINT(n);
    return LNNOERROR;
}
