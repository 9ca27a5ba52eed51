#pragma once

#include "notes/nsf/ByteView.h"
#include "notes/nsf/NotesBitmap.h"
#include "notes/nsf/PabDefinition.h"
#include "richtext/RichTextModel.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace nsf {

class LmbcsConverter;

// Builds the paragraphs, text runs and tables of a rich-text value from its
// CD records (text runs, paragraph starts and styles, tables, attachment
// hotspots); everything else is kept only in the raw records.
class CdTextExtractor {
public:
    CdTextExtractor(LmbcsConverter& lmbcs, const QMap<int, QString>& fontFaces);

    // Feeds one stored part of the field (parts are separate record streams).
    void addPart(ByteView part);
    // True when a part ended in a damaged record (the rest of it was skipped).
    bool damaged() const { return m_damaged; }
    // Pictures that could not be read (each also left a note in the text).
    const QStringList& problems() const { return m_problems; }

    // A picture larger than this is not read (memory stays bounded).
    static constexpr uint32_t MaxPictureBytes = 64u * 1024 * 1024;
    // Finishes and returns the blocks.
    std::vector<store::RtBlock> finish();

    // Face names by font ID from a $Fonts value (one CDFONTTABLE record).
    static QMap<int, QString> readFontTable(ByteView value, LmbcsConverter& lmbcs);

    // The note's $Links value (NOTELINK_LIST: u16 count, 40-byte links):
    // the links that CDLINK2 records name by index.
    void setLinks(ByteView noteLinkList) { m_links = noteLinkList; }
    // A Notes URL for a 40-byte NOTELINK (replica ID, view UNID, note UNID):
    // notes:///REPLICA/VIEW/NOTE, shorter for a view or database link;
    // empty when the replica ID is zero.
    static QString noteLinkUrl(ByteView noteLink);

private:
    struct TableLevel {
        std::shared_ptr<store::RtTable> table;
        int row = -1;
        int cell = -1;
        bool autoWidth = false;             // cells share the width by their fractions
        PabDefinition::CellFrame frame;     // where the current cell lies on the paper
    };
    std::vector<store::RtBlock>& container();
    // The current paragraph style where the next paragraph sits (body or cell).
    store::RtParagraphStyle currentStyle() const;
    void startCell(ByteView cellRecord);
    void flushParagraph();
    // A paragraph record starts a paragraph: it ends the one before it (even an
    // empty one), if there is one in the same field, cell or stretch between
    // tables; at the start of a cell it only starts the cell's first one.
    void startParagraph();
    void addText(ByteView text, const store::RtFont& font);
    store::RtFont font(ByteView fontId) const;
    // A picture: CDGRAPHIC, then CDIMAGEHEADER and its CDIMAGESEGMENTs (which
    // may run over several parts of the field).
    void startPicture(ByteView graphic);
    void pictureHeader(ByteView header);
    void pictureSegment(ByteView segment);
    void finishPicture();
    void addLinkText(ByteView linkExport);
    // CDLINK2: a link by its index into the note's $Links.
    void addIndexedLink(ByteView link);
    void addLink(ByteView noteLink, ByteView comment);

    struct PendingPicture {
        bool active = false;
        bool hasHeader = false;
        std::shared_ptr<NotesBitmap> bitmap;  // a Notes bitmap, decoded when the picture ends
        int widthPx = 0;
        int heightPx = 0;
        uint16_t imageType = 0;
        uint32_t declaredSize = 0;
        QByteArray data;
        QString problem;
    };

    LmbcsConverter& m_lmbcs;
    QMap<int, QString> m_faces;
    QMap<int, PabDefinition> m_styles;
    std::vector<store::RtBlock> m_blocks;
    std::vector<TableLevel> m_tables;
    store::RtBlock m_paragraph;
    std::optional<PabDefinition> m_style;  // the style paragraphs use until another is referenced
    bool m_started = false;
    bool m_paragraphOpen = false;  // a paragraph record began the current paragraph
    bool m_damaged = false;
    bool m_inFileHotspot = false;  // records drawing an attachment's icon
    ByteView m_links;
    PendingPicture m_picture;
    QStringList m_problems;
};

}  // namespace nsf
