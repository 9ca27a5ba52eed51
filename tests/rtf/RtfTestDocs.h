#pragma once

#include "richtext/RichTextModel.h"

#include <QByteArray>
#include <QString>

// Rich-text bodies shared by the RTF tests.
namespace rtftest {

store::RtRun text(const QString& s, store::RtFont font = {});
store::RtRun kindRun(store::RtRun::Kind kind, const QString& s = {}, const QString& target = {});
store::RtBlock para(std::vector<store::RtRun> runs, store::RtAlign align = store::RtAlign::Left);
store::RtBlock tableBlock(const std::vector<std::vector<QString>>& cells);
// A 2x1 PNG and a 1x1 transparent GIF.
QByteArray tinyPng();
QByteArray tinyGif();
// A body with formatting, a table, a picture, a bullet, tabs, an attachment reference and links.
store::RichTextDoc sampleDoc();

}  // namespace rtftest
