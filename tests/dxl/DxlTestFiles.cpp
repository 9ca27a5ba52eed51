#include "DxlTestFiles.h"

#include <QFile>

QString DxlTestFiles::write(const QByteArray& content, const QString& name) {
    const QString path = m_dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(content);
    return path;
}

QByteArray DxlTestFiles::database(const QByteArray& elements) {
    return "<?xml version='1.0' encoding='utf-8'?>\n<database xmlns='http://www.lotus.com/dxl' "
           "title='Test'>\n" +
           elements + "</database>\n";
}

QByteArray DxlTestFiles::document(const QByteArray& noteId, const QByteArray& items, const QByteArray& form) {
    QByteArray out = "<document";
    if (!form.isEmpty()) out += " form='" + form + "'";
    out += ">\n<noteinfo noteid='" + noteId + "' unid='00000000000000000000000000000" +
           noteId.rightJustified(3, '0') + "'/>\n" + items + "</document>\n";
    return out;
}

QByteArray DxlTestFiles::textItem(const QByteArray& name, const QByteArray& value) {
    return "<item name='" + name + "'><text>" + value + "</text></item>\n";
}

QByteArray DxlTestFiles::view(const QByteArray& name, const QByteArray& formula, const QByteArray& columns) {
    return "<view name='" + name + "'><code event='selection'><formula>" + formula + "</formula></code>" +
           columns + "</view>\n";
}

QByteArray DxlTestFiles::folder(const QByteArray& name, const QByteArray& unid, const QByteArray& columns) {
    return "<folder name='" + name + "'><noteinfo noteid='1' unid='" + unid + "'/>" + columns + "</folder>\n";
}
