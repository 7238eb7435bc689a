#pragma once
#include <QDialog>
#include <QPushButton>

// The About box.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);
    QPushButton* btnOk = nullptr;
};

void ShowAbout();
