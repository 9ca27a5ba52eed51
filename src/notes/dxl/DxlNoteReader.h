#pragma once

#include <QXmlStreamReader>

#include "notes/store/StoreItem.h"

namespace store::dxl {

// Reads every item of one <document> (or <note class='document'>) into a
// StoreNote. $FILE items give the note's attachments in item order, keyed by
// that order; the caller adds sizes and data places from the index.
class DxlNoteReader {
  public:
    // The reader stands before the element. Returns false with `error` set
    // when the XML cannot be read.
    static bool read(QXmlStreamReader& xml, StoreNote& note, QString& error);
};

}  // namespace store::dxl
