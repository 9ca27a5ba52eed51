#include "steps/CAdvanceSettingsDlg.h"

#include "app/AppTexts.h"
#include "steps/SaveTexts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSettings>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

namespace {
const QString kJobsKey = QStringLiteral("OfficeInstances");
}

CAdvanceSettingsDlg::CAdvanceSettingsDlg(QWidget* parent)
    : QDialog(parent), m_pCheck(new QCheckBox(SaveTexts::kShowViewFolders, this)), m_pJobs(new QSpinBox(this)) {
    setWindowTitle(SaveTexts::kAdvanceTitle);
    m_pCheck->setChecked(ReadCheck() != 0);
    m_pJobs->setRange(1, 4);
    m_pJobs->setValue(ReadJobs());
    m_pJobs->setToolTip(tr("Documents are written by this many office instances side by side"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAdvanceSettingsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pCheck);
    auto* form = new QFormLayout;
    form->addRow(tr("Office instances:"), m_pJobs);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CAdvanceSettingsDlg::accept() {
    WriteCheck(m_pCheck->isChecked() ? 1 : 0);
    WriteJobs(m_pJobs->value());
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

int CAdvanceSettingsDlg::DefaultJobs() { return qBound(1, QThread::idealThreadCount(), 4); }

int CAdvanceSettingsDlg::ReadJobs() {
    QSettings settings(AppTexts::kRegistryKey, AppTexts::kProductName);
    const int jobs = settings.value(AppTexts::kSettingsAdvanced + QLatin1Char('/') + kJobsKey, DefaultJobs()).toInt();
    return qBound(1, jobs, 4);
}

void CAdvanceSettingsDlg::WriteJobs(int value) {
    QSettings settings(AppTexts::kRegistryKey, AppTexts::kProductName);
    settings.setValue(AppTexts::kSettingsAdvanced + QLatin1Char('/') + kJobsKey, qBound(1, value, 4));
}
