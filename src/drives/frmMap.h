#pragma once
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include "drives/drivemap.h"
#include "platform/errors.h"
#include "ui/dialogfocus.h"

// The Map drives dialog: the letters a: to z: with the folder each leads to,
// and the folders a user usually wants as drives. Only links change; the
// folders themselves are never touched.
class frmMap : public QDialog {
    Q_OBJECT
public:
    explicit frmMap(QWidget* parent = nullptr);

    QListWidget* lstDrives = nullptr;
    QLineEdit* txtFolder = nullptr;
    QPushButton* btnBrowse = nullptr;
    QListWidget* lstSuggested = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnChange = nullptr;
    QPushButton* btnRemove = nullptr;
    QPushButton* btnLog = nullptr;
    QPushButton* btnClose = nullptr;

    // Where the suggestions come from; the user's own places unless a test
    // points them elsewhere.
    DesktopPlaces Places;

    // The letter of the chosen line of the drive list.
    QChar Letter() const;
    void Form_Load();
    void btnAdd_Click();
    void btnChange_Click();
    void btnRemove_Click();
    void btnLog_Click();
    void btnBrowse_Click();
    void btnClose_Click();
    // A suggestion taken: its folder into the box, its letter chosen.
    void lstSuggested_DblClick();

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void FillLists(QChar letter);
    bool Allowed(MapAction action);
    bool CloseDriveWindow(QChar letter);
    void AfterMapChange(QChar letter, ErrorCode result);
    QList<MappedDrive> map_;
    QList<SuggestedFolder> suggestions_;
    HeldFocusPane held_;
};

// The one Map drives dialog of the program.
frmMap* MapForm();
// Shows the dialog centred and modal.
void ShowMapDrives();
