#pragma once
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <functional>
#include "fileops/runs.h"
#include "ui/dialogfocus.h"

// What the destination dialog is up for: a copy or move of files, or the
// extraction or compression of an archive.
enum class CopyUse { Files, Extract, Compress };

// The destination dialog of copy and move: a destination folder and a new name
// or name mask. Its caption shows the operation.
class frmCopy : public QDialog {
    Q_OBJECT
public:
    explicit frmCopy(QWidget* parent = nullptr);

    QLineEdit* txtTo = nullptr;
    QLineEdit* txtAs = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnBrowse = nullptr;

    bool Confirmed = false;
    bool BrowseRequested = false;
    CopyUse Use = CopyUse::Files;
    // The copy or move the dialog starts when Use is Files.
    Run CopyRun;
    // Extracting and compressing hand the two texts, destination and name, to
    // the archive routine their command gave; the copies and moves have none.
    std::function<void(const QString& to, const QString& as)> ArchiveRoutine;
    // The drive window's focus pane, held while the dialog and its pickers are up.
    HeldFocusPane HeldPane;
    // Full path duplication chosen in the duplicate dialog.
    bool FullDuplication() const;

    void btnOk_Click();
    void btnCancel_Click();
    void btnBrowse_Click();
    bool ParseAs();
    bool ParseTo();
    // After OK: checks the destination, asks how to duplicate paths, and runs.
    void proceed();
    void DoGraphic();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;
};

// The folder picker of the destination dialog.
class frmDirs : public QDialog {
    Q_OBJECT
public:
    explicit frmDirs(QWidget* parent = nullptr);
    QComboBox* drvBox = nullptr;
    QListWidget* dirBox = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    // The folder the list shows ("c:\quorl"); entries open folders.
    QString Path() const { return path_; }
    void SetPath(const QString& folder);
    void drvbox_Change();
    void btnOk_Click();
    // The folder of the chosen entry, or the shown folder when none is chosen.
    QString ChosenFolder() const;

private:
    QString path_;
};

// Full or partial path duplication.
class frmDPath : public QDialog {
    Q_OBJECT
public:
    explicit frmDPath(QWidget* parent = nullptr);
    QRadioButton* optFull = nullptr;
    QRadioButton* optPartial = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    void reject() override;   // Cancel stops the operation before it starts
};

frmCopy* CopyForm();
frmDirs* DirsForm();
frmDPath* DPathForm();
// Shows the destination dialog with a name or mask, the folder picker in
// between when asked, and runs the copy or move when it is confirmed.
void ShowCopyDialog(const Run& run, const QString& as);
// The same dialog for an archive: the routine gets the two texts on OK.
void ShowArchiveDialog(CopyUse use, const QString& caption, const QString& as,
                       std::function<void(const QString& to, const QString& as)> archiveRoutine);
