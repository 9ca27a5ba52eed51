#pragma once

#include "export/OutputFormat.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QRadioButton;

// "Saving Mode Selection": text, RTF of low quality or RTF of best quality.
// It opens with the mode chosen last time.
class CSavingModeDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSavingModeDlg(QWidget* parent = nullptr);
    // The chosen SavingMode value (1 when none is selected).
    int Mode() const;
    // Selects an option (1, 2 or 3), as a click would.
    void SelectMode(int mode);
    // OK: the chosen mode is also remembered for next time.
    void accept() override;
    // The chosen document format (Word 97-2003 unless changed).
    OutputOptions Output() const;
    void SelectOutput(const OutputOptions& options);

private:
    QRadioButton* m_pText;
    QRadioButton* m_pRtfLow;
    QRadioButton* m_pRtfBest;
    QComboBox* m_pFormat;
    QCheckBox* m_pEmbed;
};
