#include "richtext/BmpDecoderModule.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

#include <cstdio>
#include <memory>

#ifndef TESSELDOC_PRIVATE_LIBDIR
#define TESSELDOC_PRIVATE_LIBDIR "lib/tesseldoc"
#endif

namespace rtf {
namespace {

struct Loaded {
    std::unique_ptr<QLibrary> library;  // the module stays loaded while the process runs
    TesseldocDecodeBmp decode = nullptr;
    QString error;
};

QStringList candidates() {
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (program.isEmpty()) return {};
    QDir dir = QFileInfo(program).absoluteDir();
    const QString file = QStringLiteral(TESSELDOC_BMP_MODULE_FILE);
    QStringList out{QDir::cleanPath(dir.absoluteFilePath(QStringLiteral("../") +
                                                         QStringLiteral(TESSELDOC_PRIVATE_LIBDIR) + u'/' + file))};
    for (int up = 0; up <= 3; ++up) {
        out << dir.absoluteFilePath(file);
        if (!dir.cdUp()) break;
    }
    return out;
}

Loaded load() {
    Loaded loaded;
    const QStringList places = candidates();
    for (const QString& path : places) {
        if (!QFile::exists(path)) continue;
        auto library = std::make_unique<QLibrary>(path);
        if (!library->load()) {
            loaded.error = library->errorString();
            continue;
        }
        loaded.decode = reinterpret_cast<TesseldocDecodeBmp>(library->resolve(TESSELDOC_DECODE_BMP_SYMBOL));
        if (loaded.decode) {
            loaded.library = std::move(library);
            loaded.error.clear();
            return loaded;
        }
        loaded.error = path + QStringLiteral(": no ") + QStringLiteral(TESSELDOC_DECODE_BMP_SYMBOL);
        library->unload();
    }
    if (loaded.error.isEmpty())
        loaded.error = QStringLiteral(TESSELDOC_BMP_MODULE_FILE) + QStringLiteral(" not found (looked in ") +
                       places.join(QStringLiteral(", ")) + u')';
    std::fprintf(stderr, "BMP pictures are not converted: %s\n", qPrintable(loaded.error));
    return loaded;
}

const Loaded& loaded() {
    static const Loaded once = load();
    return once;
}

}  // namespace

TesseldocDecodeBmp BmpDecoderModule::decoder() { return loaded().decode; }

QString BmpDecoderModule::loadError() { return loaded().error; }

}  // namespace rtf
