#include "steps/CSaveCompleteDlg.h"

#include "app/CMessageBoxService.h"
#include "steps/CFailedItemsDlg.h"
#include "steps/SaveTexts.h"

#include <QApplication>
#include <QDialogButtonBox>
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

    auto* picture = new QLabel(this);
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    auto* text = new QLabel(SaveTexts::kSavedAt, this);
    auto* link = new QLabel(this);
    link->setObjectName(QStringLiteral("LocationLink"));
    link->setTextFormat(Qt::RichText);
    link->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(location.toHtmlEscaped(), location.toHtmlEscaped()));
    link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    link->setWordWrap(true);
    connect(link, &QLabel::linkActivated, this, [this] { CMessageBoxService::instance().OpenUrl(m_strLocation); });

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
    texts->addWidget(text);
    texts->addWidget(link);
    texts->addSpacing(8);
    if (m_nFound >= 0) texts->addWidget(new QLabel(CountText(), this));
    texts->addLayout(failureRow);
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setMinimumWidth(480);
}

QString CSaveCompleteDlg::FailureText() const {
    // Counted items without a document; the list may also name whole sources or
    // folders that could not be saved (no note ID) and lost attachments.
    int wholes = 0;
    for (const FailedItem& f : m_failures)
        if (f.noteId.isEmpty()) ++wholes;
    const int missing = m_nFound >= 0 && m_nWritten >= 0 ? qMax(0, m_nFound - m_nWritten)
                                                         : int(m_failures.size()) - wholes;
    QString text = SaveTexts::kNoDocument.arg(missing);
    if (wholes > 0) text += QLatin1Char(' ') + SaveTexts::kWholeFailures.arg(wholes);
    return text;
}

QString CSaveCompleteDlg::CountText() const { return SaveTexts::kWrittenCount.arg(m_nWritten).arg(m_nFound); }

void CSaveCompleteDlg::OnShowFailures() {
    CFailedItemsDlg dlg(m_failures, this);
    CMessageBoxService::instance().ExecDialog(dlg);
}
