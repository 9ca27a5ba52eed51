#pragma once

// A document open in the LibreOffice engine. Office-internal (UNO headers).

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <vector>

#include "office/IOfficeAutomation.h"

class LibreOfficeSession;

// Cell texts set with SetTableCellText reach the document when it is next used
// (AddInlinePicture, SaveAs); a failure to place them is reported there.
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
    void flushCells();

    // Cell texts are collected and written in one go before the document is
    // next used otherwise (picture, save): one call for a whole header table.
    struct PendingCell {
        int table;
        int row;
        int column;
        QString text;
    };
    std::vector<PendingCell> m_pendingCells;

    // Kept alive by its documents; quit sessions refuse every call.
    std::shared_ptr<LibreOfficeSession> m_session;
    com::sun::star::uno::Reference<com::sun::star::lang::XComponent> m_model;
    QString m_sourcePath;
};
