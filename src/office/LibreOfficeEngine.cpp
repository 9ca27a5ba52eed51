#include "office/LibreOfficeEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <csignal>
#include <mutex>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/document/XDocumentInsertable.hpp>
#include <com/sun/star/document/XDocumentProperties.hpp>
#include <com/sun/star/document/XDocumentPropertiesSupplier.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/text/XRelativeTextContentInsert.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <com/sun/star/text/XTextTablesSupplier.hpp>

#include "files/PrivateTempDir.h"
#include "office/LibreOfficeDocuments.h"
#include "office/LibreOfficeSession.h"
#include "office/OfficeText.h"
#include "office/UnoProperties.h"
#include "office/UnoStrings.h"

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

// The word processor's 0x00BBGGRR colour as LibreOffice's 0x00RRGGBB; "automatic" stays automatic.
sal_Int32 officeColor(int wordColor) {
    if (wordColor == -16777216) return -1;
    const int r = wordColor & 0xFF, g = (wordColor >> 8) & 0xFF, b = (wordColor >> 16) & 0xFF;
    return sal_Int32((r << 16) | (g << 8) | b);
}

void setCharProperty(const Reference<css::text::XTextCursor>& range, const char* western,
                     const css::uno::Any& value) {
    // Asian and complex scripts carry their own height and weight: set all three.
    const Reference<css::beans::XPropertySet> props(range, UNO_QUERY_THROW);
    const rtl::OUString name = rtl::OUString::createFromAscii(western);
    props->setPropertyValue(name, value);
    props->setPropertyValue(name + "Asian", value);
    props->setPropertyValue(name + "Complex", value);
}

// Inserting a file at the start of a paragraph splits it and leaves an empty
// paragraph above an inserted table: drop it, so that the table comes first.
void removeSplitParagraphBeforeTable(const Reference<css::lang::XComponent>& model) {
    const Reference<css::text::XText> text =
        Reference<css::text::XTextDocument>(model, UNO_QUERY_THROW)->getText();
    const Reference<css::container::XEnumeration> e =
        Reference<css::container::XEnumerationAccess>(text, UNO_QUERY_THROW)->createEnumeration();
    if (!e->hasMoreElements()) return;
    const Reference<css::text::XTextRange> first(e->nextElement(), UNO_QUERY);
    if (!first.is() || Reference<css::text::XTextTable>(first, UNO_QUERY).is() ||
        !first->getString().isEmpty())
        return;
    if (!e->hasMoreElements() || !Reference<css::text::XTextTable>(e->nextElement(), UNO_QUERY).is()) return;
    Reference<css::lang::XComponent>(first, UNO_QUERY_THROW)->dispose();
}

}  // namespace

