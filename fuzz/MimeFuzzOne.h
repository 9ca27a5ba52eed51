#pragma once

// One fuzz input through the MIME decoder and the HTML converter; shared by
// the libFuzzer target and the test that replays kept crash inputs.
// The first byte picks the entry point, the rest is the data.
#include "notes/mime/HtmlToRichText.h"
#include "notes/mime/MimeBodyConverter.h"
#include "notes/mime/MimeParser.h"
#include "notes/mime/NotesMimeBody.h"

#include <QByteArray>

inline void mimeFuzzOne(const QByteArray& input) {
    if (input.isEmpty()) return;
    const QByteArray data = input.mid(1);
    switch (static_cast<unsigned char>(input[0]) % 4) {
        case 0: {  // a whole message, and the body a reader would see
            const mime::MimeEntity msg = mime::MimeParser::parse(data);
            QStringList problems;
            (void)mime::MimeBodyConverter::convert(msg, problems).plainText();
            for (const mime::MimeEntity* a : msg.attachments()) (void)a->fileName;
            break;
        }
        case 1: {  // Notes MIME part items, separated by "\xFF\xFE"
            mime::NotesMimeBody body([](const QString& name, QByteArray& bytes, QString&) {
                bytes = name.toUtf8();
                return name.size() % 2 == 0;
            });
            qsizetype at = 0;
            while (at <= data.size()) {
                qsizetype next = data.indexOf("\xFF\xFE", at);
                if (next < 0) next = data.size();
                body.addPart(data.mid(at, next - at));
                at = next + 2;
            }
            (void)body.finish().body->plainText();
            break;
        }
        case 2: {  // an HTML body with a resolver that answers every picture
            auto resolver = [&](const QString& src, mime::HtmlToRichText::Picture& pic) {
                pic.data = src.toUtf8();
                return true;
            };
            (void)mime::HtmlToRichText::convert(data, QString(), resolver).plainText();
            break;
        }
        default:  // header text and parameters
            (void)mime::MimeParser::decodeHeaderText(data);
            (void)mime::MimeParser::headerParameter(data, "filename");
            (void)mime::MimeParser::parseMultipart(data, data.left(8));
            break;
    }
}
