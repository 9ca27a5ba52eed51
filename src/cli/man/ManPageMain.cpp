// tesseldoc-cli-man VERSION DATE FILE: writes the manual page of tesseldoc-cli
// from the texts its --help prints. Run by the build, not installed.
#include "cli/CliHelp.h"

#include <QFile>
#include <QString>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tesseldoc-cli-man VERSION YYYY-MM-DD FILE\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[3]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "tesseldoc-cli-man: cannot write %s\n", argv[3]);
        return 1;
    }
    const QByteArray page = CliHelp::manPage(QString::fromUtf8(argv[1]), QString::fromUtf8(argv[2])).toUtf8();
    if (file.write(page) != page.size() || !file.flush()) {
        std::fprintf(stderr, "tesseldoc-cli-man: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
