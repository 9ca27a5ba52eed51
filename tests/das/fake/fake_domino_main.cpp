// fake-domino: the loopback stand-in for a Domino server's data service, for
// trying the program by hand:
//   fake-domino --port 0 --db demo-mail.nsf=res/demo/demo-mail.dxl [--auth basic|session|none]
//               [--user NAME --password PASS] [--level 9.0.1|fp8|fp9] [--limit N]
//               [--cert cert.pem --key key.pem]
// It prints "port N" and serves until stopped.

#include "fake/FakeDomino.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    fakedomino::Profile profile;
    quint16 port = 0;
    std::vector<std::pair<QString, QString>> dbs;
    fakedomino::User user{QStringLiteral("Ann Lee"), QString()};
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const QString value = i + 1 < args.size() ? args[i + 1] : QString();
        if (a == QLatin1String("--port")) {
            port = quint16(value.toUInt());
            ++i;
        } else if (a == QLatin1String("--db")) {
            const int eq = value.indexOf(QLatin1Char('='));
            if (eq <= 0) {
                err << "fake-domino: --db NAME=FILE\n";
                return 2;
            }
            dbs.emplace_back(value.left(eq), value.mid(eq + 1));
            ++i;
        } else if (a == QLatin1String("--auth")) {
            profile.auth = value == QLatin1String("basic")     ? fakedomino::Auth::Basic
                           : value == QLatin1String("session") ? fakedomino::Auth::Session
                                                               : fakedomino::Auth::None;
            ++i;
        } else if (a == QLatin1String("--user")) {
            user.name = value;
            ++i;
        } else if (a == QLatin1String("--password")) {
            user.password = value;
            ++i;
        } else if (a == QLatin1String("--level")) {
            profile.level = value == QLatin1String("9.0.1") ? fakedomino::Level::V901
                            : value == QLatin1String("fp8") ? fakedomino::Level::FP8
                                                            : fakedomino::Level::FP9;
            ++i;
        } else if (a == QLatin1String("--limit")) {
            profile.maxViewEntries = value.toInt();
            ++i;
        } else if (a == QLatin1String("--cert") || a == QLatin1String("--key")) {
            QFile f(value);
            if (!f.open(QIODevice::ReadOnly)) {
                err << "fake-domino: cannot read " << value << "\n";
                return 2;
            }
            (a == QLatin1String("--cert") ? profile.certificatePem : profile.keyPem) = f.readAll();
            ++i;
        } else {
            err << "usage: fake-domino --port N --db NAME=FILE [--auth basic|session|none] [--user U --password P]"
                   " [--level 9.0.1|fp8|fp9] [--limit N] [--cert PEM --key PEM]\n";
            return 2;
        }
    }
    profile.users.push_back(user);
    fakedomino::Server server(profile);
    for (const auto& [name, file] : dbs) {
        QString error;
        if (!server.addDatabaseFile(name, file, &error)) {
            err << "fake-domino: " << file << ": " << error << "\n";
            return 1;
        }
    }
    const quint16 bound = server.start(port);
    if (!bound) {
        err << "fake-domino: cannot listen on port " << port << "\n";
        return 1;
    }
    out << "port " << bound << "\n";
    out.flush();
    return app.exec();
}
