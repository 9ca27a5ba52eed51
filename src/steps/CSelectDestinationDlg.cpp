#include "steps/CSelectDestinationDlg.h"

#include "app/AppTexts.h"
#include "app/CMessageBoxService.h"
#include "app/GuiResources.h"
#include "steps/DestinationRules.h"
#include "steps/SaveTexts.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

CSelectDestinationDlg::CSelectDestinationDlg(QWidget* parent) : QDialog(parent), m_pPathEdit(new QLineEdit(this)) {
    setWindowTitle(SaveTexts::kSelectDestinationTitle);
    // A typed path counts as a chosen one and goes through the same checks.
    m_pPathEdit->setObjectName(QStringLiteral("FolderPath"));
    m_pPathEdit->setMinimumWidth(360);
    connect(m_pPathEdit, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_strFolderPath = TypedPath(text); });
    // A path longer than the field is read whole in its tooltip.
    connect(m_pPathEdit, &QLineEdit::textChanged, m_pPathEdit, &QLineEdit::setToolTip);
    auto* browse = new QToolButton(this);
    browse->setText(QStringLiteral("..."));
    browse->setToolTip(SaveTexts::kBrowseTip);
    browse->setFont(font());
    connect(browse, &QToolButton::clicked, this, &CSelectDestinationDlg::OnBrowse);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(SaveTexts::kFolderPathLabel, this));
    row->addWidget(m_pPathEdit, 1);
    row->addWidget(browse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSelectDestinationDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(SaveTexts::kDestPrompt, this));
    layout->addLayout(row);
    layout->addWidget(buttons);

    // The destination of the last run, while it is still there.
    const QString last = QSettings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication)
                             .value(AppTexts::kSettingsLastDestination)
                             .toString();
    if (!last.isEmpty() && QFileInfo(last).isDir()) SetFolderPath(last);
}

QString CSelectDestinationDlg::TypedPath(const QString& text) {
    QString path = text.trimmed();
    if (path.isEmpty()) return path;
    if (path == QLatin1String("~")) path = QDir::homePath();
    else if (path.startsWith(QLatin1String("~/"))) path = QDir::homePath() + path.mid(1);
    // A relative path has no place to be relative to: it is left as typed and refused.
    return QDir::isAbsolutePath(path) ? QDir::cleanPath(path) : path;
}

void CSelectDestinationDlg::TypePath(const QString& text) {
    m_pPathEdit->setText(text);
    m_strFolderPath = TypedPath(text);
}

void CSelectDestinationDlg::SetFolderPath(const QString& path) {
    m_strFolderPath = path;
    m_pPathEdit->setText(path);
}

void CSelectDestinationDlg::OnBrowse() {
    const QString start = m_strFolderPath.isEmpty() ? QDir::homePath() : m_strFolderPath;
    const QString chosen =
        CMessageBoxService::instance().GetExistingDirectory(this, SaveTexts::kSelectDestinationTitle, start);
    if (!chosen.isEmpty()) SetFolderPath(chosen);
}

bool CSelectDestinationDlg::MakeFolder(const QString& path, QString* why) {
    // The nearest existing parent says why a folder cannot be made under it.
    QFileInfo parent(path);
    while (!parent.exists() && parent.absoluteFilePath() != parent.absolutePath())
        parent = QFileInfo(parent.absolutePath());
    if (parent.exists() && !parent.isDir()) {
        *why = SaveTexts::kParentIsFile.arg(parent.absoluteFilePath());
        return false;
    }
    if (parent.exists() && !parent.isWritable()) {
        *why = SaveTexts::kParentIsReadOnly.arg(parent.absoluteFilePath());
        return false;
    }
    if (!QDir().mkpath(path) || !QFileInfo(path).isDir()) {
        *why = SaveTexts::kFolderNotMade.arg(parent.absoluteFilePath());
        return false;
    }
    return true;
}

void CSelectDestinationDlg::accept() {
    using namespace DestinationRules;
    CMessageBoxService& boxes = CMessageBoxService::instance();
    m_strFolderPath = TypedPath(m_pPathEdit->text());
    switch (CheckSelectDestination(m_strFolderPath, &m_strNewName, &m_strRoot)) {
    case SelectResult::EmptyPath:
        boxes.Information(this, SaveTexts::kSelectFolderPath);
        return;
    case SelectResult::NotAccessible:
        boxes.Information(this, SaveTexts::kInvalidPath);
        return;
    case SelectResult::ReadOnly:
        boxes.Information(this, SaveTexts::kReadOnlyFolder.arg(m_strFolderPath));
        return;
    case SelectResult::Missing: {
        if (!boxes.Question(this, SaveTexts::kCreateFolder.arg(m_strFolderPath))) return;
        QString why;
        if (!MakeFolder(m_strFolderPath, &why)) {
            boxes.Information(this, SaveTexts::kCannotCreateFolder.arg(m_strFolderPath, why));
            return;
        }
        // Made: checked again as a chosen folder (its length, above all).
        accept();
        return;
    }
    case SelectResult::FolderTooLong:
        boxes.Information(this, SaveTexts::kFolderTooLong);
        return;
    case SelectResult::RootTooLong:
        boxes.Information(this, SaveTexts::kFileTooLong);
        return;
    case SelectResult::Ok:
        QSettings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication)
            .setValue(AppTexts::kSettingsLastDestination, m_strFolderPath);
        QDialog::accept();
        return;
    }
}
