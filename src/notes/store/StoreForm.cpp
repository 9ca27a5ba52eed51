#include "notes/store/StoreForm.h"

#include <algorithm>

namespace store {

namespace {

QString bare(const QString& name) {
    QString n = name.trimmed();
    if (n.size() > 2 && n.startsWith(QLatin1Char('(')) && n.endsWith(QLatin1Char(')')))
        n = n.mid(1, n.size() - 2).trimmed();
    return n;
}

QString withoutSpaces(const QString& name) {
    QString n = bare(name);
    n.remove(QLatin1Char(' '));
    return n;
}

}  // namespace

bool StoreForm::isNamed(const QString& formItem) const {
    const QString wanted = bare(formItem);
    if (wanted.isEmpty()) return false;
    if (bare(name).compare(wanted, Qt::CaseInsensitive) == 0) return true;
    for (const QString& alias : aliases)
        if (bare(alias).compare(wanted, Qt::CaseInsensitive) == 0) return true;
    return false;
}

const StoreFormField* StoreForm::field(const QString& fieldName) const {
    for (const StoreFormField& f : fields)
        if (f.name.compare(fieldName, Qt::CaseInsensitive) == 0) return &f;
    return nullptr;
}

std::shared_ptr<const StoreForm> FindForm(const std::vector<std::shared_ptr<const StoreForm>>& forms,
                                          const QString& formItem, const QStringList& itemNames) {
    for (const auto& form : forms)
        if (!form->subform && form->isNamed(formItem)) return form;
    const QString wanted = withoutSpaces(formItem);
    if (!wanted.isEmpty()) {
        for (const auto& form : forms) {
            if (form->subform) continue;
            if (withoutSpaces(form->name).compare(wanted, Qt::CaseInsensitive) == 0) return form;
            for (const QString& alias : form->aliases)
                if (withoutSpaces(alias).compare(wanted, Qt::CaseInsensitive) == 0) return form;
        }
    }
    for (const auto& form : forms)
        if (!form->subform && form->isDefault) return form;
    std::shared_ptr<const StoreForm> best;
    int bestCount = 0;
    bool tie = false;
    for (const auto& form : forms) {
        if (form->subform) continue;
        int count = 0;
        for (const QString& name : itemNames) count += form->field(name) ? 1 : 0;
        if (count > bestCount) {
            best = form;
            bestCount = count;
            tie = false;
        } else if (count == bestCount && count > 0) {
            tie = true;
        }
    }
    if (!best || tie || bestCount < 3 || bestCount * 5 < itemNames.size() * 4) return nullptr;
    return best;
}

QString FormFieldCollector::cleanLabel(const QString& text) {
    QString label = text.simplified();
    // "Gender*:", "Name :", the full-width colon of East Asian forms.
    static const QString trailing = QString::fromUtf16(u":*\uFF1A\uFF0A ");
    while (!label.isEmpty() && trailing.contains(label.back())) label.chop(1);
    while (!label.isEmpty() && label.front() == QLatin1Char('*')) label.remove(0, 1);
    label = label.trimmed();
    if (label.size() > kMaxLabelLength) return QString();
    return label;
}

void FormFieldCollector::endStretch() {
    const QString text = m_stretch.simplified();
    m_stretch.clear();
    if (text.isEmpty()) return;
    const bool colon = text.endsWith(QLatin1Char(':')) || text.endsWith(QChar(0xFF1A));
    if (m_afterField && !colon) return;
    m_label = text;
}

void FormFieldCollector::addText(const QString& text) { m_stretch += text; }

void FormFieldCollector::addBreak() {
    endStretch();
    m_afterField = false;
}

void FormFieldCollector::addField(const QString& name) {
    endStretch();
    const QString trimmed = name.trimmed();
    if (!trimmed.isEmpty()) {
        bool seen = false;
        for (const StoreFormField& f : m_fields) seen = seen || f.name.compare(trimmed, Qt::CaseInsensitive) == 0;
        if (!seen) m_fields.push_back({trimmed, cleanLabel(m_label)});
    }
    m_label.clear();
    m_afterField = true;
}

void FormFieldCollector::addSubform(const QString& name) {
    endStretch();
    if (!name.trimmed().isEmpty()) m_subforms.push_back({m_fields.size(), name.trimmed()});
    m_label.clear();
    m_afterField = false;
}

namespace {

// The fields of `form` with its subforms' fields in place; `open` holds the
// forms being expanded, so that a subform including itself stops.
std::vector<StoreFormField> expanded(const StoreForm& form, const std::vector<std::shared_ptr<StoreForm>>& forms,
                                     std::vector<const StoreForm*>& open) {
    if (std::find(open.begin(), open.end(), &form) != open.end()) return {};
    open.push_back(&form);
    std::vector<StoreFormField> out;
    auto add = [&out](const StoreFormField& f) {
        for (const StoreFormField& g : out)
            if (g.name.compare(f.name, Qt::CaseInsensitive) == 0) return;
        out.push_back(f);
    };
    size_t next = 0;
    for (size_t i = 0; i <= form.fields.size(); ++i) {
        for (; next < form.subforms.size() && form.subforms[next].position <= i; ++next) {
            for (const auto& candidate : forms) {
                if (!candidate->subform || !candidate->isNamed(form.subforms[next].name)) continue;
                for (const StoreFormField& f : expanded(*candidate, forms, open)) add(f);
                break;
            }
        }
        if (i < form.fields.size()) add(form.fields[i]);
    }
    open.pop_back();
    return out;
}

}  // namespace

void ExpandSubforms(std::vector<std::shared_ptr<StoreForm>>& forms) {
    std::vector<std::vector<StoreFormField>> results;
    for (const auto& form : forms) {
        std::vector<const StoreForm*> open;
        results.push_back(expanded(*form, forms, open));
    }
    for (size_t i = 0; i < forms.size(); ++i) {
        forms[i]->fields = std::move(results[i]);
        forms[i]->subforms.clear();
    }
}

}  // namespace store
