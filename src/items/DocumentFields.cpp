#include "items/DocumentFields.h"

#include <QHash>
#include <QLocale>

namespace {

using store::StoreItem;
using store::StoreNote;

// Items Notes and mail transport keep for themselves, compared without case.
const char* const kBookkeeping[] = {
    "Form",          "MIME_Version",        "Content-Type", "Content-Transfer-Encoding",
    "Received",      "Return-Path",         "Message-ID",   "References",
    "In-Reply-To",   "X-Mailer",            "Encrypt",      "Sign",
    "SecretEncryptionKeys", "PublicEncryptionKeys", "Signature", "Revisions",
    "UpdatedBy",     "FolderRefs",          "SMTPOriginator", "RouteServers",
    "RouteTimes",    "ConversationID",
};

bool isBookkeeping(const StoreItem& item) {
    if (item.name.startsWith(QLatin1Char('$'))) return true;
    for (const char* name : kBookkeeping)
        if (item.name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return true;
    return false;
}

QString oneLine(QString text) {
    for (QChar& c : text)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) c = QLatin1Char(' ');
    return text.trimmed();
}

QString numberText(double value) {
    return QLocale::c().toString(value, 'g', 15);
}

QString textOf(const StoreItem& item) {
    QStringList parts;
    switch (item.type) {
        case store::TypeText:
        case store::TypeTextList:
            for (const QString& t : item.texts)
                if (!t.trimmed().isEmpty()) parts << ReadableName(t);
            break;
        case store::TypeNumber:
        case store::TypeNumberRange:
            for (const double n : item.numbers) parts << numberText(n);
            break;
        case store::TypeTime:
        case store::TypeTimeRange:
            for (const store::NotesTime& t : item.times)
                if (!t.isNull()) parts << t.text();
            for (const store::NotesTimePair& p : item.timeRanges)
                parts << p.lower.text() + QStringLiteral(" - ") + p.upper.text();
            break;
        default:
            break;
    }
    return parts.join(QStringLiteral("; "));
}

const StoreItem* richTextItem(const StoreNote& note, const QString& name) {
    for (const StoreItem& item : note.items)
        if (item.type == store::TypeComposite && item.name.compare(name, Qt::CaseInsensitive) == 0) return &item;
    return nullptr;
}

// Text, or a picture, table, attachment or link without text.
bool hasRichText(const StoreItem& item) {
    if (item.type != store::TypeComposite || !item.richText || item.unreadable) return false;
    if (!item.richText->plainText().trimmed().isEmpty()) return true;
    for (const store::RtBlock& block : item.richText->blocks) {
        if (block.table) return true;
        for (const store::RtRun& run : block.runs)
            if (run.kind != store::RtRun::Kind::Text && run.kind != store::RtRun::Kind::LineBreak &&
                run.kind != store::RtRun::Kind::Tab)
                return true;
    }
    return false;
}

QString firstText(const StoreNote& note, const char* name) {
    const StoreItem* item = note.item(QLatin1String(name));
    if (!item || (item->type != store::TypeText && item->type != store::TypeTextList)) return QString();
    for (const QString& t : item->texts)
        if (!oneLine(t).isEmpty()) return oneLine(t);
    return QString();
}

}  // namespace

QString ReadableName(const QString& text) {
    if (!text.startsWith(QLatin1String("CN="), Qt::CaseInsensitive)) return text;
    QStringList parts = text.split(QLatin1Char('/'));
    for (QString& part : parts) {
        const int eq = part.indexOf(QLatin1Char('='));
        // Only the attribute names of a hierarchical name are dropped.
        if (eq > 0 && eq <= 2) part = part.mid(eq + 1);
    }
    return parts.join(QLatin1Char('/'));
}

std::vector<FieldRow> ReadFieldRows(const StoreNote& note, const store::StoreForm* form) {
    struct Row {
        const StoreItem* item;
        QString value;
    };
    std::vector<Row> stored;
    for (const StoreItem& item : note.items) {
        if (item.unreadable || isBookkeeping(item)) continue;
        // A Body kept as text is the document's body, not one of its fields.
        if (item.name.compare(QLatin1String("Body"), Qt::CaseInsensitive) == 0) continue;
        const QString value = textOf(item);
        if (value.trimmed().isEmpty()) continue;
        // An item stored twice under one name shows once.
        bool seen = false;
        for (const Row& r : stored) seen = seen || r.item->name.compare(item.name, Qt::CaseInsensitive) == 0;
        if (!seen) stored.push_back({&item, value});
    }
    std::vector<FieldRow> rows;
    std::vector<bool> used(stored.size(), false);
    if (form) {
        for (const store::StoreFormField& field : form->fields) {
            for (size_t i = 0; i < stored.size(); ++i) {
                if (used[i] || stored[i].item->name.compare(field.name, Qt::CaseInsensitive) != 0) continue;
                used[i] = true;
                rows.push_back({field.label.isEmpty() ? stored[i].item->name : field.label, stored[i].value});
                break;
            }
        }
    }
    for (size_t i = 0; i < stored.size(); ++i)
        if (!used[i]) rows.push_back({stored[i].item->name, stored[i].value});
    if (rows.empty() && RichTextItemNames(note, form).isEmpty()) {
        const QString formName = form ? form->name : firstText(note, "Form");
        if (!formName.isEmpty()) rows.push_back({QStringLiteral("Form"), formName});
        if (const StoreItem* editors = note.item(QStringLiteral("$UpdatedBy")); editors && !editors->unreadable) {
            QStringList names;
            for (const QString& t : editors->texts)
                if (!t.trimmed().isEmpty()) names << ReadableName(t.trimmed());
            if (!names.isEmpty()) rows.push_back({QStringLiteral("Last changed by"), names.last()});
        }
        if (!note.modified.isNull()) rows.push_back({QStringLiteral("Last changed"), note.modified.text()});
    }
    return rows;
}

