#pragma once

// A document open in the LibreOffice engine. Office-internal (UNO headers).

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/text/XTextTable.hpp>

#include "office/IOfficeAutomation.h"

class LibreOfficeSession;

class LibreOfficeDocument : public IOfficeDocument {
public:
    LibreOfficeDocument(std::shared_ptr<LibreOfficeSession> session,
                        const com::sun::star::uno::Reference<com::sun::star::lang::XComponent>& model,
                        const QString& sourcePath);
    ~LibreOfficeDocument() override;  // closes the document when still open

    void SetTableCellText(int table, int row, int column, const QString& text) override;
    void AddInlinePicture(const QString& fileName) override;
    void SaveAs(const SaveAsArguments& args) override;
    void Close(short saveChanges) override;

private:
    com::sun::star::uno::Reference<com::sun::star::text::XTextTable> tableInOrder(int index) const;

    // Kept alive by its documents; quit sessions refuse every call.
    std::shared_ptr<LibreOfficeSession> m_session;
    com::sun::star::uno::Reference<com::sun::star::lang::XComponent> m_model;
    QString m_sourcePath;
};
