#pragma once

#include <QFile>
#include <QXmlStreamReader>

#include "notes/dxl/DxlIndex.h"
#include "notes/dxl/DxlPrescan.h"
#include "notes/store/StoreStatus.h"

namespace store::dxl {

// Reads a Notes XML file once, from start to end, and keeps what serves
// reads: each document's byte range, note ID and UNID, its folder references
// and the item values that selection formulas and sorted columns use; each
// view's and folder's name, UNID, formula and sort column. Everything else
// (item values, rich text, attachment data) stays in the file and is read
// again when a document is opened. Base64 data is checked on the way.
class DxlIndexer {
  public:
    static StoreError build(const QString& path, DxlIndex& index);

    // Turns a document's stored item into the value formulas see.
    static FormulaValue formulaValue(const StoreItem& item);

    // A document's bytes from the file without its attachments' data (the
    // reader sees empty <filedata>), after the XML declaration the index needs.
    static bool documentBytes(QFile& file, const DxlIndex& index, const DxlDocEntry& doc, QByteArray& bytes);

  private:
    explicit DxlIndexer(DxlIndex& index) : m_index(index) {}
    // `skipData`: large attachment data found by the prescan is not parsed.
    StoreError run(const QString& path, bool skipData);
    StoreError textError(bool utf8) const;
    // Sets aside the elements that hold bytes XML does not allow (a document
    // or a view is left out and named) and such bytes outside any element
    // (left out, with a warning), so that the rest of the file is read.
    void confineTextDamage(const QString& path, bool utf8);
    StoreError xmlError(const QXmlStreamReader& xml) const;
    void readDesign(QXmlStreamReader& xml, bool isFolder);
    StoreError startDocument(QXmlStreamReader& xml);
    StoreError finishDocument(QXmlStreamReader& xml);
    StoreError readDocumentChild(QXmlStreamReader& xml, int& depth);
    // Notes where in the file the document being read failed, so that the
    // file can be read again without it.
    StoreError failInDocument(const StoreError& e, const QXmlStreamReader& xml);
    StoreError fillLateValues(const QString& path);
    void assignMissingNoteIds();
    QString where(const QXmlStreamReader& xml) const;

    DxlIndex& m_index;
    class DxlByteOffsets* m_offsets = nullptr;
    QString m_fileName;
    bool m_inDoc = false;
    int m_docDepth = 0;
    DxlDocEntry m_doc;
    DxlPackedValues::Values m_values;  // the document's values until it ends
    bool hasValue(int nameId) const;
    qint64 m_docLine = 0;
    QString m_formAttribute;
    QString m_lowerName;  // the item being read's name, lower case
    bool m_hasFormItem = false;
    bool m_hasNoteId = false;
    // Inside a $FILE item.
    bool m_inFileItem = false;
    bool m_fileSeen = false;
    std::vector<DxlAttachmentSpan> m_spans;
    // Item names wanted while documents were read, and those added after.
    bool m_seenDocument = false;
    QStringList m_lateNames;
    // Forms and subforms as read, their subforms' fields put in place at the end.
    std::vector<std::shared_ptr<StoreForm>> m_forms;
    // The prescan, and whether the parser's view of the skipped data
    // disagreed with it (the file is then indexed again, data and all).
    DxlPrescan m_prescan;
    bool m_skipping = false;
    bool m_skipMismatch = false;
    // Damaged documents left out of this pass ([start, end) byte ranges, in
    // order), and where this pass failed inside a document (-1: not in one).
    std::vector<std::pair<qint64, qint64>> m_damagedRanges;
    qint64 m_fileSize = 0;
    qint64 m_failedDocStart = -1;
    qint64 m_failedAt = -1;
    qint64 m_failedLine = 0;
    // What confineTextDamage() set aside: byte ranges the parser does not
    // see, and one line for each (with its offset, to keep file order).
    bool m_textConfined = false;
    bool m_sniffedUtf8 = true;
    std::vector<std::pair<qint64, qint64>> m_textRanges;
    std::vector<std::pair<qint64, QString>> m_textProblems;
    int m_textLostDocuments = 0;
    QString m_textFirstLost;  // why the first of those documents is left out
};

}  // namespace store::dxl
