#include "notes/dxl/DxlFormReader.h"

#include "notes/dxl/DxlItemReader.h"
#include "notes/dxl/SelectionFormula.h"

namespace store::dxl {

namespace {

// Elements whose content shows nowhere as static text of the form.
bool isHidden(QStringView name, const QXmlStreamAttributes& a) {
    static const char* const hidden[] = {"code", "popuptext", "computedtext", "picture", "imageref",
                                         "attachmentref", "objectref", "actionbar", "noteinfo", "updatedby",
                                         "wassignedby", "item", "globals", "fieldchoices", "keywords"};
    for (const char* h : hidden)
        if (name == QLatin1String(h)) return true;
    return name == QLatin1String("run") && a.value(QLatin1String("html")) == QLatin1String("true");
}

bool isBreak(QStringView name) {
    return name == QLatin1String("par") || name == QLatin1String("tablecell") || name == QLatin1String("table") ||
           name == QLatin1String("tablerow") || name == QLatin1String("break") || name == QLatin1String("section") ||
           name == QLatin1String("sectiontitle");
}

QString windowTitleFormula(QXmlStreamReader& xml) {
    QString text;
    while (!xml.atEnd()) {
        const auto t = xml.readNext();
        if (t == QXmlStreamReader::EndElement) break;
        if (t != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("formula") && text.isEmpty())
            text = DxlItemReader::elementText(xml);
        else
            xml.skipCurrentElement();
    }
    return text;
}

}  // namespace

std::shared_ptr<StoreForm> DxlFormReader::read(QXmlStreamReader& xml, bool subform) {
    auto form = std::make_shared<StoreForm>();
    form->subform = subform;
    const QXmlStreamAttributes attributes = xml.attributes();
    form->name = attributes.value(QLatin1String("name")).toString().trimmed();
    form->isDefault = attributes.value(QLatin1String("default")) == QLatin1String("true");
    for (const QString& alias : attributes.value(QLatin1String("alias")).toString().split(QLatin1Char('|')))
        if (!alias.trimmed().isEmpty()) form->aliases << alias.trimmed();

    FormFieldCollector fields;
    QString windowTitle;
    int depth = 1;
    while (!xml.atEnd() && depth > 0) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView n = xml.name();
            const QXmlStreamAttributes a = xml.attributes();
            if (n == QLatin1String("code") && a.value(QLatin1String("event")) == QLatin1String("windowtitle") &&
                depth == 1) {
                windowTitle = windowTitleFormula(xml);
                continue;
            }
            if (n == QLatin1String("field") || n == QLatin1String("sharedfieldref")) {
                fields.addField(a.value(QLatin1String("name")).toString());
                xml.skipCurrentElement();
                continue;
            }
            if (n == QLatin1String("subformref")) {
                fields.addSubform(a.value(QLatin1String("name")).toString());
                xml.skipCurrentElement();
                continue;
            }
            if (isHidden(n, a)) {
                xml.skipCurrentElement();
                continue;
            }
            if (isBreak(n)) fields.addBreak();
            ++depth;
        } else if (token == QXmlStreamReader::EndElement) {
            if (isBreak(xml.name())) fields.addBreak();
            --depth;
        } else if (token == QXmlStreamReader::Characters && depth > 1 && !xml.isWhitespace()) {
            fields.addText(xml.text().toString());
        } else if (token == QXmlStreamReader::Characters && depth > 1) {
            fields.addText(QStringLiteral(" "));
        }
    }
    if (form->name.isEmpty()) return nullptr;
    form->fields = fields.fields();
    form->subforms = fields.subforms();
    if (!windowTitle.trimmed().isEmpty()) {
        QString problem;
        form->windowTitle = SelectionFormula::parseValue(windowTitle, problem);
        if (!form->windowTitle) form->windowTitleProblem = problem;
    }
    return form;
}

}  // namespace store::dxl
