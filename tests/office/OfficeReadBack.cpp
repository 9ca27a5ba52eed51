#include "OfficeReadBack.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

namespace {

QString run(const QString& program, const QStringList& args, int timeoutMs = 60000) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

namespace OfficeReadBack {

QString catdocText(const QString& docPath) {
    return run(QStringLiteral("catdoc"),
               {QStringLiteral("-d"), QStringLiteral("utf-8"), QStringLiteral("-w"), docPath});
}

QString antiwordText(const QString& docPath) {
    return run(QStringLiteral("antiword"), {QStringLiteral("-m"), QStringLiteral("UTF-8.txt"), docPath});
}

QStringList convertWithLibreOffice(const QStringList& docPaths, const QString& format,
                                   const QString& outDir) {
    QTemporaryDir profile;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), profile.path());
    p.setProcessEnvironment(env);
    QStringList args = {
        QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile.path()).toString(),
        QStringLiteral("--headless"),
        QStringLiteral("--norestore"),
        QStringLiteral("--convert-to"),
        format,
        QStringLiteral("--outdir"),
        outDir};
    args += docPaths;
    p.start(QStringLiteral(TESSELDOC_LO_PROGRAM_DIR "/soffice"), args);
    if (!p.waitForFinished(180000)) {
        p.kill();
        p.waitForFinished();
    }
    QStringList out;
    for (const QString& doc : docPaths) {
        const QString converted = outDir + QLatin1Char('/') + QFileInfo(doc).completeBaseName() +
                                  QLatin1Char('.') + format.section(QLatin1Char(':'), 0, 0);
        if (QFileInfo::exists(converted)) out << converted;
    }
    return out;
}

QByteArray fileHead(const QString& path, int bytes) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(bytes) : QByteArray();
}

}  // namespace OfficeReadBack
