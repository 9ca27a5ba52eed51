#include "cli/CliApp.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    // A name that is not valid UTF-8 cannot be represented exactly: used as a
    // path it would name another file or folder. It is refused, never guessed.
    for (int i = 1; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        if (QFile::encodeName(QFile::decodeName(raw)) != raw) {
            std::fprintf(stderr,
                         "tesseldoc-cli: argument %d is not valid UTF-8 and cannot be represented exactly; "
                         "nothing was done\n",
                         i);
            return 2;
        }
    }
    QCoreApplication app(argc, argv);
    return CliApp().run(QCoreApplication::arguments());
}
