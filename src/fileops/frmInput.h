#pragma once
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include "ui/dialogfocus.h"

// The one-line input dialog: a new name, a name mask, an attribute change, a new
// folder name, a volume label or a file specification. The caption a command
// gives it is its mode.
class frmInput : public QDialog {
    Q_OBJECT
public:
    explicit frmInput(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* txtBox = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    // Set when a rename, attribute change or new folder name was accepted; the
    // command that opened the dialog reads it once the dialog is gone.
    bool Confirmed = false;

    QString mode() const { return windowTitle(); }

    void btnCancel_Click();
    void btnOk_Click();
    void FSub();
    void MakeSub();
    void VSub();
    bool CheckText();
    void Form_Activate();
    // Character code as a key press gives it; cleared when the key is swallowed.
    void Form_KeyPress(int& keyAscii);
    void txtBox_GotFocus();
    void RSub();
    void ASub();
    bool ParseRM();
    bool ParseAttr();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Esc and the window's close box both come here.
    void reject() override;

private:
    void confirm();
    void putAway();

    HeldFocusPane held_;
};

// The single instance, created on first use.
frmInput* InputForm();
// Gives the dialog its mode and text and shows it centred and modal.
void ShowInputDialog(const QString& caption, const QString& text);
