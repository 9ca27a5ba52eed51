#include "notes/nsf/FormDesign.h"

#include "notes/nsf/CdRecordReader.h"
#include "notes/nsf/CompiledFormula.h"
#include "notes/nsf/ItemValueDecoder.h"
#include "notes/nsf/LmbcsConverter.h"
#include "notes/nsf/RawNote.h"

namespace nsf {

namespace {

constexpr uint16_t kTypeFormula = 0x0600;

enum : uint8_t {
    SigText = 0x85,
    SigBidiText = 0xE4,
    SigParagraph = 0x81,
    SigField = 0x8A,
    SigTableBegin = 0xA3,
    SigTableCell = 0xA4,
    SigTableEnd = 0xA5,
    SigNestedTableBegin = 0xCF,
    SigNestedTableCell = 0xD0,
    SigNestedTableEnd = 0xD1,
};

constexpr size_t kFieldFixedSize = 36;

QStringList texts(const RawItem& item, LmbcsConverter& lmbcs) {
    store::StoreItem decoded;
    ItemValueDecoder(lmbcs).decode(item, decoded);
    return decoded.unreadable ? QStringList() : decoded.texts;
}

void walkBody(ByteView part, LmbcsConverter& lmbcs, store::FormFieldCollector& fields) {
    CdRecordReader reader(part);
    CdRecordReader::Record r;
    while (reader.next(r)) {
        switch (r.signature) {
            case SigText:
            case SigBidiText: {
                // A NUL within a run breaks the line (text() makes it a newline).
                const QStringList lines = lmbcs.text(r.bytes.from(8)).split(QLatin1Char('\n'));
                for (int i = 0; i < lines.size(); ++i) {
                    if (i) fields.addBreak();
                    fields.addText(lines[i]);
                }
                break;
            }
            case SigField:
                if (r.headerSize == 4) fields.addField(FormDesign::fieldName(r.bytes, lmbcs));
                break;
            case SigParagraph:
            case SigTableBegin:
            case SigTableCell:
            case SigTableEnd:
            case SigNestedTableBegin:
            case SigNestedTableCell:
            case SigNestedTableEnd: fields.addBreak(); break;
            default: break;
        }
    }
}

}  // namespace

QString FormDesign::fieldName(ByteView record, LmbcsConverter& lmbcs) {
    if (!record.has(0, kFieldFixedSize)) return QString();
    const uint64_t formulas = uint64_t(record.u16(22)) + record.u16(24) + record.u16(28);
    const ByteView name = record.sub(kFieldFixedSize + formulas, record.u16(30));
    return name.empty() ? QString() : lmbcs.text(name).trimmed();
}

std::shared_ptr<store::StoreForm> FormDesign::read(const RawNote& raw, LmbcsConverter& lmbcs) {
    auto form = std::make_shared<store::StoreForm>();
    if (const RawItem* flags = raw.item(QStringLiteral("$Flags")); flags && flags->problem.isEmpty()) {
        const QString f = texts(*flags, lmbcs).value(0);
        // Pages, framesets, image and file resources, shared actions, style sheets.
        for (const QChar c : QStringLiteral("W#igy="))
            if (f.contains(c)) return nullptr;
        form->subform = f.contains(QLatin1Char('U'));
    }
    const RawItem* title = raw.item(QStringLiteral("$TITLE"));
    if (!title || !title->problem.isEmpty()) return nullptr;
    QStringList names;
    for (const QString& t : texts(*title, lmbcs))
        for (const QString& part : t.split(QLatin1Char('|')))
            if (!part.trimmed().isEmpty()) names << part.trimmed();
    if (names.isEmpty()) return nullptr;
    form->name = names.takeFirst();
    form->isDefault = (raw.noteClass & 0x8000) != 0;
    form->aliases = names;

    store::FormFieldCollector fields;
    for (const RawItem& item : raw.items)
        if (item.type == NsfComposite && item.problem.isEmpty() &&
            item.name.compare(QLatin1String("$Body"), Qt::CaseInsensitive) == 0)
            walkBody(item.value, lmbcs, fields);
    form->fields = fields.fields();

    if (const RawItem* wt = raw.item(QStringLiteral("$WindowTitle")); wt && wt->problem.isEmpty()) {
        if (wt->type != kTypeFormula) {
            form->windowTitleProblem = QStringLiteral("the window title is not a compiled formula");
        } else {
            QString problem;
            form->windowTitle = CompiledFormula::value(wt->value, lmbcs, problem);
            if (!form->windowTitle) form->windowTitleProblem = problem;
        }
    }
    return form;
}

}  // namespace nsf
