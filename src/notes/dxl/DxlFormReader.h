#pragma once

#include <QXmlStreamReader>
#include <memory>

#include "notes/store/StoreForm.h"

namespace store::dxl {

// Reads a <form> or <subform> element of Notes XML: its name and aliases, its
// window title (<code event='windowtitle'><formula>), and the fields of its
// <body> in order (<field>, <sharedfieldref>, the fields of <subformref>),
// each labelled with the text that stands before it. Text that does not show
// as a label is passed over: formulas, pop-up texts, computed text, HTML
// passed through.
class DxlFormReader {
  public:
    // Reads from the element's start to its end; null when it has no name.
    static std::shared_ptr<StoreForm> read(QXmlStreamReader& xml, bool subform);
};

}  // namespace store::dxl
