#pragma once

#include <QTableWidgetItem>

// A list cell that sorts by a key of its own when it has one (a date, a
// size in bytes), else by its text, ignoring case.
class CSortableTableItem : public QTableWidgetItem {
public:
    static constexpr int kSortKeyRole = Qt::UserRole + 20;

    using QTableWidgetItem::QTableWidgetItem;
    QTableWidgetItem* clone() const override { return new CSortableTableItem(*this); }
    bool operator<(const QTableWidgetItem& other) const override;

    void SetSortKey(qint64 key) { setData(kSortKeyRole, key); }
    void ClearSortKey() { setData(kSortKeyRole, QVariant()); }

    // The key of a date as the item list shows it ("dd/MM/yyyy HH:mm:ss", a date
    // alone, several joined by ";": the first counts); -1 when it is no date.
    static qint64 DateKey(const QString& text);
    // The key of a number of bytes; -1 when it is no number.
    static qint64 NumberKey(const QString& text);
};