LibreOfficeEngine::LibreOfficeEngine(LibreOfficeSettings settings) : m_settings(std::move(settings)) {
    // An office that dies while we write to its connection must cost the
    // item, not this process: the write then fails with EPIPE instead of
    // raising SIGPIPE. A handler the program set itself is kept.
    static std::once_flag ignorePipe;
    std::call_once(ignorePipe, [] {
        struct sigaction current {};
        if (::sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            std::signal(SIGPIPE, SIG_IGN);
    });
    static std::atomic<int> counter{0};
    m_workDirectory = m_settings.workDirectory;
    if (m_workDirectory.isEmpty() && !PrivateTempDir::path().isEmpty())
        m_workDirectory = PrivateTempDir::filePath(QStringLiteral("office-%1").arg(++counter));
}

LibreOfficeEngine::~LibreOfficeEngine() {
    Quit();
}

bool LibreOfficeEngine::Create(QString* error) {
    Quit();
    if (m_workDirectory.isEmpty()) {
        if (error) *error = QStringLiteral("no private temporary directory for the office");
        return false;
    }
    m_session = LibreOfficeSession::start(m_settings, m_workDirectory, error);
    if (!m_session) {
        // An office killed while it set up its profile can leave one that no
        // later office starts with: the next attempt begins with a fresh one.
        QDir(m_workDirectory + QStringLiteral("/profile")).removeRecursively();
        return false;
    }
    ++m_starts;
    return true;
}

bool LibreOfficeEngine::IsCreated() const {
    return m_session != nullptr;
}

void LibreOfficeEngine::Quit() {
    if (!m_session) return;
    m_session->quit();
    m_session.reset();
}

void LibreOfficeEngine::SetVisible(bool) {
    // The office runs headless: it is never visible.
    if (!m_session) throw OfficeAutomationError(QStringLiteral("Visible: no office instance"), true);
    m_session->requireAlive("Visible");
}

QString LibreOfficeEngine::Version() {
    if (!m_session) throw OfficeAutomationError(QStringLiteral("Version: no office instance"), true);
    m_session->requireAlive("Version");
    return QStringLiteral("11.0");
}

std::unique_ptr<IOfficeDocuments> LibreOfficeEngine::Documents() {
    if (!m_session) throw OfficeAutomationError(QStringLiteral("Documents: no office instance"), true);
    m_session->requireAlive("Documents");
    return std::make_unique<LibreOfficeDocuments>(m_session);
}

void LibreOfficeEngine::collapseSelectionAtStart(const char* what, int position) {
    if (!m_session)
        throw OfficeAutomationError(QString::fromLatin1(what) + QStringLiteral(": no office instance"), true);
    if (position != 0)
        throw OfficeAutomationError(
            QString::fromLatin1(what) + QStringLiteral(": only the document start is supported"), false);
    const Reference<css::lang::XComponent> model = m_session->activeDocument();
    if (!model.is())
        throw OfficeAutomationError(QString::fromLatin1(what) + QStringLiteral(": no document"), false);
    m_session->call(what, m_session->callTimeout(), [&] {
        const Reference<css::text::XText> text =
            Reference<css::text::XTextDocument>(model, UNO_QUERY_THROW)->getText();
        // A body cursor never stands in a table: in a body that starts with one, the
        // start would be after that table. Open a paragraph before it instead.
        const bool hasTables =
            Reference<css::text::XTextTablesSupplier>(model, UNO_QUERY_THROW)->getTextTables()->hasElements();
        const Reference<css::container::XEnumeration> e =
            hasTables
                ? Reference<css::container::XEnumerationAccess>(text, UNO_QUERY_THROW)->createEnumeration()
                : Reference<css::container::XEnumeration>();
        if (e.is() && e->hasMoreElements()) {
            const Reference<css::text::XTextTable> table(e->nextElement(), UNO_QUERY);
            if (table.is()) {
                const Reference<css::lang::XMultiServiceFactory> factory(model, UNO_QUERY_THROW);
                const Reference<css::text::XTextContent> paragraph(
                    factory->createInstance(rtl::OUString("com.sun.star.text.Paragraph")), UNO_QUERY_THROW);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
                Reference<css::text::XRelativeTextContentInsert>(text, UNO_QUERY_THROW)
                    ->insertTextContentBefore(paragraph,
                                              Reference<css::text::XTextContent>(table, UNO_QUERY_THROW));
#pragma GCC diagnostic pop
            }
        }
        Reference<css::text::XTextCursor> cursor = text->createTextCursor();
        cursor->gotoStart(false);
        m_session->selection() = cursor;
    });
}

void LibreOfficeEngine::SetSelectionStart(int position) {
    collapseSelectionAtStart("Selection.Start", position);
}

void LibreOfficeEngine::SetSelectionEnd(int position) {
    if (m_session && m_session->selection().is() && position == 0) {
        m_session->call("Selection.End", m_session->callTimeout(),
                        [&] { m_session->selection()->collapseToStart(); });
        return;
    }
    collapseSelectionAtStart("Selection.End", position);
}

void LibreOfficeEngine::SelectionInsertFile(const QString& fileName, int, int) {
    if (!m_session)
        throw OfficeAutomationError(QStringLiteral("Selection.InsertFile: no office instance"), true);
    const Reference<css::text::XTextCursor> selection = m_session->selection();
    if (!selection.is())
        throw OfficeAutomationError(QStringLiteral("Selection.InsertFile: no selection"), false);
    QFile file(fileName);
    const bool rtf = file.open(QIODevice::ReadOnly) && file.read(5) == "{\\rtf";
    m_session->call("Selection.InsertFile", m_session->timeoutForFile(fileName), [&] {
        css::uno::Sequence<css::beans::PropertyValue> props;
        if (rtf)
            props =
                unoProperties({unoProperty("FilterName", css::uno::Any(rtl::OUString("Rich Text Format")))});
        // Inserting a file must not change the document's own properties (an RTF
        // file's title would otherwise become the document's title).
        const Reference<css::document::XDocumentProperties> info =
            Reference<css::document::XDocumentPropertiesSupplier>(m_session->activeDocument(),
                                                                  UNO_QUERY_THROW)
                ->getDocumentProperties();
        const rtl::OUString title = info->getTitle();
        Reference<css::document::XDocumentInsertable>(selection, UNO_QUERY_THROW)
            ->insertDocumentFromURL(fileUrl(QFileInfo(fileName).absoluteFilePath()), props);
        if (info->getTitle() != title) info->setTitle(title);
        removeSplitParagraphBeforeTable(m_session->activeDocument());
    });
}

void LibreOfficeEngine::SetSelectionRangeText(const QString& text) {
    if (!m_session)
        throw OfficeAutomationError(QStringLiteral("Selection.Range.Text: no office instance"), true);
    const Reference<css::text::XTextCursor> selection = m_session->selection();
    if (!selection.is())
        throw OfficeAutomationError(QStringLiteral("Selection.Range.Text: no selection"), false);
    m_session->call("Selection.Range.Text", m_session->callTimeout(),
                    [&] { ReplaceRangeText(Reference<css::text::XTextRange>(selection.get()), text); });
}

void LibreOfficeEngine::SetSelectionRangeFontSize(double points) {
    if (!m_session) throw OfficeAutomationError(QStringLiteral("Font.Size: no office instance"), true);
    const Reference<css::text::XTextCursor> selection = m_session->selection();
    if (!selection.is()) throw OfficeAutomationError(QStringLiteral("Font.Size: no selection"), false);
    m_session->call("Font.Size", m_session->callTimeout(),
                    [&] { setCharProperty(selection, "CharHeight", css::uno::Any(float(points))); });
}

void LibreOfficeEngine::SetSelectionRangeFontBold(int bold) {
    if (!m_session) throw OfficeAutomationError(QStringLiteral("Font.Bold: no office instance"), true);
    const Reference<css::text::XTextCursor> selection = m_session->selection();
    if (!selection.is()) throw OfficeAutomationError(QStringLiteral("Font.Bold: no selection"), false);
    m_session->call("Font.Bold", m_session->callTimeout(), [&] {
        setCharProperty(selection, "CharWeight",
                        css::uno::Any(bold ? css::awt::FontWeight::BOLD : css::awt::FontWeight::NORMAL));
    });
}

void LibreOfficeEngine::SetSelectionRangeFontColor(int color) {
    if (!m_session) throw OfficeAutomationError(QStringLiteral("Font.Color: no office instance"), true);
    const Reference<css::text::XTextCursor> selection = m_session->selection();
    if (!selection.is()) throw OfficeAutomationError(QStringLiteral("Font.Color: no selection"), false);
    m_session->call("Font.Color", m_session->callTimeout(), [&] {
        Reference<css::beans::XPropertySet>(selection, UNO_QUERY_THROW)
            ->setPropertyValue(rtl::OUString("CharColor"), css::uno::Any(officeColor(color)));
    });
}

std::vector<pid_t> LibreOfficeEngine::OfficeProcessIds() const {
    if (!m_session) return {};
    return m_session->process().groupMembers();
}
