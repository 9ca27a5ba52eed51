#include "office/LibreOfficeDocument.h"

#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/graphic/GraphicProvider.hpp>
#include <com/sun/star/graphic/XGraphic.hpp>
#include <com/sun/star/graphic/XGraphicProvider.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/lang/IndexOutOfBoundsException.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/TextContentAnchorType.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <cstdio>
#include <cstring>
#include <map>

#include "export/DestinationChecks.h"
#include "files/StaleFileCleaner.h"
#include "office/LibreOfficeSession.h"
#include "office/LocalePageSize.h"
#include "office/OfficeText.h"
#include "office/UnoProperties.h"
#include "office/UnoStrings.h"

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

constexpr int kPdfFormat = 17;

// The office's export filter for a SaveAs file format, and the extension of
// the hidden file it writes first.
struct SaveFilter {
    rtl::OUString name;
    QString extension;
};

SaveFilter saveFilterFor(const SaveAsArguments& args) {
    switch (args.fileFormat) {
        case 0: return {rtl::OUString("MS Word 97"), QStringLiteral("doc")};
        case 12:
        case 16: return {rtl::OUString("MS Word 2007 XML"), QStringLiteral("docx")};
        case kPdfFormat: return {rtl::OUString("writer_pdf_Export"), QStringLiteral("pdf")};
        default: return {};
    }
}

// The lock file the office may leave beside a file it failed to write.
QString officeLockFileFor(const QString& path) {
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return path.left(slash + 1) + QStringLiteral(".~lock.") + path.mid(slash + 1) + QLatin1Char('#');
}

// Publishes `temp` as `target` without ever replacing an existing file.
// Returns 0 or an errno value; `temp` is gone afterwards either way.
int publishWithoutReplacing(const QString& temp, const QString& target) {
    const QByteArray from = QFile::encodeName(temp);
    const QByteArray to = QFile::encodeName(target);
    int err = 0;
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) return 0;
    err = errno;
    if (err == EINVAL || err == ENOSYS || err == ENOTSUP) {
        // File systems without no-replace renames: a hard link fails on an existing name too.
        if (::link(from.constData(), to.constData()) == 0) {
            ::unlink(from.constData());
            return 0;
        }
        err = errno;
        if (err == EPERM || err == ENOTSUP || err == EOPNOTSUPP) {
            if (QFileInfo::exists(target)) {
                err = EEXIST;
            } else if (::rename(from.constData(), to.constData()) == 0) {
                return 0;
            } else {
                err = errno;
            }
        }
    }
    ::unlink(from.constData());
    return err;
}

// Gives every page style the locale's paper (A4 or Letter), keeping its
// orientation: text bodies and RTF bodies otherwise come out on different papers.
void applyLocalePageSize(const Reference<css::lang::XComponent>& model) {
    static const LocalePageSize paper = LocalePageSize::FromEnvironment();
    const Reference<css::style::XStyleFamiliesSupplier> supplier(model, UNO_QUERY);
    if (!supplier.is()) return;
    const Reference<css::container::XNameAccess> pages(
        supplier->getStyleFamilies()->getByName(rtl::OUString("PageStyles")), UNO_QUERY);
    if (!pages.is()) return;
    const css::uno::Sequence<rtl::OUString> names = pages->getElementNames();
    for (const rtl::OUString& name : names) {
        const Reference<css::beans::XPropertySet> props(pages->getByName(name), UNO_QUERY);
        if (!props.is()) continue;
        bool landscape = false;
        props->getPropertyValue(rtl::OUString("IsLandscape")) >>= landscape;
        const sal_Int32 width = landscape ? paper.height : paper.width;
        const sal_Int32 height = landscape ? paper.width : paper.height;
        props->setPropertyValue(rtl::OUString("Width"), css::uno::Any(width));
        props->setPropertyValue(rtl::OUString("Height"), css::uno::Any(height));
    }
}

}  // namespace

