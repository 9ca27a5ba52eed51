#pragma once

#include <QByteArray>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace store {

// The bytes of a picture in the rich-text model. A reader either gives them at
// once or leaves a recipe that makes them the first time anyone asks (a Notes
// bitmap becomes PNG when a writer needs it, not whenever a note is read).
// Reads like the QByteArray it stands for; copies share what was made, and
// making is safe when several threads ask at once.
class PictureData {
public:
    using Maker = std::function<QByteArray()>;

    PictureData() = default;
    PictureData(QByteArray bytes) : m_bytes(std::move(bytes)) {}  // NOLINT: implicit, as a QByteArray
    // Bytes made by `maker` on first use; `maker` must not depend on anything
    // that changes or goes away (it may run on another thread, much later).
    static PictureData deferred(Maker maker);

    const QByteArray& bytes() const;
    operator const QByteArray&() const { return bytes(); }  // NOLINT: implicit on purpose
    // True while the bytes are still to be made.
    bool isDeferred() const;

    bool isEmpty() const { return bytes().isEmpty(); }
    qsizetype size() const { return bytes().size(); }
    const char* constData() const { return bytes().constData(); }
    bool startsWith(const char* prefix) const { return bytes().startsWith(prefix); }
    QByteArray left(qsizetype n) const { return bytes().left(n); }
    QByteArray mid(qsizetype pos, qsizetype n = -1) const { return bytes().mid(pos, n); }
    QByteArray toBase64() const { return bytes().toBase64(); }
    QByteArray toHex() const { return bytes().toHex(); }
    void clear() { *this = PictureData(); }

    friend bool operator==(const PictureData& a, const QByteArray& b) { return a.bytes() == b; }
    friend bool operator==(const PictureData& a, const PictureData& b) { return a.bytes() == b.bytes(); }

private:
    struct Pending {
        std::mutex mutex;
        std::atomic<bool> made{false};
        Maker maker;
        QByteArray bytes;
    };
    QByteArray m_bytes;
    std::shared_ptr<Pending> m_pending;
};

}  // namespace store
