#include "steps/CAdvanceSettingsDlg.h"

#include "app/AppTexts.h"
#include "steps/SaveTexts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QSettings>
#include <QVBoxLayout>

CAdvanceSettingsDlg::CAdvanceSettingsDlg(QWidget* parent)
    : QDialog(parent), m_pCheck(new QCheckBox(SaveTexts::kShowViewFolders, this)) {
    setWindowTitle(SaveTexts::kAdvanceTitle);
    m_pCheck->setChecked(ReadCheck() != 0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAdvanceSettingsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pCheck);
    layout->addWidget(buttons);
}

void CAdvanceSettingsDlg::accept() {
    WriteCheck(m_pCheck->isChecked() ? 1 : 0);
    QDialog::accept();
}

int CAdvanceSettingsDlg::ReadCheck() {
    QSettings settings(AppTexts::kRegistryKey, AppTexts::kProductName);
    return settings.value(AppTexts::kSettingsAdvanced + QLatin1Char('/') + AppTexts::kSettingsCheck, 0).toInt();
}

void CAdvanceSettingsDlg::WriteCheck(int value) {
    QSettings settings(AppTexts::kRegistryKey, AppTexts::kProductName);
    settings.setValue(AppTexts::kSettingsAdvanced + QLatin1Char('/') + AppTexts::kSettingsCheck, value);
}
