#pragma once

#include <QDialog>

class QCheckBox;

// "Advance Settings": whether the browse step lists further views as folders.
class CAdvanceSettingsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAdvanceSettingsDlg(QWidget* parent = nullptr);
    QCheckBox* CheckBox() const { return m_pCheck; }
    // Writes the check box state to the settings and closes.
    void accept() override;

    // The stored value (0 when absent).
    static int ReadCheck();
    static void WriteCheck(int value);

private:
    QCheckBox* m_pCheck;
};
