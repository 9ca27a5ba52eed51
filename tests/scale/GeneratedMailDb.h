#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// A Notes XML mail database made for a test or a benchmark: `count` small
// mails spread over two folders ("Projects" and "Archive"), every third with a
// subject another mail has too, every fifth with two attachments, every
// seventh without a subject. `stamp` goes into each document's last-modified
// time (a later stamp: every document changed). `rich`: the bodies are rich
// text (a paragraph with a bold run) instead of plain text.
struct GeneratedMailDb {
    static QByteArray dxl(int count, int stamp = 0, int firstNoteId = 0x100, bool rich = false) {
        QByteArray out;
        out.reserve(count * 900 + 1024);
        out += "<?xml version='1.0' encoding='utf-8'?>\n"
               "<database xmlns='http://www.lotus.com/dxl' version='9.0' title='Generated mail'>\n"
               "<folder name='Projects'><noteinfo noteid='10' unid='AAAAAAAAAAAAAAAAAAAAAAAAAAAAAA01'/></folder>\n"
               "<folder name='Archive'><noteinfo noteid='14' unid='AAAAAAAAAAAAAAAAAAAAAAAAAAAAAA02'/></folder>\n";
        for (int i = 0; i < count; ++i) {
            const int noteId = firstNoteId + i * 4;
            const QByteArray unid = QByteArray::number(0xB0000000u + unsigned(i), 16).toUpper().rightJustified(32, '0');
            const QByteArray folder = i % 2 ? "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAA02" : "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAA01";
            QByteArray subject;
            if (i % 7 == 6)
                subject.clear();
            else if (i % 3 == 2)
                subject = "Weekly status";  // many mails of one subject
            else
                subject = "Mail number " + QByteArray::number(i);
            out += "<document form='Memo'><noteinfo noteid='" + QByteArray::number(noteId, 16) + "' unid='" + unid +
                   "'><modified><datetime>2012040" + QByteArray::number(1 + stamp % 9) +
                   "T101500,00+01</datetime></modified></noteinfo>\n";
            out += "<item name='Form'><text>Memo</text></item>\n";
            out += "<item name='From'><text>CN=Ann Lee/O=Demo</text></item>\n";
            out += "<item name='SendTo'><text>CN=Bob Ray/O=Demo</text></item>\n";
            if (!subject.isEmpty()) out += "<item name='Subject'><text>" + subject + "</text></item>\n";
            out += "<item name='PostedDate'><datetime>20120403T174200,00+01</datetime></item>\n";
            if (rich)
                out += "<item name='Body'><richtext><pardef id='1'/><par def='1'>Body of mail " + QByteArray::number(i) +
                       " with <run><font style='bold'/>figures</run> (version " + QByteArray::number(stamp) +
                       ").</par></richtext></item>\n";
            else
                out += "<item name='Body'><text>Body of mail " + QByteArray::number(i) + " (version " +
                       QByteArray::number(stamp) + ").</text></item>\n";
            out += "<item name='$FolderRefs'><text>" + folder + "</text></item>\n";
            if (i % 5 == 4) {
                for (int a = 0; a < 2; ++a) {
                    const QByteArray data = "attachment " + QByteArray::number(a) + " of mail " + QByteArray::number(i);
                    out += "<item name='$FILE'><object><file hosttype='msdos' compression='none' encoding='none' "
                           "name='part" +
                           QByteArray::number(a) + ".txt' size='" + QByteArray::number(data.size()) +
                           "'><filedata>" + data.toBase64() + "</filedata></file></object></item>\n";
                }
            }
            out += "</document>\n";
        }
        out += "</database>\n";
        return out;
    }

    static bool write(const QString& path, int count, int stamp = 0, bool rich = false) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(dxl(count, stamp, 0x100, rich)) >= 0;
    }
};
