#include "notes/nsf/ViewEntries.h"

#include "notes/formula/EntryOrder.h"
#include "notes/nsf/ItemValueDecoder.h"
#include "notes/nsf/NsfDatabase.h"

#include <algorithm>

namespace nsf {

using store::formula::FormulaValue;

const FormulaValue* ViewEntries::Doc::value(int nameId) const {
    for (const auto& v : values)
        if (v.first == nameId) return &v.second;
    return nullptr;
}

ViewEntries::Source ViewEntries::source(const ViewDesign& view, bool isFolder) {
    if (isFolder) return Source::None;
    if (view.navigator && !view.selection) return Source::Navigator;
    if (view.selection) return Source::Selection;
    if (view.indexed) return Source::StoredIndex;
    return Source::None;
}

QString ViewEntries::note(const ViewDesign& view, bool isFolder) {
    if (isFolder) return QString();
    switch (source(view, isFolder)) {
        case Source::Selection: return QString();
        case Source::Navigator: return QStringLiteral("a navigator, which lists no documents");
        case Source::StoredIndex:
            return QStringLiteral("the selection formula cannot be evaluated (%1); the entries come from the "
                                  "stored view index, which may be older than the data")
                .arg(view.selectionProblem);
        case Source::None: break;
    }
    return QStringLiteral("the view lists no entries: %1; %2").arg(view.selectionProblem, view.indexProblem);
}

void ViewEntries::gatherValues() {
    m_gathered = true;
    for (const NsfDatabase::DesignEntry& d : m_db.designEntries()) {
        if (!d.view) continue;
        QStringList names;
        if (d.view->selection) names = d.view->selection->itemNames();
        if (!d.view->sortItem.isEmpty()) names << d.view->sortItem.toLower();
        for (const QString& n : names)
            if (!m_nameIds.contains(n)) m_nameIds.insert(n, int(m_nameIds.size()));
    }
    ItemValueDecoder decoder(m_db.lmbcs());
    const QString profilePrefix = QStringLiteral("$profile");
    const int attachmentsId = m_nameIds.value(store::formula::FormulaExpression::kAttachmentCount, -1);
    for (uint32_t id : m_db.documentIds()) {
        RawNote raw;
        QString e;
        if (m_db.readRaw(id, raw, e) != NoteReader::Result::Note) continue;
        Doc doc;
        doc.id = id;
        bool profile = false;
        int attachments = 0;
        for (const RawItem& item : raw.items) {
            if (!item.problem.isEmpty()) continue;
            const QString lower = item.name.toLower();
            if (item.type == NsfObject && lower == QLatin1String("$file")) ++attachments;
            if (lower == QLatin1String("$name") && (item.type == NsfText || item.type == NsfTextList)) {
                store::StoreItem value;
                decoder.decode(item, value);
                if (value.texts.value(0).startsWith(profilePrefix, Qt::CaseInsensitive)) profile = true;
            }
            const auto it = m_nameIds.constFind(lower);
            if (it == m_nameIds.constEnd() || doc.value(*it)) continue;
            if (item.type == NsfComposite) {
                doc.values.emplace_back(*it, FormulaValue::text(QString()));
                continue;
            }
            store::StoreItem value;
            decoder.decode(item, value);
            doc.values.emplace_back(*it, FormulaValue::fromItem(value));
        }
        if (attachmentsId >= 0) doc.values.emplace_back(attachmentsId, FormulaValue::number(attachments));
        // Profile documents keep settings; no view shows them.
        if (!profile) m_docs.push_back(std::move(doc));
    }
}

void ViewEntries::order(const ViewDesign& view, std::vector<uint32_t>& ids) {
    std::sort(ids.begin(), ids.end());
    if (view.sortItem.isEmpty() || ids.size() < 2) return;
    if (!m_gathered) gatherValues();
    const int nameId = m_nameIds.value(view.sortItem.toLower(), -1);
    std::vector<std::pair<const FormulaValue*, uint32_t>> keyed;
    keyed.reserve(ids.size());
    for (uint32_t id : ids) {
        const auto it = std::lower_bound(m_docs.begin(), m_docs.end(), id,
                                         [](const Doc& d, uint32_t v) { return d.id < v; });
        const FormulaValue* value = it != m_docs.end() && it->id == id && nameId >= 0 ? it->value(nameId) : nullptr;
        keyed.emplace_back(value, id);
    }
    store::formula::EntryOrder::sort(keyed, view.descending);
    for (size_t i = 0; i < ids.size(); ++i) ids[i] = keyed[i].second;
}

store::StoreError ViewEntries::entries(size_t index, std::vector<uint32_t>& ids) {
    ids.clear();
    const auto& design = m_db.designEntries();
    if (index >= design.size()) return {store::StatusIndexOutOfRange, QString()};
    const NsfDatabase::DesignEntry& d = design[index];
    static const ViewDesign none;
    const ViewDesign& view = d.view ? *d.view : none;
    if (d.isFolder) {
        const store::StoreError e = m_db.folderMembers(d.noteId, ids);
        if (!e.ok()) return e;
    } else {
        switch (source(view, false)) {
            case Source::Selection: {
                if (!m_gathered) gatherValues();
                for (const Doc& doc : m_docs) {
                    const bool selected = view.selection->selects([&](const QString& name) -> const FormulaValue* {
                        const int nameId = m_nameIds.value(name, -1);
                        return nameId < 0 ? nullptr : doc.value(nameId);
                    });
                    if (selected) ids.push_back(doc.id);
                }
                break;
            }
            case Source::StoredIndex:
                // Entries deleted since the index was written are left out.
                for (uint32_t id : view.indexIds) {
                    uint16_t cls = 0;
                    QString e;
                    if (m_db.peekClass(id, cls, e) == NoteReader::Result::Note) ids.push_back(id);
                }
                break;
            case Source::Navigator: break;
            case Source::None:
                return {store::StatusUnsupportedFormula, d.name + QStringLiteral(": ") + note(view, false)};
        }
    }
    order(view, ids);
    return {};
}

}  // namespace nsf