LibreOfficeDocument::LibreOfficeDocument(std::shared_ptr<LibreOfficeSession> session,
                                         const Reference<css::lang::XComponent>& model,
                                         const QString& sourcePath)
    : m_session(std::move(session)), m_model(model), m_sourcePath(sourcePath) {}

LibreOfficeDocument::~LibreOfficeDocument() {
    if (!m_model.is() || !m_session->alive()) return;
    try {
        Close(0);
    } catch (const OfficeAutomationError&) {
        // The instance is restarted by whoever sees it failing next.
    }
}

Reference<css::text::XTextTable> LibreOfficeDocument::tableInOrder(int index) const {
    // Tables in the order they appear in the body (the text's own table list is
    // in creation order and would name a table of the body before the header's).
    const Reference<css::text::XTextDocument> doc(m_model, UNO_QUERY_THROW);
    const Reference<css::container::XEnumerationAccess> paragraphs(doc->getText(), UNO_QUERY_THROW);
    const Reference<css::container::XEnumeration> e = paragraphs->createEnumeration();
    int seen = 0;
    while (e->hasMoreElements()) {
        Reference<css::text::XTextTable> table(e->nextElement(), UNO_QUERY);
        if (table.is() && ++seen == index) return table;
    }
    throw css::lang::IndexOutOfBoundsException(rtl::OUString("no such table"), {});
}

void LibreOfficeDocument::SetTableCellText(int table, int row, int column, const QString& text) {
    if (!m_model.is()) throw OfficeAutomationError(QStringLiteral("Cell.Range.Text: document closed"), false);
    if (table < 1 || row < 1 || column < 1)
        throw OfficeAutomationError(
            QStringLiteral("Cell.Range.Text: no cell (%1, %2) in table %3").arg(row).arg(column).arg(table),
            false);
    m_session->requireAlive("Cell.Range.Text");
    m_pendingCells.push_back({table, row, column, text});
}

void LibreOfficeDocument::flushCells() {
    if (m_pendingCells.empty()) return;
    const std::vector<PendingCell> cells = std::move(m_pendingCells);
    m_pendingCells.clear();
    std::map<int, std::map<std::pair<int, int>, QString>> byTable;  // later writes to a cell win
    for (const PendingCell& c : cells) byTable[c.table][{c.row, c.column}] = c.text;

    m_session->call("Cell.Range.Text", m_session->callTimeout(), [&] {
        for (const auto& [index, texts] : byTable) {
            const Reference<css::table::XCellRange> table(tableInOrder(index), UNO_QUERY_THROW);
            int top = INT_MAX, left = INT_MAX, bottom = 0, right = 0;
            for (const auto& [at, text] : texts) {
                top = std::min(top, at.first);
                bottom = std::max(bottom, at.first);
                left = std::min(left, at.second);
                right = std::max(right, at.second);
            }
            if (texts.size() == size_t(bottom - top + 1) * size_t(right - left + 1)) {
                // A full block of cells (a filled header table): one call.
                css::uno::Sequence<css::uno::Sequence<css::uno::Any>> rows(bottom - top + 1);
                for (int r = top; r <= bottom; ++r) {
                    css::uno::Sequence<css::uno::Any> row(right - left + 1);
                    for (int c = left; c <= right; ++c)
                        row.getArray()[c - left] <<= ParagraphText(texts.at({r, c}));
                    rows.getArray()[r - top] = row;
                }
                const Reference<css::sheet::XCellRangeData> block(
                    table->getCellRangeByPosition(left - 1, top - 1, right - 1, bottom - 1), UNO_QUERY_THROW);
                block->setDataArray(rows);
            } else {
                for (const auto& [at, text] : texts) {
                    const Reference<css::text::XText> cell(
                        table->getCellByPosition(at.second - 1, at.first - 1), UNO_QUERY_THROW);
                    ReplaceRangeText(Reference<css::text::XTextRange>(cell.get()), text);
                }
            }
        }
    });
}

