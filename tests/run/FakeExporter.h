#pragma once

#include "export/IDocumentExporter.h"
#include "export/OutputNaming.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QStringList>

#include <functional>
#include <utility>

// Records what the run asks of the exporter and writes a small file where the
// document would go, so that names collide as they would with real documents.
class FakeExporter : public IDocumentExporter {
public:
    struct Call {
        QString kind;  // "item" or "contact"
        QString name;
        QString bodyFile;
        QByteArray body;
        QString block;
        QString photo;
        QString templ;
        QString path;
    };
    QList<Call> calls;
    QString root;
    QString output;
    QString photo;
    QString block;
    QString templ;
    QStringList header;
    int failOnCall = -1;                  // this call (0-based) fails
    int failFrom = -1;                    // this call and every later one fail with failText
    QString failText;
    std::function<void(int)> onExport;    // called with the call index
    bool takesBodyBytes = false;          // the body comes in memory (SetBodyBytes)
    QMap<QString, QString> officeReasons;  // by name: written "by the office engine" for this reason

    bool StartWord() override { return true; }
    void ShutdownWord() override {}
    void SetRootFolder(const QString& path) override { root = path.endsWith('/') ? path : path + '/'; }
    bool SetOutputFolder(const QString& relative) override {
        output = root + relative;
        MakeDirectories(output);
        return true;
    }
    QString GetOutputFolder() const override { return output; }
    void SetHeaderInputs(const QString& s, const QString& f, const QString& t, const QString& d,
                         const QString& b) override {
        header = {s, f, t, d};
        block = b;
    }
    int CountHeaderLabels(const QString& b) const override { return int(b.count(QStringLiteral("\r\n"))); }
    void SetTemplate(const QString& t) override { templ = t; }
    void SetPhotoPath(const QString& p) override { photo = p; }
    bool SetBodyBytes(const QByteArray& bytes) override {
        if (!takesBodyBytes) return false;
        m_nextBody = bytes;
        return true;
    }
    bool ExportItem(const QString& bodyFile, const QString& name) override { return record("item", bodyFile, name); }
    bool ExportContact(const QString& bodyFile, const QString& name) override {
        return record("contact", bodyFile, name);
    }
    QString LastFailure() const override { return gaveUp ? QStringLiteral("no office") : m_failure; }
    QString LastWrittenPath() const override { return m_written; }
    QString LastOfficeReason() const override { return m_officeReason; }
    bool gaveUp = false;  // from then on: GaveUp, and LastFailure "no office"
    bool GaveUp() const override { return gaveUp; }

private:
    bool record(const char* kind, const QString& bodyFile, const QString& name) {
        const int index = int(calls.size());
        m_officeReason = officeReasons.value(name);
        Call c;
        c.kind = QString::fromLatin1(kind);
        c.name = name;
        c.bodyFile = bodyFile;
        QFile f(bodyFile);
        if (f.open(QIODevice::ReadOnly)) c.body = f.readAll();
        if (bodyFile.isEmpty()) c.body = std::exchange(m_nextBody, QByteArray());
        c.block = block;
        c.photo = photo;
        c.templ = templ;
        if (onExport) onExport(index);
        if (index == failOnCall || (failFrom >= 0 && index >= failFrom)) {
            m_failure = index == failOnCall ? QStringLiteral("office stopped responding") : failText;
            calls.append(c);
            return false;
        }
        c.path = DocumentPathFor(output, name);
        QFile doc(c.path);
        doc.open(QIODevice::WriteOnly);
        doc.write("doc");
        m_written = c.path;
        calls.append(c);
        return true;
    }
    QString m_failure;
    QString m_written;
    QByteArray m_nextBody;
    QString m_officeReason;
};
