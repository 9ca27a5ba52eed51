#pragma once

#include <QString>
#include <memory>

// The word-processor automation the Word exporter relies on, one operation per
// call it makes: the application object ("Word.Application"), its Documents
// collection, its Selection and its documents. Implemented by the LibreOffice
// engine (LibreOfficeEngine) and, in tests, by a recording fake.
//
// Every call except Create, IsCreated and Quit throws OfficeAutomationError when
// it fails; none of them is made without a created instance.

// The two generations of the automation forms: the word processor's version 9
// and lower take Documents.Open with 12 arguments and SaveAs with 11, version
// 10 and higher take 16 and 16.
enum class AutomationForm { Old, New };

// Documents.Open(FileName, ConfirmConversions omitted, ReadOnly, rest omitted).
struct OpenArguments {
    AutomationForm form = AutomationForm::New;
    QString fileName;
    int readOnly = 1;
    // The document will be laid out (for PDF): it needs a view, which costs
    // time that saving to a word-processor format does not need.
    bool needsLayout = false;

    int argumentCount() const { return form == AutomationForm::New ? 16 : 12; }
};

// Document.SaveAs(FileName, FileFormat, LockComments, Password, AddToRecentFiles,
// WritePassword, then the remaining arguments, all `remaining`).
struct SaveAsArguments {
    AutomationForm form = AutomationForm::New;
    QString fileName;
    // 0: the word processor's 97-2003 document format; 12 or 16: its 2007-365
    // document format; 17: PDF (archival, PDF/A part `pdfArchivePart`, "b" level).
    int fileFormat = 0;
    int pdfArchivePart = 2;
    int lockComments = 0;
    QString password;
    int addToRecentFiles = 0;
    QString writePassword;
    int remaining = 0;

    int argumentCount() const { return form == AutomationForm::New ? 16 : 11; }
};

// One open document (Document).
class IOfficeDocument {
  public:
    virtual ~IOfficeDocument() = default;

    // Tables.Item(table).Cell(row, column).Range.Text = text; all 1-based,
    // tables counted in document order.
    virtual void SetTableCellText(int table, int row, int column, const QString& text) = 0;
    // InlineShapes.AddPicture(FileName, 3 omitted).
    virtual void AddInlinePicture(const QString& fileName) = 0;
    virtual void SaveAs(const SaveAsArguments& args) = 0;
    // Close(SaveChanges, 2 omitted); 0 closes without saving.
    virtual void Close(short saveChanges) = 0;
};

// Application.Documents.
class IOfficeDocuments {
  public:
    virtual ~IOfficeDocuments() = default;

    // Documents.Open; null when no document came back (missing or unreadable file).
    virtual std::unique_ptr<IOfficeDocument> Open(const OpenArguments& args) = 0;
};

// Application.
class IOfficeAutomation {
  public:
    virtual ~IOfficeAutomation() = default;

    // Creates a new, hidden application instance. False, with the reason in
    // *error, when no instance can be created.
    virtual bool Create(QString* error) = 0;
    virtual bool IsCreated() const = 0;
    // Application.Quit with its three arguments omitted, then release. Never throws.
    virtual void Quit() = 0;

    virtual void SetVisible(bool visible) = 0;
    virtual QString Version() = 0;
    virtual std::unique_ptr<IOfficeDocuments> Documents() = 0;

    // The selection of the active (last opened) document.
    virtual void SetSelectionStart(int position) = 0;
    virtual void SetSelectionEnd(int position) = 0;
    // Selection.InsertFile(FileName, Range omitted, ConfirmConversions, Link, Attachment omitted).
    virtual void SelectionInsertFile(const QString& fileName, int confirmConversions, int link) = 0;
    // Selection.Range.Text = text; the range then covers the inserted text.
    virtual void SetSelectionRangeText(const QString& text) = 0;
    // Selection.Range.Font: Size, Bold and Color (dispatch id 159, a 0x00BBGGRR value).
    virtual void SetSelectionRangeFontSize(double points) = 0;
    virtual void SetSelectionRangeFontBold(int bold) = 0;
    virtual void SetSelectionRangeFontColor(int color) = 0;
};
