#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <vector>

// What the reader makes of one sample file, in the terms of ground-truth.tsv.
struct NsfSampleReading {
    QString openError;
    int ods = 0;
    int headerSize = 0;
    int notesResolved = 0;
    int deletionStubs = 0;
    int reserved = 0;
    QMap<int, int> classCounts;
    int docsClass1 = 0;
    int profileDocs = 0;
    int sbIdTableSize = -1;
    bool sbIdTableEqual = false;
    QStringList viewTitles;
    QStringList folderTitles;
    QStringList folderMembers;  // "title={0x926,...}"
    QMap<QString, int> forms;
    QStringList attachments;    // "name:size:compN:status"
    QStringList noteErrors;

    static NsfSampleReading read(const QString& path);
};

// One row of ground-truth.tsv by column name.
struct GroundTruthRow {
    QMap<QString, QString> cells;
    QString operator[](const QString& column) const { return cells.value(column); }
};

// Samples folder and its ground truth; empty when the samples are absent.
struct NsfSamples {
    static QString dir();
    static std::vector<GroundTruthRow> groundTruth();
    // Splits a cell on unescaped ';' and undoes the escapes.
    static QStringList splitCell(const QString& cell);
    // Cached reading of a sample (relative path as in the manifest).
    static const NsfSampleReading& reading(const QString& relativePath);
};