void LibreOfficeDocument::AddInlinePicture(const QString& fileName) {
    if (!m_model.is())
        throw OfficeAutomationError(QStringLiteral("InlineShapes.AddPicture: document closed"), false);
    flushCells();
    m_session->call("InlineShapes.AddPicture", m_session->timeoutForFile(fileName), [&] {
        const Reference<css::graphic::XGraphicProvider> provider =
            css::graphic::GraphicProvider::create(m_session->remoteContext());
        const Reference<css::graphic::XGraphic> graphic =
            provider->queryGraphic(unoProperties({unoProperty("URL", css::uno::Any(fileUrl(fileName)))}));
        if (!graphic.is())
            throw css::lang::IllegalArgumentException(rtl::OUString("picture unreadable"), {}, 0);

        // Natural size, at most 16 x 20 cm.
        const Reference<css::beans::XPropertySet> info(graphic, UNO_QUERY_THROW);
        css::awt::Size size;
        info->getPropertyValue(rtl::OUString("Size100thMM")) >>= size;
        if (size.Width <= 0 || size.Height <= 0) {
            info->getPropertyValue(rtl::OUString("SizePixel")) >>= size;
            size.Width = size.Width * 2540 / 96;
            size.Height = size.Height * 2540 / 96;
        }
        if (size.Width <= 0 || size.Height <= 0) size = css::awt::Size(5000, 5000);
        const double scale = std::min({1.0, 16000.0 / size.Width, 20000.0 / size.Height});
        size.Width = sal_Int32(size.Width * scale);
        size.Height = sal_Int32(size.Height * scale);

        const Reference<css::lang::XMultiServiceFactory> factory(m_model, UNO_QUERY_THROW);
        const Reference<css::text::XTextContent> picture(
            factory->createInstance(rtl::OUString("com.sun.star.text.TextGraphicObject")), UNO_QUERY_THROW);
        const Reference<css::beans::XPropertySet> props(picture, UNO_QUERY_THROW);
        props->setPropertyValue(rtl::OUString("AnchorType"),
                                css::uno::Any(css::text::TextContentAnchorType_AS_CHARACTER));
        props->setPropertyValue(rtl::OUString("Graphic"), css::uno::Any(graphic));
        props->setPropertyValue(rtl::OUString("Size"), css::uno::Any(size));

        // In line at the top of the document, on a line of its own.
        const Reference<css::text::XText> text =
            Reference<css::text::XTextDocument>(m_model, UNO_QUERY_THROW)->getText();
        const Reference<css::text::XTextCursor> cursor = text->createTextCursor();
        cursor->gotoStart(false);
        const Reference<css::text::XTextRange> at(cursor.get());
        text->insertControlCharacter(at, css::text::ControlCharacter::PARAGRAPH_BREAK, false);
        cursor->gotoStart(false);
        text->insertTextContent(at, picture, false);
    });
}

