#include "app/CAboutDlg.h"

#include "app/AppTexts.h"
#include "app/CMessageBoxService.h"
#include "app/GuiResources.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(AppTexts::kCmdAbout.text().remove(QLatin1Char('&')));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    auto* picture = new QLabel(this);
    picture->setPixmap(ProductIcon().pixmap(64, 64));
    auto* name = new QLabel(QStringLiteral("<b style=\"font-size:14pt\">%1</b> %2")
                                .arg(AppTexts::kProductName, AppTexts::kVersion),
                            this);
    auto link = [this](const QString& href, const QString& text) {
        auto* label = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(href, text), this);
        connect(label, &QLabel::linkActivated, this,
                [](const QString& target) { CMessageBoxService::instance().OpenUrl(target); });
        return label;
    };
    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    // The build's version, the one the package and tesseldoc-cli --version give.
    if (!QCoreApplication::applicationVersion().isEmpty())
        texts->addWidget(new QLabel(QStringLiteral("Build ") + QCoreApplication::applicationVersion(), this));
    texts->addWidget(new QLabel(QStringLiteral("Converts the items of Lotus Notes databases into Word documents."), this));
    texts->addWidget(link(AppTexts::kHomePageUrl, AppTexts::kHomePageUrl));
    texts->addWidget(link(QStringLiteral("mailto:") + AppTexts::kSalesMail, QStringLiteral("Sales: ") + AppTexts::kSalesMail));
    texts->addWidget(
        link(QStringLiteral("mailto:") + AppTexts::kSupportMail, QStringLiteral("Support: ") + AppTexts::kSupportMail));
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(texts);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
}
