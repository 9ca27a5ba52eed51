#include "app/CMessageBoxService.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>
#include <QMessageBox>
#include <QMutexLocker>
#include <QUrl>

CMessageBoxService& CMessageBoxService::instance() {
    static CMessageBoxService service;
    return service;
}

QString CMessageBoxService::displayText(const QString& text) {
    // The texts carry Windows line ends; show them as plain line breaks.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

void CMessageBoxService::record(const QString& kind, const QString& text) {
    QMutexLocker lock(&m_mutex);
    m_shown.append({kind, text});
}

void CMessageBoxService::Information(QWidget* parent, const QString& text) {
    record(QStringLiteral("info"), text);
    if (m_testMode) return;
    QMessageBox box(QMessageBox::Information, QStringLiteral("Tesseldoc"), displayText(text), QMessageBox::Ok, parent);
    box.exec();
}

QMessageBox* CMessageBoxService::OpenInformation(QWidget* parent, const QString& text) {
    record(QStringLiteral("info"), text);
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Tesseldoc"), displayText(text),
                                QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    if (!m_testMode) box->open();
    return box;
}

void CMessageBoxService::Plain(QWidget* parent, const QString& text) {
    record(QStringLiteral("plain"), text);
    if (m_testMode) return;
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tesseldoc"), displayText(text), QMessageBox::Ok, parent);
    box.exec();
}

bool CMessageBoxService::Question(QWidget* parent, const QString& text) {
    record(QStringLiteral("question"), text);
    if (m_testMode) {
        if (m_questionHook) m_questionHook(text);
        QMutexLocker lock(&m_mutex);
        if (m_answers.empty()) return false;
        const bool yes = m_answers.front();
        m_answers.pop_front();
        return yes;
    }
    QMessageBox box(QMessageBox::Question, QStringLiteral("Tesseldoc"), displayText(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

int CMessageBoxService::ExecDialog(QDialog& dialog) {
    record(QStringLiteral("dialog"), dialog.windowTitle());
    if (m_testMode) {
        if (!m_dialogHandler) return QDialog::Rejected;
        return m_dialogHandler(dialog);
    }
    return dialog.exec();
}

void CMessageBoxService::SizeFileDialog(QFileDialog& dialog) {
    const QWidget* parent = dialog.parentWidget();
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize area = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    const QSize size(qBound(qMin(640, area.width()), area.width() * 2 / 3, 1100),
                     qBound(qMin(440, area.height()), area.height() * 2 / 3, 720));
    dialog.resize(size);
    // The detail view of Qt's dialog: the name column takes what the size,
    // type and date columns leave.
    if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = view->header();
        const QFontMetrics fm(view->font());
        const int others = fm.horizontalAdvance(QStringLiteral("0000.0 KiB")) +
                           fm.horizontalAdvance(QStringLiteral("Notes database File")) +
                           fm.horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + 60;
        header->setStretchLastSection(false);
        header->resizeSection(0, qMax(260, size.width() - 200 - others));
        for (int c = 1; c < header->count(); ++c) header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    }
}

QStringList CMessageBoxService::GetOpenFileNames(QWidget* parent, const QString& caption, const QString& filter) {
    if (m_testMode) return m_openFilesHandler ? m_openFilesHandler() : QStringList();
    QFileDialog dialog(parent, caption, QString(), filter);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    SizeFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

QString CMessageBoxService::GetExistingDirectory(QWidget* parent, const QString& caption, const QString& start) {
    if (m_testMode) return m_directoryHandler ? m_directoryHandler() : QString();
    QFileDialog dialog(parent, caption, start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    SizeFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted) return QString();
    return dialog.selectedFiles().value(0);
}

void CMessageBoxService::OpenUrl(const QString& urlOrPath) {
    record(QStringLiteral("open"), urlOrPath);
    if (m_testMode) return;
    const QUrl url = urlOrPath.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(urlOrPath) : QUrl(urlOrPath);
    // Without a program to open it (no desktop launcher) the user is told, not left waiting.
    if (!QDesktopServices::openUrl(url))
        Information(QApplication::activeWindow(),
                    QStringLiteral("%1 could not be opened: no program to open it was found on this desktop.")
                        .arg(urlOrPath));
}

void CMessageBoxService::setTestMode(bool on) { m_testMode = on; }

void CMessageBoxService::queueAnswer(bool yes) {
    QMutexLocker lock(&m_mutex);
    m_answers.push_back(yes);
}

void CMessageBoxService::setDialogHandler(std::function<int(QDialog&)> handler) { m_dialogHandler = std::move(handler); }

void CMessageBoxService::setOpenFileNamesHandler(std::function<QStringList()> handler) {
    m_openFilesHandler = std::move(handler);
}

void CMessageBoxService::setDirectoryHandler(std::function<QString()> handler) {
    m_directoryHandler = std::move(handler);
}

void CMessageBoxService::setQuestionHook(std::function<void(const QString&)> hook) { m_questionHook = std::move(hook); }

QList<CMessageBoxService::Shown> CMessageBoxService::shown() const {
    QMutexLocker lock(&m_mutex);
    return m_shown;
}

QStringList CMessageBoxService::shownTexts() const {
    QMutexLocker lock(&m_mutex);
    QStringList texts;
    for (const Shown& s : m_shown)
        if (s.kind != QLatin1String("dialog") && s.kind != QLatin1String("open")) texts.append(s.text);
    return texts;
}

void CMessageBoxService::clear() {
    QMutexLocker lock(&m_mutex);
    m_shown.clear();
    m_answers.clear();
    m_dialogHandler = nullptr;
    m_openFilesHandler = nullptr;
    m_directoryHandler = nullptr;
    m_questionHook = nullptr;
}
