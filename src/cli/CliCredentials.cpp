#include "cli/CliCredentials.h"

#include <QFile>

#include <cstdio>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

QString readLine(bool echo) {
    termios saved{};
    const bool tty = ::isatty(0);
    if (tty && !echo) {
        ::tcgetattr(0, &saved);
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(0, TCSANOW, &quiet);
    }
    std::string line;
    int c;
    while ((c = std::getchar()) != EOF && c != '\n') line.push_back(char(c));
    if (tty && !echo) {
        ::tcsetattr(0, TCSANOW, &saved);
        std::fputs("\n", stderr);
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return QString::fromStdString(line);
}

}  // namespace

bool CliCredentials::credentials(const QString& serverName, const QString& url, bool, das::Credentials& c) {
    if (!m_user.isEmpty()) c.user = m_user;
    if (c.user.isEmpty()) c.user = qEnvironmentVariable("TESSELDOC_USER");
    const bool terminal = ::isatty(0) && ::isatty(2);
    if (c.user.isEmpty()) {
        if (!terminal) return false;
        std::fprintf(stderr, "Name for %s (%s): ", qPrintable(serverName), qPrintable(url));
        std::fflush(stderr);
        c.user = readLine(true);
        if (c.user.isEmpty()) return false;
    }
    if (!m_passwordFile.isEmpty()) {
        QFile f(m_passwordFile);
        if (!f.open(QIODevice::ReadOnly)) return false;
        QByteArray line = f.readLine();
        while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
        c.password = QString::fromUtf8(line);
        return true;
    }
    if (qEnvironmentVariableIsSet("TESSELDOC_PASSWORD")) {
        c.password = qEnvironmentVariable("TESSELDOC_PASSWORD");
        return true;
    }
    if (!terminal) return false;
    std::fprintf(stderr, "Password of %s for %s: ", qPrintable(c.user), qPrintable(serverName));
    std::fflush(stderr);
    c.password = readLine(false);
    return true;
}
