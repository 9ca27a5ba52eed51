#include "steps/CFailedItemsDlg.h"

#include "steps/SaveTexts.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

CFailedItemsDlg::CFailedItemsDlg(const FailedItemList& failures, QWidget* parent)
    : QDialog(parent), m_failures(failures), m_pTable(new QTableWidget(int(failures.size()), 3, this)) {
    setWindowTitle(SaveTexts::kFailedTitle);
    m_pTable->setHorizontalHeaderLabels({QStringLiteral("Folder"), QStringLiteral("Note ID"), QStringLiteral("Reason")});
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->verticalHeader()->hide();
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    for (int i = 0; i < failures.size(); ++i) {
        // Long folder names and reasons are cut in their columns: read whole in the tooltip.
        const QString texts[] = {failures[i].folder, failures[i].noteId, failures[i].reason};
        for (int c = 0; c < 3; ++c) {
            auto* cell = new QTableWidgetItem(texts[c]);
            cell->setToolTip(texts[c]);
            m_pTable->setItem(i, c, cell);
        }
    }
    m_pTable->resizeColumnsToContents();
    // A very long folder name does not push the reason out of sight.
    if (m_pTable->columnWidth(0) > 360) m_pTable->setColumnWidth(0, 360);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* copy = buttons->addButton(QStringLiteral("&Copy"), QDialogButtonBox::ActionRole);
    connect(copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(AsText()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTable);
    layout->addWidget(buttons);
    resize(640, 360);
}

QString CFailedItemsDlg::AsText() const {
    QString text;
    for (const FailedItem& f : m_failures)
        text += f.folder + QLatin1Char('\t') + f.noteId + QLatin1Char('\t') + f.reason + QLatin1Char('\n');
    return text;
}
