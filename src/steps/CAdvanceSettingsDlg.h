#pragma once

#include <QDialog>

class QCheckBox;
class QSpinBox;

// "Advance Settings": whether the browse step lists further views as folders,
// and how many office instances the saves run side by side.
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

private:
    QCheckBox* m_pCheck;
    QSpinBox* m_pJobs;
};
