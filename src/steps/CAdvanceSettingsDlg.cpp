#include "steps/CAdvanceSettingsDlg.h"

#include "app/AppTexts.h"
#include "steps/SaveTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QSettings>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

namespace {
const QString kJobsKey = QStringLiteral("OfficeInstances");
const QString kEveryDocumentKey = QStringLiteral("EveryDocument");
const QString kOnceKey = QStringLiteral("OncePerDocument");
const QString kEngineKey = QStringLiteral("Engine");

bool readFlag(const QString& key) {
    QSettings settings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication);
    return settings.value(AppTexts::kSettingsAdvanced + QLatin1Char('/') + key, false).toBool();
}

void writeFlag(const QString& key, bool on) {
    QSettings settings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication);
    settings.setValue(AppTexts::kSettingsAdvanced + QLatin1Char('/') + key, on);
}
}

CAdvanceSettingsDlg::CAdvanceSettingsDlg(QWidget* parent)
    : QDialog(parent),
      m_pCheck(new QCheckBox(SaveTexts::kShowViewFolders, this)),
      m_pEveryDocument(new QCheckBox(SaveTexts::kEveryDocumentSetting, this)),
      m_pOnce(new QCheckBox(SaveTexts::kOnceSetting, this)),
      m_pSince(new QCheckBox(SaveTexts::kDateFrom, this)),
      m_pSinceDate(new QDateEdit(this)),
      m_pUntil(new QCheckBox(SaveTexts::kDateTo, this)),
      m_pUntilDate(new QDateEdit(this)),
      m_pJobs(new QSpinBox(this)),
      m_pEngine(new QComboBox(this)) {
    setWindowTitle(SaveTexts::kAdvanceTitle);
    m_pCheck->setChecked(ReadCheck() != 0);
    m_pEveryDocument->setObjectName(QStringLiteral("EveryDocument"));
    m_pEveryDocument->setChecked(ReadEveryDocument());
    m_pOnce->setObjectName(QStringLiteral("OncePerDocument"));
    m_pOnce->setChecked(ReadOnce());
    m_pJobs->setRange(1, 4);
    m_pJobs->setValue(ReadJobs());
    m_pJobs->setToolTip(tr("Documents are written by this many writers side by side (office instances, or "
                           "threads of the native engine)"));
    m_pEngine->setObjectName(QStringLiteral("Engine"));
    m_pEngine->addItem(tr("Native (no office needed)"), int(Engine::Native));
    m_pEngine->addItem(tr("Office (LibreOffice)"), int(Engine::Office));
    m_pEngine->setCurrentIndex(m_pEngine->findData(int(ReadEngine())));
    m_pEngine->setToolTip(tr("The native engine writes .doc and .docx itself; an item it cannot represent, and "
                             "PDF documents, are written by the office"));
    auto* range = new QGroupBox(SaveTexts::kDateRangeGroup, this);
    auto* grid = new QGridLayout(range);
    for (QDateEdit* edit : {m_pSinceDate, m_pUntilDate}) {
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setCalendarPopup(true);
        edit->setEnabled(false);
    }
    grid->addWidget(m_pSince, 0, 0);
    grid->addWidget(m_pSinceDate, 0, 1);
    grid->addWidget(m_pUntil, 1, 0);
    grid->addWidget(m_pUntilDate, 1, 1);
    connect(m_pSince, &QCheckBox::toggled, m_pSinceDate, &QWidget::setEnabled);
    connect(m_pUntil, &QCheckBox::toggled, m_pUntilDate, &QWidget::setEnabled);
    // An end before the start is not a range: the other end follows.
    connect(m_pSinceDate, &QDateEdit::dateChanged, this, [this](const QDate& d) {
        if (m_pUntil->isChecked() && m_pUntilDate->date() < d) m_pUntilDate->setDate(d);
    });
    connect(m_pUntilDate, &QDateEdit::dateChanged, this, [this](const QDate& d) {
        if (m_pSince->isChecked() && m_pSinceDate->date() > d) m_pSinceDate->setDate(d);
    });
    SetDateRange(ReadDateRange());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAdvanceSettingsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pCheck);
    layout->addWidget(m_pEveryDocument);
    layout->addWidget(m_pOnce);
    auto* form = new QFormLayout;
    form->addRow(tr("Engine:"), m_pEngine);
    form->addRow(tr("Writers side by side:"), m_pJobs);
    layout->addLayout(form);
    layout->addWidget(range);
    layout->addWidget(buttons);
    // Wide enough for its title beside the window buttons, and for the date fields side by side.
    setMinimumWidth(qMax(380, fontMetrics().horizontalAdvance(windowTitle()) + 200));
}

