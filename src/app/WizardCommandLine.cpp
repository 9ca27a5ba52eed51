#include "app/WizardCommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <cstring>

bool WizardCommandLine::asksHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"-h", "--help", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0) return true;
    return false;
}

QStringList WizardCommandLine::databases(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Converts the items of Lotus Notes databases into Word documents. The databases "
                       "given are listed in Step 1."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("DATABASE"), QStringLiteral("A .nsf or .dxl file."),
                                 QStringLiteral("[DATABASE...]"));
    parser.process(app);
    QStringList paths;
    for (const QString& argument : parser.positionalArguments()) paths << absolutePath(argument);
    return paths;
}

QString WizardCommandLine::absolutePath(const QString& argument) {
    QString path = argument;
    if (argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) path = QUrl(argument).toLocalFile();
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}