QStringList RichTextItemNames(const StoreNote& note, const store::StoreForm* form) {
    QStringList names;
    if (const StoreItem* body = richTextItem(note, QStringLiteral("Body")); body && hasRichText(*body))
        names << body->name;
    if (form) {
        for (const store::StoreFormField& field : form->fields) {
            const StoreItem* item = richTextItem(note, field.name);
            if (!item || !hasRichText(*item) || item->name.startsWith(QLatin1Char('$'))) continue;
            if (!names.contains(item->name, Qt::CaseInsensitive)) names << item->name;
        }
    }
    for (const StoreItem& item : note.items) {
        if (!hasRichText(item) || item.name.startsWith(QLatin1Char('$'))) continue;
        if (names.contains(item.name, Qt::CaseInsensitive)) continue;
        names << item.name;
    }
    return names;
}

std::shared_ptr<const store::RichTextDoc> ComposeRichTextItems(const StoreNote& note, const store::StoreForm* form) {
    const QStringList names = RichTextItemNames(note, form);
    if (names.isEmpty()) return nullptr;
    auto doc = std::make_shared<store::RichTextDoc>();
    for (const QString& name : names) {
        const StoreItem* item = richTextItem(note, name);
        if (names.size() > 1) {
            store::RtBlock heading;
            heading.style.spaceBefore = doc->blocks.empty() ? 0 : 240;
            heading.style.spaceAfter = 120;
            store::RtRun run;
            const store::StoreFormField* field = form ? form->field(name) : nullptr;
            run.text = field && !field->label.isEmpty() ? field->label : name;
            run.font.bold = true;
            run.font.sizePt = 12.0;
            heading.runs.push_back(run);
            doc->blocks.push_back(std::move(heading));
        }
        doc->blocks.insert(doc->blocks.end(), item->richText->blocks.begin(), item->richText->blocks.end());
        doc->rawRecords += item->richText->rawRecords;
    }
    return doc;
}

QString WindowTitle(const StoreNote& note, const store::StoreForm& form, bool* readsValue) {
    if (readsValue) *readsValue = false;
    if (!form.windowTitle) return QString();
    using store::formula::FormulaValue;
    QHash<QString, FormulaValue> values;
    bool anyValue = false;
    for (const QString& name : form.windowTitle->itemNames()) {
        if (name == store::formula::FormulaExpression::kAttachmentCount) {
            values.insert(name, FormulaValue::number(double(note.attachments.size())));
            continue;
        }
        const StoreItem* item = note.item(name);
        if (!item || item->unreadable) continue;
        const FormulaValue value = FormulaValue::fromItem(*item);
        for (const QString& t : value.asTexts()) anyValue = anyValue || !t.trimmed().isEmpty();
        values.insert(name, value);
    }
    const FormulaValue result = form.windowTitle->evaluate([&values](const QString& name) -> const FormulaValue* {
        auto it = values.constFind(name);
        return it == values.constEnd() ? nullptr : &it.value();
    });
    if (readsValue) *readsValue = anyValue;
    QStringList parts;
    for (const QString& t : result.asTexts())
        if (!oneLine(t).isEmpty()) parts << oneLine(t);
    return ReadableName(parts.join(QStringLiteral(", ")));
}

QString DocumentTitle(const StoreNote& note, const store::StoreForm* form, const QString& columnItem) {
    QString constantTitle;
    if (form) {
        bool readsValue = false;
        const QString title = WindowTitle(note, *form, &readsValue);
        if (!title.isEmpty() && readsValue) return title;
        constantTitle = title;
    }
    for (const char* name : {"Subject", "Title", "Topic", "Name"}) {
        const QString text = firstText(note, name);
        if (!text.isEmpty()) return ReadableName(text);
    }
    if (!columnItem.isEmpty()) {
        if (const StoreItem* item = note.item(columnItem); item && !item->unreadable) {
            const QString text = oneLine(textOf(*item));
            if (!text.isEmpty()) return text;
        }
    }
    return constantTitle;
}

QString ContactDisplayName(const StoreNote& note) {
    QString name = firstText(note, "FullNameInput");
    if (!name.isEmpty()) return name;
    name = firstText(note, "FullName");
    if (!name.isEmpty()) return ReadableName(name).section(QLatin1Char('/'), 0, 0).trimmed();
    const QString first = firstText(note, "FirstName");
    const QString last = firstText(note, "LastName");
    name = (first + QLatin1Char(' ') + last).trimmed();
    if (!name.isEmpty()) return name;
    return firstText(note, "CompanyName");
}