void CAdvanceSettingsDlg::accept() {
    WriteCheck(m_pCheck->isChecked() ? 1 : 0);
    WriteJobs(m_pJobs->value());
    WriteEngine(Engine(m_pEngine->currentData().toInt()));
    WriteEveryDocument(m_pEveryDocument->isChecked());
    WriteOnce(m_pOnce->isChecked());
    WriteDateRange(DateRange());
    QDialog::accept();
}

int CAdvanceSettingsDlg::ReadCheck() {
    QSettings settings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication);
    return settings.value(AppTexts::kSettingsAdvanced + QLatin1Char('/') + AppTexts::kSettingsCheck, 0).toInt();
}

void CAdvanceSettingsDlg::WriteCheck(int value) {
    QSettings settings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication);
    settings.setValue(AppTexts::kSettingsAdvanced + QLatin1Char('/') + AppTexts::kSettingsCheck, value);
}

bool CAdvanceSettingsDlg::ReadEveryDocument() { return readFlag(kEveryDocumentKey); }
void CAdvanceSettingsDlg::WriteEveryDocument(bool on) { writeFlag(kEveryDocumentKey, on); }
bool CAdvanceSettingsDlg::ReadOnce() { return readFlag(kOnceKey); }
void CAdvanceSettingsDlg::WriteOnce(bool on) { writeFlag(kOnceKey, on); }

int CAdvanceSettingsDlg::DefaultJobs() { return qBound(1, QThread::idealThreadCount(), 4); }

int CAdvanceSettingsDlg::ReadJobs() {
    QSettings settings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication);
    const int jobs = settings.value(AppTexts::kSettingsAdvanced + QLatin1Char('/') + kJobsKey, DefaultJobs()).toInt();
    return qBound(1, jobs, 4);
}

void CAdvanceSettingsDlg::WriteJobs(int value) {
    QSettings settings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication);
    settings.setValue(AppTexts::kSettingsAdvanced + QLatin1Char('/') + kJobsKey, qBound(1, value, 4));
}

CAdvanceSettingsDlg::Engine CAdvanceSettingsDlg::DefaultEngine() { return Engine::Native; }

CAdvanceSettingsDlg::Engine CAdvanceSettingsDlg::ReadEngine() {
    QSettings settings(AppTexts::kRegistryKey, AppTexts::kProductName);
    const QString value = settings.value(AppTexts::kSettingsAdvanced + QLatin1Char('/') + kEngineKey).toString();
    if (value == QLatin1String("native")) return Engine::Native;
    if (value == QLatin1String("office")) return Engine::Office;
    return DefaultEngine();
}

void CAdvanceSettingsDlg::WriteEngine(Engine engine) {
    QSettings settings(AppTexts::kRegistryKey, AppTexts::kProductName);
    settings.setValue(AppTexts::kSettingsAdvanced + QLatin1Char('/') + kEngineKey,
                      engine == Engine::Native ? QStringLiteral("native") : QStringLiteral("office"));
}

namespace {
QString rangeKey(const char* which) {
    return AppTexts::kSettingsAdvanced + QLatin1Char('/') + QLatin1String(which);
}
}  // namespace

ItemDateRange CAdvanceSettingsDlg::ReadDateRange() {
    QSettings settings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication);
    ItemDateRange range;
    range.since = ItemDateRange::ParseDay(settings.value(rangeKey("Since")).toString());
    range.until = ItemDateRange::ParseDay(settings.value(rangeKey("Until")).toString());
    if (range.since.isValid() && range.until.isValid() && range.until < range.since) return ItemDateRange();
    return range;
}

void CAdvanceSettingsDlg::WriteDateRange(const ItemDateRange& range) {
    QSettings settings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication);
    settings.setValue(rangeKey("Since"), range.since.isValid() ? range.since.toString(Qt::ISODate) : QString());
    settings.setValue(rangeKey("Until"), range.until.isValid() ? range.until.toString(Qt::ISODate) : QString());
}

ItemDateRange CAdvanceSettingsDlg::DateRange() const {
    ItemDateRange range;
    if (m_pSince->isChecked()) range.since = m_pSinceDate->date();
    if (m_pUntil->isChecked()) range.until = m_pUntilDate->date();
    return range;
}

void CAdvanceSettingsDlg::SetDateRange(const ItemDateRange& range) {
    const QDate today = QDate::currentDate();
    m_pSince->setChecked(range.since.isValid());
    m_pSinceDate->setDate(range.since.isValid() ? range.since : today.addYears(-1));
    m_pUntil->setChecked(range.until.isValid());
    m_pUntilDate->setDate(range.until.isValid() ? range.until : today);
}
