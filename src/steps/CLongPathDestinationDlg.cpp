#include "steps/CLongPathDestinationDlg.h"

#include "app/CMessageBoxService.h"
#include "steps/DestinationRules.h"
#include "steps/SaveTexts.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

CLongPathDestinationDlg::CLongPathDestinationDlg(const QString& notesFolder, QWidget* parent)
    : QDialog(parent), m_strNotesFolder(notesFolder), m_pPathEdit(new QLineEdit(this)) {
    setWindowTitle(SaveTexts::kSelectDestinationTitle);
    m_pPathEdit->setMinimumWidth(360);
    auto* browse = new QToolButton(this);
    browse->setText(QStringLiteral("..."));
    connect(browse, &QToolButton::clicked, this, &CLongPathDestinationDlg::OnBrowse);
    auto* notice = new QLabel(SaveTexts::kLongPathNotice, this);
    notice->setWordWrap(true);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(SaveTexts::kLongPathLabel, this));
    row->addWidget(m_pPathEdit, 1);
    row->addWidget(browse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CLongPathDestinationDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(notice);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

void CLongPathDestinationDlg::SetFolderPath(const QString& path) { m_pPathEdit->setText(path); }

void CLongPathDestinationDlg::OnBrowse() {
    const QString chosen = CMessageBoxService::instance().GetExistingDirectory(
        this, SaveTexts::kSelectDestinationTitle, m_pPathEdit->text().isEmpty() ? QDir::homePath() : m_pPathEdit->text());
    if (!chosen.isEmpty()) SetFolderPath(chosen);
}

void CLongPathDestinationDlg::accept() {
    const QString path = m_pPathEdit->text().trimmed();
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir()) {
        // Nothing would be written into a folder that is not there.
        CMessageBoxService::instance().Information(this, SaveTexts::kInvalidPath);
        return;
    }
    if (!DestinationRules::CheckLongPathDestination(path, m_strNotesFolder, &m_strFolder, &m_strNewName)) {
        CMessageBoxService::instance().Information(this, SaveTexts::kLongPathTooLong);
        return;
    }
    QDialog::accept();
}
