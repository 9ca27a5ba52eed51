#pragma once

// Builds small in-memory databases for the item tests and opens their
// documents through the Notes access layer.

#include <gtest/gtest.h>

#include <QDate>
#include <QTime>
#include <memory>
#include <ostream>

#include "convert/CNotesConverter.h"
#include "notes/ln/LNDatabase.h"
#include "notes/ln/LNDocument.h"
#include "notes/store/MemoryStore.h"

// Readable QString values in test failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace itemtest {

inline store::StoreItem text(const QString& name, const QStringList& values) {
    store::StoreItem it;
    it.name = name;
    it.type = values.size() > 1 ? store::TypeTextList : store::TypeText;
    it.texts = values;
    return it;
}

inline store::StoreItem number(const QString& name, double value) {
    store::StoreItem it;
    it.name = name;
    it.type = store::TypeNumber;
    it.numbers = {value};
    return it;
}

inline store::StoreItem richText(const QString& name) {
    store::StoreItem it;
    it.name = name;
    it.type = store::TypeComposite;
    return it;
}

inline store::NotesTime when(int y, int mo, int d, int h, int mi, int s) {
    store::NotesTime t;
    t.date = QDate(y, mo, d);
    t.time = QTime(h, mi, s);
    return t;
}

inline store::StoreItem dates(const QString& name, const std::vector<store::NotesTime>& values) {
    store::StoreItem it;
    it.name = name;
    it.type = store::TypeTime;
    it.times = values;
    return it;
}

// One database registered as "memory:NAME" and a converter that opened it.
class Database {
  public:
    explicit Database(const QString& name) : m_name(name), m_store(std::make_shared<store::MemoryStore>()) {}
    ~Database() { store::MemoryStore::unregisterStore(m_name); }

    store::MemoryStore& store() { return *m_store; }
    uint32_t add(std::vector<store::StoreItem> items, qint64 size = 100) {
        store::StoreNote n;
        n.items = std::move(items);
        n.size = size;
        return m_store->addNote(std::move(n));
    }

    // Registers the store and opens it; call after adding notes and folders.
    void open() {
        store::MemoryStore::registerStore(m_name, m_store);
        ASSERT_EQ(converter.Initialize(), 1);
        QStringList names;
        ASSERT_EQ(converter.EnumerateFolders("memory:" + m_name, "", names, 1), 1)
            << converter.GetLastErrorText().toStdString();
    }

    // The opened document of a note.
    LNDocument document(uint32_t noteId) {
        LNDocument doc;
        converter.database().GetDocument(noteId, &doc);
        doc.Open(0);
        return doc;
    }

    CNotesConverter converter;

  private:
    QString m_name;
    std::shared_ptr<store::MemoryStore> m_store;
};

}  // namespace itemtest
