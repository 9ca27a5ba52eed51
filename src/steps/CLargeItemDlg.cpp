#include "steps/CLargeItemDlg.h"

#include "steps/FolderTreeTexts.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

CLargeItemDlg::CLargeItemDlg(QWidget* parent)
    : QDialog(parent), m_pDontShow(new QCheckBox(FolderTreeTexts::kDontShowAgain, this)) {
    setWindowTitle(FolderTreeTexts::kLargeItemCaption);
    m_pDontShow->setObjectName(QStringLiteral("DontShowAgain"));
    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    auto* text = new QLabel(FolderTreeTexts::kLargeItemText, this);
    text->setWordWrap(true);
    text->setMinimumWidth(360);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(text, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_pDontShow);
    layout->addWidget(buttons);
}

bool CLargeItemDlg::DontShowAgain() const { return m_pDontShow->isChecked(); }
void CLargeItemDlg::SetDontShowAgain(bool on) { m_pDontShow->setChecked(on); }