void LibreOfficeDocument::SaveAs(const SaveAsArguments& args) {
    if (!m_model.is()) throw OfficeAutomationError(QStringLiteral("SaveAs: document closed"), false);
    const SaveFilter filter = saveFilterFor(args);
    if (filter.name.isEmpty())
        throw OfficeAutomationError(QStringLiteral("SaveAs: file format %1 is not written").arg(args.fileFormat), false);
    flushCells();
    const QFileInfo target(args.fileName);
    if (target.exists() || target.isSymLink())
        throw OfficeAutomationError(DescribeWriteFailure(args.fileName, EEXIST), false, false, EEXIST);

    // Written under a hidden name beside the target, then published in one step:
    // a failed or interrupted save leaves no partial document behind (and one
    // left by a killed run is recognised by its name and removed later).
    // The hidden file is made here first, so that a folder that refuses it
    // is reported with the real cause and the document's own path.
    QString temp;
    for (int attempt = 0; attempt < 8 && temp.isEmpty(); ++attempt) {
        const QString candidate = target.absolutePath() + QLatin1Char('/') +
                                  StaleFileCleaner::partialFileName(QStringLiteral(".%1.part").arg(filter.extension));
        const int fd = ::open(QFile::encodeName(candidate).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            temp = candidate;
        } else if (errno != EEXIST) {
            const int err = errno;
            throw OfficeAutomationError(DescribeWriteFailure(args.fileName, err), false, false, err);
        }
    }
    if (temp.isEmpty())
        throw OfficeAutomationError(DescribeWriteFailure(args.fileName, EEXIST), false, false, EEXIST);
    try {
        m_session->call("SaveAs", m_session->timeoutForFile(m_sourcePath), [&] {
            applyLocalePageSize(m_model);
            const Reference<css::frame::XStorable> storable(m_model, UNO_QUERY_THROW);
            // No flush to disk per document (it costs a third of the store); the
            // exporter syncs the output once when the run ends.
            std::vector<css::beans::PropertyValue> props = {
                unoProperty("FilterName", css::uno::Any(filter.name)),
                unoProperty("Overwrite", css::uno::Any(true)), unoProperty("NoFileSync", css::uno::Any(true))};
            if (args.fileFormat == kPdfFormat) {
                // Archival PDF: PDF/A-2b, or PDF/A-3b when files are to be embedded;
                // the office embeds every font PDF/A needs.
                props.push_back(unoProperty(
                    "FilterData",
                    css::uno::Any(unoProperties(
                        {unoProperty("SelectPdfVersion", css::uno::Any(sal_Int32(args.pdfArchivePart == 3 ? 3 : 2))),
                         unoProperty("EmbedStandardFonts", css::uno::Any(true)),
                         unoProperty("UseTaggedPDF", css::uno::Any(true))}))));
            }
            storable->storeToURL(fileUrl(temp), unoProperties(props));
        });
    } catch (const OfficeAutomationError& e) {
        QFile::remove(officeLockFileFor(temp));
        if (e.instanceLost()) {
            QFile::remove(temp);
            throw;
        }
        // The office's own text names its internals and the hidden file: say it plainly.
        // Space is judged before the partial file goes: a full disk may leave a few
        // blocks free, too few for any document.
        struct statvfs space;
        int err = EIO;
        if (::statvfs(QFile::encodeName(target.absolutePath()).constData(), &space) == 0 &&
            qint64(space.f_bavail) * qint64(space.f_frsize) < std::max<qint64>(256 * 1024, QFileInfo(m_sourcePath).size()))
            err = ENOSPC;
        QFile::remove(temp);
        QString text = DescribeWriteFailure(args.fileName, err);
        if (err == EIO) text = args.fileName + QStringLiteral(": the office could not write the document");
        throw OfficeAutomationError(text, false, false, err);
    } catch (...) {
        QFile::remove(officeLockFileFor(temp));
        QFile::remove(temp);
        throw;
    }
    const int err = publishWithoutReplacing(temp, args.fileName);
    if (err != 0) throw OfficeAutomationError(DescribeWriteFailure(args.fileName, err), false, false, err);
}

void LibreOfficeDocument::Close(short saveChanges) {
    if (!m_model.is()) return;
    if (saveChanges != 0)
        throw OfficeAutomationError(QStringLiteral("Close: only closing without saving is supported"), false);
    m_pendingCells.clear();
    const Reference<css::lang::XComponent> model = m_model;
    m_model.clear();
    m_session->documentClosed(model);
    m_session->call("Document.Close", m_session->callTimeout(), [&] {
        const Reference<css::util::XModifiable> modifiable(model, UNO_QUERY);
        if (modifiable.is()) modifiable->setModified(false);
        const Reference<css::util::XCloseable> closeable(model, UNO_QUERY);
        if (closeable.is())
            closeable->close(true);
        else
            model->dispose();
    });
}
