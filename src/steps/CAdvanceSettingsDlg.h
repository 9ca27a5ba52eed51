#pragma once

#include "items/ItemDateRange.h"

#include <QDialog>

class QCheckBox;
class QSpinBox;
class QDateEdit;

// "Advance Settings": whether the browse step lists further views as folders,
// how many office instances the saves run side by side, and the date range
// of the items a save run converts.
class CAdvanceSettingsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAdvanceSettingsDlg(QWidget* parent = nullptr);
    QCheckBox* CheckBox() const { return m_pCheck; }
    QSpinBox* JobsBox() const { return m_pJobs; }
    // Writes the check box state to the settings and closes.
    void accept() override;

    // The stored value (0 when absent).
    static int ReadCheck();
    static void WriteCheck(int value);
    // Office instances for the saves of Step 2 and Step 3 (1 to 4; by
    // default one per core, at most 4).
    static int ReadJobs();
    static void WriteJobs(int value);
    static int DefaultJobs();

    // The stored date range (open ends where none is set).
    static ItemDateRange ReadDateRange();
    static void WriteDateRange(const ItemDateRange& range);
    // The range as the dialog shows it now.
    ItemDateRange DateRange() const;
    void SetDateRange(const ItemDateRange& range);

private:
    QCheckBox* m_pCheck;
    QCheckBox* m_pSince;
    QDateEdit* m_pSinceDate;
    QCheckBox* m_pUntil;
    QDateEdit* m_pUntilDate;
    QSpinBox* m_pJobs;
};
