#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Small Notes XML files written for one test.
class DxlTestFiles {
  public:
    // Writes `content` to a new file in a private directory; returns its path.
    QString write(const QByteArray& content, const QString& name = QStringLiteral("test.dxl"));
    // A <database> around the given elements.
    static QByteArray database(const QByteArray& elements);
    // A document with a note ID, optional form attribute and the given items.
    static QByteArray document(const QByteArray& noteId, const QByteArray& items,
                               const QByteArray& form = {});
    static QByteArray textItem(const QByteArray& name, const QByteArray& value);
    static QByteArray view(const QByteArray& name, const QByteArray& formula, const QByteArray& columns = {});
    static QByteArray folder(const QByteArray& name, const QByteArray& unid, const QByteArray& columns = {});
    QString dir() const { return m_dir.path(); }

  private:
    QTemporaryDir m_dir;
};
