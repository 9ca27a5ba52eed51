#include "steps/CSavingModeDlg.h"

#include "app/AppTexts.h"
#include "steps/SaveTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSettings>
#include <QVBoxLayout>

CSavingModeDlg::CSavingModeDlg(QWidget* parent)
    : QDialog(parent),
      m_pText(new QRadioButton(SaveTexts::kModeText)),
      m_pRtfLow(new QRadioButton(SaveTexts::kModeRtfLow)),
      m_pRtfBest(new QRadioButton(SaveTexts::kModeRtfBest)),
      m_pFormat(new QComboBox),
      m_pEmbed(new QCheckBox(SaveTexts::kEmbedAttachments)) {
    setWindowTitle(SaveTexts::kSavingModeTitle);
    auto* group = new QGroupBox(this);
    auto* options = new QVBoxLayout(group);
    options->addWidget(m_pText);
    options->addWidget(m_pRtfLow);
    options->addWidget(m_pRtfBest);
    // The mode chosen last time; text the first time.
    const int last = QSettings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication)
                         .value(AppTexts::kSettingsLastSavingMode, 1)
                         .toInt();
    SelectMode(last >= 1 && last <= 3 ? last : 1);
    auto* formatGroup = new QGroupBox(SaveTexts::kFormatGroup, this);
    auto* formatLayout = new QVBoxLayout(formatGroup);
    for (OutputFormat f : {OutputFormat::Doc, OutputFormat::Docx, OutputFormat::Pdf})
        m_pFormat->addItem(OutputFormats::label(f), int(f));
    formatLayout->addWidget(m_pFormat);
    formatLayout->addWidget(m_pEmbed);
    m_pEmbed->setEnabled(false);
    connect(m_pFormat, &QComboBox::currentIndexChanged, this, [this] {
        const bool pdf = m_pFormat->currentData().toInt() == int(OutputFormat::Pdf);
        m_pEmbed->setEnabled(pdf);
        if (!pdf) m_pEmbed->setChecked(false);
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSavingModeDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(SaveTexts::kSavingModePrompt, this));
    layout->addWidget(group);
    layout->addWidget(formatGroup);
    layout->addWidget(buttons);
}

int CSavingModeDlg::Mode() const {
    if (m_pRtfLow->isChecked()) return 2;
    if (m_pRtfBest->isChecked()) return 3;
    return 1;
}

void CSavingModeDlg::SelectMode(int mode) {
    (mode == 2 ? m_pRtfLow : mode == 3 ? m_pRtfBest : m_pText)->setChecked(true);
}

void CSavingModeDlg::accept() {
    QSettings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication).setValue(AppTexts::kSettingsLastSavingMode, Mode());
    QDialog::accept();
}

OutputOptions CSavingModeDlg::Output() const {
    OutputOptions options;
    options.format = static_cast<OutputFormat>(m_pFormat->currentData().toInt());
    options.embedAttachments = options.format == OutputFormat::Pdf && m_pEmbed->isChecked();
    return options;
}

void CSavingModeDlg::SelectOutput(const OutputOptions& options) {
    const int index = m_pFormat->findData(int(options.format));
    m_pFormat->setCurrentIndex(index < 0 ? 0 : index);
    m_pEmbed->setChecked(options.format == OutputFormat::Pdf && options.embedAttachments);
}
