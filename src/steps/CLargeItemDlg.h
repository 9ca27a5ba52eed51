#pragma once

#include <QDialog>

class QCheckBox;

// The question before a large body is previewed: OK shows it, Cancel does
// not; "Don't show this message again" keeps the answer for the session.
class CLargeItemDlg : public QDialog {
    Q_OBJECT
public:
    explicit CLargeItemDlg(QWidget* parent = nullptr);
    bool DontShowAgain() const;
    void SetDontShowAgain(bool on);

private:
    QCheckBox* m_pDontShow;
};
