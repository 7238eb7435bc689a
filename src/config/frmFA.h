#pragma once
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include "ui/dialogfocus.h"

// The file associations dialog: edits a copy of the [associations] lines and
// writes them back only on OK.
class frmFA : public QDialog {
    Q_OBJECT
public:
    explicit frmFA(QWidget* parent = nullptr);

    QGroupBox* fraList = nullptr;
    QListWidget* lstFAssociations = nullptr;
    QGroupBox* fraEdition = nullptr;
    QLineEdit* txtEdit[3] = {};       // extension, description, program
    QPushButton* btnBrowse = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnEdit = nullptr;
    QPushButton* btnRemove = nullptr;
    QPushButton* btnDone = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    // "Edit" while an existing line is changed, "Add" while a new one is made,
    // empty while the list is in use.
    QString EditMode;
    bool Confirmed = false;

    void Form_Load();
    void SetAddEditWin(bool edit);
    void btnDone_Click();
    void btnRemove_Click();
    void btnBrowse_Click();
    void btnOk_Click();
    void btnCancel_Click();
    QStringList Entries() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void EnableEdition(bool on);
    bool CheckProgramBox();
    void Close();
    HeldFocusPane held_;
};

frmFA* FAForm();
// Shows the associations dialog centred and modal; true when it was confirmed.
bool ShowFileAssociations();

// An association line split for editing: the extension before the first comma,
// the program after the last one, the description in between (commas and all).
void SplitAssociation(const QString& line, QString fields[3]);
// The line made of the three fields, or empty when they do not make one: a field
// empty or only blanks, a comma in the extension or the program (the program is
// read after the line's last comma), a control character, or a line that would
// read as a section header. The extension and the program are lower-cased.
QString JoinAssociation(const QString& extension, const QString& description, const QString& program);

inline const QString InvalidAssociationMessage = QStringLiteral("Invalid file association");
