#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

class QDialog;
class QFileDialog;
class QMessageBox;
class QWidget;

// Every message box, modal dialog, file or folder chooser and shell open of
// the GUI goes through this one service. In normal use it shows them; in
// test mode nothing is shown: messages are recorded, questions take queued
// answers (No when none is queued), dialogs go to a handler (rejected when
// none is set), so no test can hang on a box nobody answers.
class CMessageBoxService {
public:
    static CMessageBoxService& instance();

    // Information icon and OK.
    void Information(QWidget* parent, const QString& text);
    // Information icon and OK, without waiting: the box stays until OK or
    // until its owner closes it, and is deleted then. In test mode it is
    // made but never shown.
    QMessageBox* OpenInformation(QWidget* parent, const QString& text);
    // OK without an icon.
    void Plain(QWidget* parent, const QString& text);
    // Question icon, Yes/No; true on Yes.
    bool Question(QWidget* parent, const QString& text);
    // Runs a modal dialog; returns QDialog::Accepted or Rejected.
    int ExecDialog(QDialog& dialog);
    QStringList GetOpenFileNames(QWidget* parent, const QString& caption, const QString& filter);
    QString GetExistingDirectory(QWidget* parent, const QString& caption, const QString& start);
    // Qt's own file dialog (used where the desktop offers none) opens small,
    // its columns cut: it gets a size from the screen and a name column
    // that shows names whole.
    static void SizeFileDialog(QFileDialog& dialog);
    // Opens a URL, folder or file with the desktop's handler.
    void OpenUrl(const QString& urlOrPath);

    // ---- test support
    struct Shown {
        QString kind;  // "info", "plain", "question", "dialog", "open"
        QString text;
    };
    void setTestMode(bool on);
    bool testMode() const { return m_testMode; }
    void queueAnswer(bool yes);
    void setDialogHandler(std::function<int(QDialog&)> handler);
    void setOpenFileNamesHandler(std::function<QStringList()> handler);
    void setDirectoryHandler(std::function<QString()> handler);
    // Called when a question is asked in test mode, before its answer is taken.
    void setQuestionHook(std::function<void(const QString&)> hook);
    QList<Shown> shown() const;
    QStringList shownTexts() const;
    void clear();

private:
    CMessageBoxService() = default;
    void record(const QString& kind, const QString& text);
    static QString displayText(const QString& text);

    bool m_testMode = false;
    mutable QMutex m_mutex;
    QList<Shown> m_shown;
    std::deque<bool> m_answers;
    std::function<int(QDialog&)> m_dialogHandler;
    std::function<QStringList()> m_openFilesHandler;
    std::function<QString()> m_directoryHandler;
    std::function<void(const QString&)> m_questionHook;
};
