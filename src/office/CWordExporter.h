#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "export/IDocumentExporter.h"
#include "office/IOfficeAutomation.h"

// Turns one converted item into one Word 97-2003 document: opens the item's body
// file in the word processor, puts the two-column header table (from an RTF
// template) at the top, or for contacts a text block and the photo, and saves
// the result under the item's name in the output folder. One exporter per save
// run; it keeps one word-processor instance for the whole run and restarts it
// when an automation call fails.
//
// Recovery: an instance lost during an item costs that item only. A new one is
// started at once and, should that fail, again before each following item, a
// few times with growing pauses each time. Only when no instance could be
// started at all for `giveUpAfter` does the exporter give up (GaveUp): every
// later item then fails at once with the reason.
class CWordExporter : public IDocumentExporter {
  public:
    using EngineFactory = std::function<std::unique_ptr<IOfficeAutomation>()>;

    struct RecoveryPolicy {
        int attemptsPerItem = 3;                          // start attempts before an item fails
        std::chrono::milliseconds firstPause{250};        // before the second attempt; doubles
        std::chrono::milliseconds longestPause{4000};
        std::chrono::milliseconds giveUpAfter{90000};     // no instance for this long: give up
    };

    // The LibreOffice engine.
    CWordExporter();
    // Another automation (tests): `factory` makes the application object.
    explicit CWordExporter(EngineFactory factory);
    ~CWordExporter() override;
    CWordExporter(const CWordExporter&) = delete;
    CWordExporter& operator=(const CWordExporter&) = delete;

    bool CheckWordAvailable();
    bool StartWord() override;
    void ShutdownWord() override;
    void SetRootFolder(const QString& path) override;
    void SetOutputOptions(const OutputOptions& options) override { m_outputOptions = options; }
    bool SetOutputFolder(const QString& relative) override;
    QString GetOutputFolder() const override;
    void SetHeaderInputs(const QString& subject, const QString& from, const QString& sendTo,
                         const QString& mailDate, const QString& block) override;
    int CountHeaderLabels(const QString& block) const override;
    void SetTemplate(const QString& rtfText) override;
    void SetPhotoPath(const QString& path) override;
    QString ReserveDocumentPath(const QString& name) override;
    bool ExportItem(const QString& bodyFile, const QString& name) override;
    bool ExportContact(const QString& bodyFile, const QString& name) override;
    QString LastFailure() const override { return m_lastFailure; }
    QString LastWrittenPath() const override { return m_lastWrittenPath; }
    bool GaveUp() const override { return m_gaveUp; }

    void SetRecoveryPolicy(const RecoveryPolicy& policy) { m_policy = policy; }
    // Instances started successfully since construction (restarts included).
    int StartCount() const { return m_startCount; }

    // Writes the item (contact: as a contact) to exactly `path`.
    bool ExportTo(bool contact, const QString& bodyFile, const QString& path) override;
    // Whether a word-processor instance is running.
    bool IsRunning() const { return m_app != nullptr; }
    // The instance is replaced after this many documents (0: never), which
    // keeps the office's memory bounded over long runs.
    void SetRestartEvery(int documents) { m_restartEvery = documents; }
    static constexpr int kDefaultRestartEvery = 1000;
    // Name of the header table's scratch file in the private temporary
    // directory (several exporters in one process need one each).
    void SetTableFileName(const QString& name) { m_tableFileName = name; }

    // Text of the last failure to reach the word processor.
    QString LastError() const { return m_strLastError; }
    // The header table's text of the last export.
    QString TableText() const { return m_strTableText; }
    // The application object, for diagnostics (null before StartWord).
    IOfficeAutomation* Application() const { return m_app.get(); }

    // The labels the header table is filled with, in fill order.
    static const QStringList& TableLabels();
    // The value of `label` in `text`: the rest of the label's line up to and
    // including the first character of its line break; empty without one.
    static QString LabelValue(const QString& text, const QString& label);
    // The integer a version text starts with ("11.0" gives 11, no digits 0).
    static int VersionNumber(const QString& version);

  private:
    enum class Kind { Item, Contact };
    // `fixedPath` non-empty: written exactly there (`name` unused).
    bool exportAs(Kind kind, const QString& bodyFile, const QString& name, const QString& fixedPath = QString());
    bool exportDocument(const QString& bodyFile, const QString& path);
    bool exportContact(const QString& bodyFile, const QString& path);
    void composeTableText();
    int generation();
    bool openBody(const QString& bodyFile);
    void insertHeaderTable();
    void fillHeaderTable();
    void saveAndClose(const QString& path);
    IOfficeDocument* document() const;
    void releaseDocuments();
    void closeQuietly();
    void quitApplication();
    bool startOnce(QString* error);
    bool startWithRetries();
    bool ensureRunning();
    void restartAfterLoss();
    QString documentPath(const QString& name) const;

    EngineFactory m_factory;

    QString m_strTableText;
    std::unique_ptr<IOfficeAutomation> m_app;
    std::unique_ptr<IOfficeDocument> m_doc;
    std::unique_ptr<IOfficeDocuments> m_docs;
    std::unique_ptr<IOfficeDocument> m_docOld;
    std::unique_ptr<IOfficeDocuments> m_docsOld;
    QString m_strPhotoPath;
    QString m_strLastError;
    QString m_strRootFolder;
    QString m_strOutputFolder;
    QString m_strOutputRelative;  // the output folder below the root, "/" between levels
    QString m_currentName;        // the item being exported, and its document path
    QString m_currentPath;
    QString m_folderProblem;      // why the output folder could not be made; empty when it was
    QString m_strTemplate;
    QString m_strSubject;
    QString m_strFrom;
    QString m_strSendTo;
    QString m_strMailDate;
    QString m_strHeaderBlock;

    QString m_lastFailure;
    QString m_lastWrittenPath;
    QString m_reservedName;  // the next export of this name goes to m_reservedPath
    QString m_reservedPath;
    bool m_wroteDocuments = false;
    int m_restartEvery = kDefaultRestartEvery;
    int m_documentsSinceStart = 0;
    QString m_tableFileName = QStringLiteral("RtfTable.rtf");

    RecoveryPolicy m_policy;
    bool m_runActive = false;  // between a successful StartWord and ShutdownWord
    bool m_gaveUp = false;
    QString m_gaveUpReason;
    bool m_saved = false;  // the current item's document has been published
    int m_startCount = 0;
    // First failed start since an instance last came up.
    std::optional<std::chrono::steady_clock::time_point> m_unavailableSince;
    OutputOptions m_outputOptions;
};
