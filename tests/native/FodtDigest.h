#pragma once

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

// What a person sees of a document, read from the flat OpenDocument text
// LibreOffice converts it to: page size, paragraphs, tables, character
// formats and pictures. Two engines' documents are compared through it.
struct FodtDigest {
    bool valid = false;
    double pageWidthMm = 0, pageHeightMm = 0;
    // Every paragraph with text, in reading order (table cells included),
    // white space collapsed; empty paragraphs are left out.
    QStringList paragraphs;
    // Each table's shape: the number of cells of each row.
    std::vector<std::vector<int>> tableShapes;
    // The first table's cells, row by row, white space collapsed.
    QStringList headerCells;
    // The characters in each format, white space removed, in order.
    QString bold, italic, underline, strike;
    // Font sizes in points, for each character with text, joined as runs "size:count".
    QStringList sizes;
    // Pictures: their pixel sizes, in order.
    QList<QSize> pictures;

    static FodtDigest read(const QString& fodtPath);
};
