#pragma once
#include <QDialog>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include "ui/dialogfocus.h"

// The captions that choose what the drive dialog's OK does.
extern const QString LogDriveCaption;
extern const QString AvailableSpaceCaption;

// The drive selection dialog, for logging a drive and for its free space.
class frmDrive : public QDialog {
    Q_OBJECT
public:
    explicit frmDrive(QWidget* parent = nullptr);

    QGroupBox* Frame1 = nullptr;
    QListWidget* Drive1 = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    // The chosen drive ("c:"), the first two characters of the drive list's entry.
    QString Drive() const;
    // Fills the drive list from the drive map, keeping the chosen drive when it
    // is still there, else choosing "c:".
    void FillDrives();

    void btnOk_Click();
    void btnCancel_Click();
    void proceed();
    // The Available space report; false when the drive could not be reached.
    bool ASpaceSub(const QString& drive);
    void RestoreOriginalValues(int slot, const QString& drive, const QString& path);
    // Enter runs OK, Escape Cancel, a drive letter chooses that drive; true when
    // the key was the dialog's.
    bool Form_KeyDown(QKeyEvent* event);
    void Drive1_KeyPress(QChar key);

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    HeldFocusPane held_;
};

// Makes a slot active again with the drive and folder it had.
void RestoreOriginalValues(int slot, const QString& drive, const QString& path);

// The one drive dialog of the program.
frmDrive* DriveForm();
// Sets the caption (LogDriveCaption or AvailableSpaceCaption) and shows the
// dialog centred and modal.
void ShowDriveDialog(const QString& caption);
// The entries of the drive list: each drive of the map, with its label in
// brackets when it has one ("c: [system]").
QStringList DriveEntries();
