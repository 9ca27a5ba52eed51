#pragma once

#include <QDialog>

// The about box: the product's name and version and three links.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
