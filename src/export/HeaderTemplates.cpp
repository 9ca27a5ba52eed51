#include "export/HeaderTemplates.h"

#include <QFile>

static void ensureTemplateResources() {
    // The resources sit in a static library: reference them so the linker keeps them.
    static const bool done = [] {
        Q_INIT_RESOURCE(core_templates);
        return true;
    }();
    (void)done;
}

int TemplateIdForRows(int rows) {
    switch (rows) {
        case 1:
            return 249;
        case 2:
            return 254;
        case 3:
            return 250;
        case 4:
            return 251;
        case 5:
            return 252;
        case 6:
            return 253;
        case 7:
            return 248;
        case 8:
            return 255;
        case 9:
            return 256;
        default:
            return rows;
    }
}

QString LoadRtfTemplate(int id) {
    ensureTemplateResources();
    QFile file(QStringLiteral(":/RTF/%1").arg(id));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(file.readAll());
}
