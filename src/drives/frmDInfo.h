#pragma once
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include "ui/dialogfocus.h"

// The drive information dialog: type, space figures and label of the active drive.
class frmDInfo : public QDialog {
    Q_OBJECT
public:
    explicit frmDInfo(QWidget* parent = nullptr);

    QGroupBox* Frame1 = nullptr;   // "General"
    QGroupBox* Frame2 = nullptr;   // "Technical"
    QLabel* general[5] = {};
    QLabel* technical[6] = {};
    QPushButton* btnOk = nullptr;

    // Fills the labels from the drive ("c:"), which has passed the drive test.
    void Form_Load(const QString& drive);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    HeldFocusPane held_;
};

// The one drive information dialog of the program.
frmDInfo* DriveInfoForm();
// Tests the active drive and shows its information centred and modal; an
// unreachable drive gets its error message and no dialog.
void ShowDriveInfo();
