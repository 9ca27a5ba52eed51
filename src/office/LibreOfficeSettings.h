#pragma once

#include <QString>

// How the LibreOffice engine starts its office and how long it lets calls run.
struct LibreOfficeSettings {
    // The soffice launcher.
    QString soffice = QStringLiteral(TESSELDOC_LO_PROGRAM_DIR "/soffice");
    // Private directory for the office's profile, HOME and temporary files;
    // empty: a fresh directory inside the process's private temporary directory.
    QString workDirectory;
    // Start-up and connection.
    int startTimeoutMs = 60000;
    // Any single call; calls that read or write a file get perMegabyteMs more per
    // megabyte of that file. A call still running then counts as hung: the
    // office is killed and the call fails.
    int callTimeoutMs = 10000;
    int perMegabyteMs = 2000;
    // Waiting for a quitting office before it is killed.
    int quitTimeoutMs = 5000;
};
