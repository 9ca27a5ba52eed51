#include "office/LibreOfficeDocuments.h"

#include <QFile>
#include <QFileInfo>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/frame/XLoadable.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include "office/LibreOfficeDocument.h"
#include "office/LibreOfficeSession.h"
#include "office/UnoProperties.h"
#include "office/UnoStrings.h"

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

std::unique_ptr<IOfficeDocument> LibreOfficeDocuments::Open(const OpenArguments& args) {
    m_session->requireAlive("Documents.Open");
    const QFileInfo info(args.fileName);
    if (!info.isFile() || !info.isReadable()) return nullptr;

    css::uno::Sequence<css::beans::PropertyValue> props = unoProperties({
        unoProperty("Hidden", css::uno::Any(true)),
        unoProperty("ReadOnly", css::uno::Any(args.readOnly != 0)),
        unoProperty("MacroExecutionMode", css::uno::Any(css::document::MacroExecMode::NEVER_EXECUTE)),
    });
    // Bodies come as RTF or as UTF-16LE text with a byte-order mark: name the filter
    // rather than leave it to detection; anything else is detected. Text is set in
    // the word processor's usual body font rather than the text filter's fixed pitch.
    QFile file(args.fileName);
    QByteArray head;
    if (file.open(QIODevice::ReadOnly)) head = file.read(8);
    auto add = [&props](const char* name, const rtl::OUString& value) {
        props.realloc(props.getLength() + 1);
        props.getArray()[props.getLength() - 1] = unoProperty(name, css::uno::Any(value));
    };
    // An empty body (nothing, or a byte-order mark alone) is an empty document.
    const bool empty = info.size() == 0 || (info.size() == 2 && head == QByteArray("\xFF\xFE", 2)) ||
                       (info.size() == 3 && head == QByteArray("\xEF\xBB\xBF", 3));
    const bool knownFormat =
        empty || head.startsWith("{\\rtf") || head.startsWith("\xFF\xFE") || head.startsWith("\xEF\xBB\xBF");
    if (head.startsWith("{\\rtf")) {
        add("FilterName", rtl::OUString("Rich Text Format"));
    } else if (head.startsWith("\xFF\xFE")) {
        add("FilterName", rtl::OUString("Text (encoded)"));
        add("FilterOptions", rtl::OUString("UNICODE,CRLF,Times New Roman,,"));
    } else if (head.startsWith("\xEF\xBB\xBF")) {
        add("FilterName", rtl::OUString("Text (encoded)"));
        add("FilterOptions", rtl::OUString("UTF8,CRLF,Times New Roman,,"));
    }

    Reference<css::lang::XComponent> model;
    try {
        model = m_session->call(
            "Documents.Open", m_session->timeoutForFile(args.fileName),
            [&]() -> Reference<css::lang::XComponent> {
                if (knownFormat && !args.needsLayout) {
                    // A known format loads straight into a document model: no frame, no
                    // view, no layout (a third of the time per document). PDF export
                    // renders pages, which needs the view.
                    const Reference<css::lang::XComponent> doc(
                        m_session->remoteContext()->getServiceManager()->createInstanceWithContext(
                            rtl::OUString("com.sun.star.text.TextDocument"), m_session->remoteContext()),
                        UNO_QUERY_THROW);
                    if (empty) {
                        Reference<css::frame::XLoadable>(doc, UNO_QUERY_THROW)->initNew();
                        return doc;
                    }
                    css::uno::Sequence<css::beans::PropertyValue> media(props);
                    media.realloc(media.getLength() + 1);
                    media.getArray()[media.getLength() - 1] =
                        unoProperty("URL", css::uno::Any(fileUrl(info.absoluteFilePath())));
                    Reference<css::frame::XLoadable>(doc, UNO_QUERY_THROW)->load(media);
                    return doc;
                }
                return m_session->loader()->loadComponentFromURL(fileUrl(info.absoluteFilePath()),
                                                                 rtl::OUString("_blank"), 0, props);
            });
    } catch (const OfficeAutomationError& e) {
        if (e.instanceLost()) throw;
        return nullptr;  // refused by the office: nothing came back
    }
    if (!model.is()) return nullptr;
    if (!Reference<css::text::XTextDocument>(model, UNO_QUERY).is()) {
        // Not a text document (a spreadsheet, a drawing): no document for the word processor.
        try {
            m_session->call("Document.Close", m_session->callTimeout(), [&] {
                Reference<css::util::XCloseable>(model, css::uno::UNO_QUERY_THROW)->close(true);
            });
        } catch (const OfficeAutomationError& e) {
            if (e.instanceLost()) throw;
        }
        return nullptr;
    }
    m_session->setActiveDocument(model);
    return std::make_unique<LibreOfficeDocument>(m_session, model, info.absoluteFilePath());
}
