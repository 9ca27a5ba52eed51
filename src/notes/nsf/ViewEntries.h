#pragma once

#include "notes/formula/FormulaValue.h"
#include "notes/nsf/ViewDesign.h"
#include "notes/store/StoreStatus.h"

#include <QHash>
#include <QStringList>

#include <vector>

namespace nsf {

class NsfDatabase;

// The entries of the views and folders of one database. A view's entries are
// the documents its selection selects, or else the IDs of its stored index;
// a folder's are its member table's. Either way they are ordered by the
// view's sorted column, ties by note ID. The values selections and sorting
// read are gathered in one pass over the documents, the first time a view
// needs them.
class ViewEntries {
public:
    explicit ViewEntries(NsfDatabase& db) : m_db(db) {}

    // Where a view's entries come from, and what the listing should say. A
    // navigator has none and needs none.
    enum class Source { Selection, StoredIndex, Navigator, None };
    static Source source(const ViewDesign& view, bool isFolder);
    // The text for the listing: a warning for a stored index, the reason for
    // no entries, what a navigator is; empty when the selection is evaluated.
    static QString note(const ViewDesign& view, bool isFolder);

    // The entries of design entry `index` of the database.
    store::StoreError entries(size_t index, std::vector<uint32_t>& ids);

private:
    struct Doc {
        uint32_t id = 0;
        std::vector<std::pair<int, store::formula::FormulaValue>> values;  // by name id
        const store::formula::FormulaValue* value(int nameId) const;
    };
    void gatherValues();
    void order(const ViewDesign& view, std::vector<uint32_t>& ids);

    NsfDatabase& m_db;
    bool m_gathered = false;
    QHash<QString, int> m_nameIds;  // lower-cased item names the views read
    std::vector<Doc> m_docs;        // non-profile documents, by note ID
    QString m_gatherProblem;
};

}  // namespace nsf
