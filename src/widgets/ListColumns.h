#pragma once

#include <QList>

class QTableWidget;

// Lists that sort by a click on a column header: the first click sorts
// ascending, the next one on the same column descending; whole rows move,
// so everything a row carries (a note ID, an icon) stays with it.
void EnableHeaderSorting(QTableWidget* table);
// Forgets the sort shown in the header (the rows keep their order).
void ClearHeaderSorting(QTableWidget* table);
// Sorts again by the column and order shown in the header, if any.
void ApplyHeaderSorting(QTableWidget* table);

// Spreads the list's width over its columns by the given shares (percent);
// the column `stretch` takes whatever is left, so the columns always fill the
// list. A column the user has resized keeps its width from then on.
class CColumnShares {
public:
    CColumnShares(QTableWidget* table, QList<int> shares, int stretch, QList<int> minimums = {});
    // Call on every resize of the list.
    void Apply();
    bool UserResized() const { return m_bUserResized; }

private:
    QTableWidget* m_table;
    QList<int> m_shares;
    QList<int> m_minimums;
    int m_stretch;
    bool m_bApplying = false;
    bool m_bUserResized = false;
};
