#include "steps/CSaveCompleteDlg.h"

#include "app/CMessageBoxService.h"
#include "steps/CFailedItemsDlg.h"
#include "steps/SaveRunRules.h"
#include "steps/SaveTexts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

CSaveCompleteDlg::CSaveCompleteDlg(const QString& caption, const QString& location, const FailedItemList& failures,
                                   QWidget* parent, int found, int written)
    : QDialog(parent), m_strLocation(location), m_failures(failures), m_nFound(found), m_nWritten(written) {
    setWindowTitle(caption);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    m_bNothingSaved = m_nFound >= 0 && m_nWritten == 0;

    m_pPicture = new QLabel(this);
    m_pPicture->setObjectName(QStringLiteral("Picture"));
    m_pText = new QLabel(this);
    m_pLink = new QLabel(this);
    m_pLink->setObjectName(QStringLiteral("LocationLink"));
    m_pLink->setWordWrap(true);
    connect(m_pLink, &QLabel::linkActivated, this, [this] { OnOpenFolder(); });

    m_pFailureLabel = new QLabel(FailureText(), this);
    m_pFailureLabel->setWordWrap(true);
    m_pShowFailures = new QPushButton(SaveTexts::kShowFailed, this);
    m_pShowFailures->setEnabled(!m_failures.isEmpty());
    m_pShowFailures->setAutoDefault(false);
    connect(m_pShowFailures, &QPushButton::clicked, this, &CSaveCompleteDlg::OnShowFailures);
    auto* failureRow = new QHBoxLayout;
    failureRow->addWidget(m_pFailureLabel, 1);
    failureRow->addWidget(m_pShowFailures);

    auto* texts = new QVBoxLayout;
    texts->addWidget(m_pText);
    texts->addWidget(m_pLink);
    texts->addSpacing(8);
    m_pCount = new QLabel(CountText(), this);
    m_pCount->setObjectName(QStringLiteral("Counts"));
    m_pCount->setWordWrap(true);
    m_pCount->setVisible(m_nFound >= 0);
    texts->addWidget(m_pCount);
    texts->addLayout(failureRow);
    m_pOutside = new QLabel(this);
    m_pOutside->setObjectName(QStringLiteral("OutsideDateRange"));
    m_pOutside->hide();
    texts->addWidget(m_pOutside);
    m_pLeftBehind = new QLabel(this);
    m_pLeftBehind->setObjectName(QStringLiteral("LeftBehind"));
    m_pLeftBehind->setWordWrap(true);
    m_pLeftBehind->hide();
    texts->addWidget(m_pLeftBehind);
    m_pNotConverted = new QLabel(this);
    m_pNotConverted->setObjectName(QStringLiteral("NotConverted"));
    m_pNotConverted->setWordWrap(true);
    m_pNotConverted->hide();
    texts->addWidget(m_pNotConverted);
    m_pByOffice = new QLabel(this);
    m_pByOffice->setObjectName(QStringLiteral("WrittenByOffice"));
    m_pByOffice->setWordWrap(true);
    m_pByOffice->hide();
    texts->addWidget(m_pByOffice);
    auto* top = new QHBoxLayout;
    top->addWidget(m_pPicture, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    m_pOpenFolder = buttons->addButton(SaveTexts::kOpenFolder, QDialogButtonBox::ActionRole);
    m_pOpenFolder->setObjectName(QStringLiteral("OpenFolder"));
    m_pOpenFolder->setToolTip(SaveTexts::kOpenFolderTip);
    m_pOpenFolder->setAutoDefault(false);
    connect(m_pOpenFolder, &QPushButton::clicked, this, &CSaveCompleteDlg::OnOpenFolder);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setMinimumWidth(480);
    UpdateLook();
}

void CSaveCompleteDlg::SetNothingSaved(bool nothing) {
    m_bNothingSaved = nothing;
    UpdateLook();
}

void CSaveCompleteDlg::SetLeftBehind(int documents) {
    m_nLeftBehind = documents;
    m_pLeftBehind->setText(SaveTexts::kLeftBehind.arg(documents));
    m_pLeftBehind->setVisible(documents > 0);
    UpdateLook();
}

void CSaveCompleteDlg::SetOutsideDateRange(int items) {
    m_pOutside->setText(SaveTexts::kOutsideDateRange.arg(items));
    m_pOutside->setVisible(items > 0);
}

bool CSaveCompleteDlg::IsWarning() const {
    return m_bNothingSaved || !m_failures.isEmpty() || !m_notConverted.isEmpty() || m_nLeftBehind > 0 ||
           (m_bTally && (m_tally.failed > 0 || m_tally.notConverted > 0));
}

void CSaveCompleteDlg::SetTally(const RunTally& tally, const FailedItemList& notConverted) {
    m_tally = tally;
    m_notConverted = notConverted;
    m_bTally = true;
    m_nFound = tally.found;
    m_nWritten = tally.written;
    m_pCount->setText(CountText());
    m_pCount->show();
    m_pFailureLabel->setText(FailureText());
    m_pNotConverted->setText(NotConvertedText());
    m_pNotConverted->setVisible(!m_pNotConverted->text().isEmpty());
    m_pShowFailures->setEnabled(!ListedItems().isEmpty());
    UpdateLook();
}

void CSaveCompleteDlg::SetFormatName(OutputFormat format) {
    m_format = format;
    UpdateLook();
}

void CSaveCompleteDlg::SetWrittenByOffice(const FailedItemList& items) {
    m_byOffice = items;
    m_pByOffice->setText(WrittenByOfficeText());
    m_pByOffice->setVisible(!m_byOffice.isEmpty());
    m_pShowFailures->setEnabled(!ListedItems().isEmpty());
}

QString CSaveCompleteDlg::WrittenByOfficeText() const {
    return m_byOffice.isEmpty() ? QString() : SaveTexts::kWrittenByOfficeCount.arg(m_byOffice.size());
}

FailedItemList CSaveCompleteDlg::ListedItems() const { return m_failures + m_notConverted + m_byOffice; }

QString CSaveCompleteDlg::NotConvertedText() const {
    if (!m_bTally) return QString();
    int sources = 0;
    for (const FailedItem& f : m_notConverted)
        if (f.noteId.isEmpty()) ++sources;
    QStringList lines;
    if (m_tally.notConverted > 0) lines << SaveTexts::kNotConvertedCount.arg(m_tally.notConverted);
    if (sources > 0) lines << SaveTexts::kSourcesNotReached.arg(sources);
    if (m_tally.dateRangeActive || m_tally.outsideDateRange > 0)
        lines << SaveTexts::kOutsideRange.arg(m_tally.outsideDateRange);
    return lines.join(QLatin1Char('\n'));
}

QString CSaveCompleteDlg::SavedAtText() const {
    // The text names the format the run wrote (it was written for .doc).
    QString text = m_bNothingSaved ? SaveTexts::kNothingSavedAt : SaveTexts::kSavedAt;
    if (m_format != OutputFormat::Doc)
        text.replace(QStringLiteral("DOC"), OutputFormats::word(m_format).toUpper());
    return text;
}

bool CSaveCompleteDlg::OffersFolder() const {
    return !m_strLocation.isEmpty() && QFileInfo(m_strLocation).isDir();
}

void CSaveCompleteDlg::UpdateLook() {
    const QStyle::StandardPixmap icon = IsWarning() ? QStyle::SP_MessageBoxWarning : QStyle::SP_MessageBoxInformation;
    m_pPicture->setPixmap(style()->standardIcon(icon).pixmap(32, 32));
    m_pText->setText(SavedAtText());
    m_pLink->setToolTip(m_strLocation);
    const QString shown = m_strLocation.toHtmlEscaped();
    if (OffersFolder()) {
        m_pLink->setTextFormat(Qt::RichText);
        m_pLink->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(shown, shown));
        m_pLink->setTextInteractionFlags(Qt::TextBrowserInteraction);
    } else {
        // A folder that does not exist is named, not offered.
        m_pLink->setTextFormat(Qt::PlainText);
        m_pLink->setText(m_strLocation + QLatin1Char(' ') + SaveTexts::kFolderNotCreated);
        m_pLink->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    m_pOpenFolder->setEnabled(OffersFolder());
}

QString CSaveCompleteDlg::FailureText() const {
    // Counted items without a document; the list may also name whole sources or
    // folders that could not be saved (no note ID) and lost attachments.
    int wholes = 0;
    for (const FailedItem& f : m_failures)
        if (f.noteId.isEmpty()) ++wholes;
    // With the whole run counted, items not reached are not "no document" failures.
    const int missing = m_bTally ? m_tally.failed
                        : m_nFound >= 0 && m_nWritten >= 0 ? qMax(0, m_nFound - m_nWritten)
                                                           : int(m_failures.size()) - wholes;
    QString text = SaveTexts::kNoDocument.arg(missing);
    if (wholes > 0) text += QLatin1Char(' ') + SaveTexts::kWholeFailures.arg(wholes);
    return text;
}

QString CSaveCompleteDlg::CountText() const {
    if (m_bTally)
        return SaveTexts::kItemsCount.arg(
            SaveRunRules::CountWords(m_tally.found, m_tally.written, m_tally.failed, m_tally.notConverted));
    return SaveTexts::kWrittenCount.arg(m_nWritten).arg(m_nFound);
}

void CSaveCompleteDlg::OnShowFailures() {
    CFailedItemsDlg dlg(ListedItems(), this);
    if (!m_byOffice.isEmpty()) dlg.setWindowTitle(SaveTexts::kListedTitle);
    CMessageBoxService::instance().ExecDialog(dlg);
}

void CSaveCompleteDlg::OnOpenFolder() {
    if (OffersFolder()) CMessageBoxService::instance().OpenUrl(m_strLocation);
}
