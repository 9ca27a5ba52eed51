#pragma once

#include "items/ItemDateRange.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QSpinBox;
class QDateEdit;

// "Advance Settings": whether the browse step lists further views as folders,
// whether saves take every document or each document once, which engine
// writes the documents and how many writers run side by side, and the date range of the items a
// save run converts.
class CAdvanceSettingsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAdvanceSettingsDlg(QWidget* parent = nullptr);
    QCheckBox* CheckBox() const { return m_pCheck; }
    QCheckBox* EveryDocumentBox() const { return m_pEveryDocument; }
    QCheckBox* OnceBox() const { return m_pOnce; }
    QSpinBox* JobsBox() const { return m_pJobs; }
    QComboBox* EngineBox() const { return m_pEngine; }
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
    // Which engine writes the documents: the native writers (no office; an
    // item they cannot represent, and PDF, go to the office) or the office.
    enum class Engine { Native, Office };
    static Engine ReadEngine();
    static void WriteEngine(Engine engine);
    static Engine DefaultEngine();
    // Step 3 saves every document of each database into the node of every
    // document instead of its folders.
    static bool ReadEveryDocument();
    static void WriteEveryDocument(bool on);
    // A save writes each document once, in the first folder that holds it.
    static bool ReadOnce();
    static void WriteOnce(bool on);

    // The stored date range (open ends where none is set).
    static ItemDateRange ReadDateRange();
    static void WriteDateRange(const ItemDateRange& range);
    // The range as the dialog shows it now.
    ItemDateRange DateRange() const;
    void SetDateRange(const ItemDateRange& range);

private:
    QCheckBox* m_pCheck;
    QCheckBox* m_pEveryDocument;
    QCheckBox* m_pOnce;
    QCheckBox* m_pSince;
    QDateEdit* m_pSinceDate;
    QCheckBox* m_pUntil;
    QDateEdit* m_pUntilDate;
    QSpinBox* m_pJobs;
    QComboBox* m_pEngine;
};
