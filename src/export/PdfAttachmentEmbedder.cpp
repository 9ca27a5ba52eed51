#include "export/PdfAttachmentEmbedder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRandomGenerator>

// qpdf's smart pointers as std::shared_ptr, without its transition warning.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFEFStreamObjectHelper.hh>
#include <qpdf/QPDFEmbeddedFileDocumentHelper.hh>
#include <qpdf/QPDFFileSpecObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <qpdf/QUtil.hh>

#include <cstdio>
#include <exception>

namespace {

constexpr qint64 kMaxPdfBytes = qint64(512) * 1024 * 1024;

bool fail(QString* error, const QString& text) {
    if (error) *error = text;
    return false;
}

std::string utf8(const QString& text) { return text.toUtf8().toStdString(); }

// The file name readers without Unicode names show (/F): printable ASCII,
// anything else as "_".
std::string asciiName(const QString& text) {
    std::string out;
    for (const QChar c : text) out += (c.unicode() < 0x20 || c.unicode() > 0x7E) ? '_' : char(c.unicode());
    return out;
}

std::string pdfDate(const QDateTime& when) {
    return "D:" + when.toUTC().toString(QStringLiteral("yyyyMMddHHmmss")).toStdString() + "Z";
}

}  // namespace

bool PdfAttachmentEmbedder::Embed(const QString& pdfPath, const QList<File>& files, QString* error) {
    if (files.isEmpty()) return true;
    {
        QFile pdf(pdfPath);
        if (!pdf.open(QIODevice::ReadOnly)) return fail(error, pdf.errorString());
        if (pdf.size() > kMaxPdfBytes) return fail(error, QStringLiteral("the PDF is too large to update"));
    }
    // Every attachment must be readable before anything is written.
    for (const File& f : files) {
        QFile in(f.path);
        if (!in.open(QIODevice::ReadOnly)) return fail(error, f.name + QStringLiteral(": ") + in.errorString());
    }

    // Written beside the PDF, then renamed over it.
    const QFileInfo target(pdfPath);
    const QString temp = target.absolutePath() + QStringLiteral("/.~tesseldoc-%1.pdf.part")
                                                     .arg(QRandomGenerator::global()->generate64(), 16, 16,
                                                          QLatin1Char('0'));
    auto abandon = [&](const QString& why) {
        QFile::remove(temp);
        return fail(error, why);
    };
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        // A PDF the office wrote needs no repair: a damaged one is refused, not rebuilt.
        pdf.setAttemptRecovery(false);
        pdf.processFile(QFile::encodeName(pdfPath).toStdString().c_str());
        if (pdf.anyWarnings()) return fail(error, QStringLiteral("the PDF is damaged"));

        QPDFEmbeddedFileDocumentHelper embedded(pdf);
        QPDFObjectHandle root = pdf.getRoot();
        QPDFObjectHandle associated = root.getKey("/AF");
        if (!associated.isArray()) {
            associated = pdf.makeIndirectObject(QPDFObjectHandle::newArray());
            root.replaceKey("/AF", associated);
        }
        QMimeDatabase mimes;
        for (const File& f : files) {
            const QFileInfo about(f.path);
            auto stream = QPDFEFStreamObjectHelper::createEFStream(
                pdf, QUtil::file_provider(QFile::encodeName(f.path).toStdString()));
            stream.setSubtype(mimes.mimeTypeForFile(f.name, QMimeDatabase::MatchExtension).name().toStdString());
            stream.setModDate(pdfDate(about.lastModified()));
            QPDFObjectHandle params = stream.getObjectHandle().getDict().getKey("/Params");
            if (params.isDictionary()) params.replaceKey("/Size", QPDFObjectHandle::newInteger(about.size()));
            auto fileSpec = QPDFFileSpecObjectHelper::createFileSpec(pdf, utf8(f.name), stream);
            fileSpec.setFilename(utf8(f.name), asciiName(f.name));
            fileSpec.setDescription(utf8(f.name));
            // An associated file of the document (PDF/A-3): its data.
            fileSpec.getObjectHandle().replaceKey("/AFRelationship", QPDFObjectHandle::newName("/Data"));
            embedded.replaceEmbeddedFile(utf8(f.name), fileSpec);
            associated.appendItem(fileSpec.getObjectHandle());
        }

        QPDFWriter writer(pdf, QFile::encodeName(temp).toStdString().c_str());
        // Streams as they are: no decoding, no new compression (the XMP
        // metadata of PDF/A stays unfiltered).
        writer.setDecodeLevel(qpdf_dl_none);
        writer.setCompressStreams(false);
        writer.setObjectStreamMode(qpdf_o_preserve);
        writer.write();
        if (pdf.anyWarnings()) return abandon(QStringLiteral("the PDF is damaged"));
    } catch (const std::exception& e) {
        // qpdf's message names the temporary or the PDF's path; the reason is what matters.
        QString why = QString::fromLocal8Bit(e.what());
        why.replace(QFile::decodeName(QFile::encodeName(pdfPath)), target.fileName());
        return abandon(QStringLiteral("the PDF cannot be updated: ") + why);
    }
    if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(pdfPath).constData()) != 0)
        return abandon(QStringLiteral("the PDF could not be replaced"));
    return true;
}

bool PdfAttachmentEmbedder::EmbedDirectory(const QString& pdfPath, const QString& directory, QString* error) {
    QList<File> files;
    const QFileInfoList entries = QDir(directory).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo& f : entries)
        if (!f.fileName().startsWith(QLatin1String(".~tesseldoc-"))) files.append({f.absoluteFilePath(), f.fileName()});
    return Embed(pdfPath, files, error);
}
