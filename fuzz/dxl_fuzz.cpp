// libFuzzer target for Notes XML. Input starting with "<" (after an optional
// byte-order mark and blanks) is a whole file: it is opened as a DXL store,
// every view and folder is listed, every document loaded (items, rich text)
// and every attachment detached. Any other input is a selection formula: it
// is parsed and evaluated against a small fixed document.
#include "notes/dxl/DxlStore.h"
#include "notes/dxl/SelectionFormula.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <unistd.h>

using namespace store;
using namespace store::dxl;
using store::formula::FormulaValue;

namespace {

QString scratchDir() {
    static const QString dir = [] {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        const QString d = base + QStringLiteral("/dxl-fuzz-%1").arg(::getpid());
        QDir().mkpath(d);
        return d;
    }();
    return dir;
}

void fuzzFile(const uint8_t* data, size_t size) {
    const QString dir = scratchDir();
    const QString path = dir + QStringLiteral("/input.dxl");
    {
        FILE* f = std::fopen(QFile::encodeName(path).constData(), "wb");
        if (!f) return;
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    StoreError error;
    std::unique_ptr<DxlStore> s = DxlStore::open(path, error);
    if (!s) return;
    const std::vector<StoreFolderInfo> folders = s->folders();
    for (size_t i = 0; i < folders.size(); ++i) {
        std::vector<uint32_t> ids;
        (void)s->folderEntries(i, ids);
    }
    const QString target = dir + QStringLiteral("/attachment");
    int loaded = 0;
    for (uint32_t id : s->allDocumentIds()) {
        if (++loaded > 64) break;
        StoreNote note;
        if (!s->loadNote(id, note).ok()) continue;
        for (const StoreItem& item : note.items)
            if (item.richText) (void)item.richText->plainText();
        for (const StoreAttachment& a : note.attachments) {
            if (!a.decodable) continue;
            (void)s->detachAttachment(id, a, target);
            QFile::remove(target);
        }
    }
}

void fuzzFormula(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QString problem;
    const std::unique_ptr<SelectionFormula> formula = SelectionFormula::parse(text, problem);
    if (!formula) return;
    static const FormulaValue subject = FormulaValue::texts({QStringLiteral("Hello"), QStringLiteral(" a  b ")});
    static const FormulaValue form = FormulaValue::text(QStringLiteral("Memo"));
    static const FormulaValue size_ = FormulaValue::numbers({1.5, -2, 1e300});
    static const FormulaValue date = FormulaValue::times({NotesTime()});
    (void)formula->selects([](const QString& name) -> const FormulaValue* {
        if (name.compare(QLatin1String("Subject"), Qt::CaseInsensitive) == 0) return &subject;
        if (name.compare(QLatin1String("Form"), Qt::CaseInsensitive) == 0) return &form;
        if (name.compare(QLatin1String("Size"), Qt::CaseInsensitive) == 0) return &size_;
        if (name.compare(QLatin1String("PostedDate"), Qt::CaseInsensitive) == 0) return &date;
        return nullptr;
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size_t at = 0;
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) at = 3;
    while (at < size && (data[at] == ' ' || data[at] == '\n' || data[at] == '\r' || data[at] == '\t')) ++at;
    if (at < size && data[at] == '<')
        fuzzFile(data, size);
    else
        fuzzFormula(data, size);
    return 0;
}
