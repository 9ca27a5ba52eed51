#include "widgets/ListColumns.h"

#include <QHeaderView>
#include <QObject>
#include <QTableWidget>

void EnableHeaderSorting(QTableWidget* table) {
    QHeaderView* header = table->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    QObject::connect(header, &QHeaderView::sortIndicatorChanged, table, [table](int column, Qt::SortOrder order) {
        if (column >= 0 && column < table->columnCount()) table->sortItems(column, order);
    });
}

void ClearHeaderSorting(QTableWidget* table) {
    QHeaderView* header = table->horizontalHeader();
    const QSignalBlocker quiet(header);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->viewport()->update();
}

void ApplyHeaderSorting(QTableWidget* table) {
    const QHeaderView* header = table->horizontalHeader();
    const int column = header->sortIndicatorSection();
    if (column >= 0 && column < table->columnCount()) table->sortItems(column, header->sortIndicatorOrder());
}

CColumnShares::CColumnShares(QTableWidget* table, QList<int> shares, int stretch, QList<int> minimums)
    : m_table(table), m_shares(std::move(shares)), m_minimums(std::move(minimums)), m_stretch(stretch) {
    QHeaderView* header = table->horizontalHeader();
    header->setStretchLastSection(false);
    for (int c = 0; c < table->columnCount(); ++c)
        header->setSectionResizeMode(c, c == m_stretch ? QHeaderView::Stretch : QHeaderView::Interactive);
    QObject::connect(header, &QHeaderView::sectionResized, table, [this](int column, int, int) {
        if (!m_bApplying && column != m_stretch) m_bUserResized = true;
    });
}

void CColumnShares::Apply() {
    if (m_bUserResized) return;
    const int width = m_table->viewport()->width();
    if (width <= 0) return;
    // Each column its share, at least its minimum; in a narrow list the others give
    // way so that the stretching column keeps a quarter of the width.
    QList<int> widths;
    int others = 0;
    for (int c = 0; c < m_table->columnCount() && c < m_shares.size(); ++c) {
        const int w = c == m_stretch ? 0 : qMax(m_minimums.value(c, 40), width * m_shares[c] / 100);
        widths.append(w);
        others += w;
    }
    const int room = width * 3 / 4;
    m_bApplying = true;
    for (int c = 0; c < widths.size(); ++c) {
        if (c == m_stretch) continue;
        const int w = others > room ? qMax(40, widths[c] * room / others) : widths[c];
        m_table->setColumnWidth(c, w);
    }
    m_bApplying = false;
}
