#include "source/CDominoPasswordDlg.h"

#include "source/DominoBrowserTexts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace T = DominoBrowserTexts;

CDominoPasswordDlg::CDominoPasswordDlg(const QString& serverName, const QString& url, const QString& user,
                                       bool refusedBefore, bool keyringAvailable, QWidget* parent)
    : QDialog(parent), m_pUser(new QLineEdit(user, this)), m_pPassword(new QLineEdit(this)),
      m_pRemember(new QCheckBox(T::kRememberPassword, this)) {
    setObjectName(QStringLiteral("CDominoPasswordDlg"));
    setWindowTitle(T::kPasswordCaption);
    m_pPassword->setEchoMode(QLineEdit::Password);
    m_pRemember->setEnabled(keyringAvailable);
    if (!keyringAvailable) m_pRemember->setToolTip(T::kNoKeyring);

    auto* intro = new QLabel(T::kPasswordIntro.arg(serverName.toHtmlEscaped(), url.toHtmlEscaped()), this);
    intro->setTextFormat(Qt::RichText);
    intro->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(T::kUserLabel, m_pUser);
    form->addRow(T::kPasswordLabel, m_pPassword);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    if (refusedBefore) {
        auto* refused = new QLabel(T::kPasswordRefused, this);
        refused->setWordWrap(true);
        refused->setStyleSheet(QStringLiteral("color: #b00020;"));
        layout->addWidget(refused);
    }
    layout->addLayout(form);
    layout->addWidget(m_pRemember);
    layout->addWidget(buttons);
    if (user.isEmpty()) m_pUser->setFocus();
    else m_pPassword->setFocus();
}

QString CDominoPasswordDlg::User() const { return m_pUser->text().trimmed(); }
QString CDominoPasswordDlg::Password() const { return m_pPassword->text(); }
bool CDominoPasswordDlg::Remember() const { return m_pRemember->isEnabled() && m_pRemember->isChecked(); }

void CDominoPasswordDlg::SetAnswer(const QString& user, const QString& password, bool remember) {
    m_pUser->setText(user);
    m_pPassword->setText(password);
    m_pRemember->setChecked(remember);
}
