#include "fileops/frmCopy.h"
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>
#include "ui/errors.h"
#include "fileops/frmGraph.h"
#include "fileops/operations.h"
#include "ui/prompter.h"
#include "fileops/validate.h"
#include "browse/logging.h"
#include "model/slots.h"
#include "platform/files.h"
#include "platform/names.h"
#include "platform/paths.h"
#include "platform/prefix.h"
#include "ui/mainwindow.h"
#include "ui/prefilled.h"
#include "browse/frmBrws.h"

namespace {
QPushButton* Button(QWidget* parent, const QString& text, const char* name) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}
}  // namespace

frmCopy::frmCopy(QWidget* parent) : QDialog(parent) {
    setObjectName("frmCopy");
    auto* form = new QFormLayout;
    txtTo = new QLineEdit(this);
    txtTo->setObjectName("txtTo");
    txtAs = new QLineEdit(this);
    txtAs->setObjectName("txtAs");
    form->addRow("As :", txtAs);
    form->addRow("To :", txtTo);
    btnOk = Button(this, "OK", "btnOk");
    btnCancel = Button(this, "&Cancel", "btnCancel");
    btnBrowse = Button(this, "&Browse", "btnBrowse");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnBrowse);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setMinimumWidth(420);
    connect(btnOk, &QPushButton::clicked, this, [this] { btnOk_Click(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancel_Click(); });
    connect(btnBrowse, &QPushButton::clicked, this, [this] { btnBrowse_Click(); });
    txtAs->installEventFilter(this);
    txtTo->installEventFilter(this);
}

bool frmCopy::FullDuplication() const { return DPathForm()->optFull->isChecked(); }

bool frmCopy::ParseAs() {
    NormalizeField(txtAs, NormalizeTyped);
    if (Use == CopyUse::Extract) {
        // A file specification of the archive's contents: wildcards allowed.
        QString plain = txtAs->text();
        plain.remove('*').remove('?');
        if (!txtAs->text().isEmpty() && IsValidName(plain)) return true;
        ShowInvalidCharacters();
        return false;
    }
    if (Use == CopyUse::Files && CopyRun.scope == FileScope::TaggedFiles) {
        if (IsValidMask(txtAs->text())) return true;
        ShowMessage(InvalidMaskMessage, MsgStyle::Critical, "Error");
        return false;
    }
    const QString as = FieldName(txtAs);
    if (!as.isEmpty() && IsValidName(as)) return true;
    ShowInvalidCharacters();
    return false;
}

bool frmCopy::ParseTo() {
    NormalizeField(txtTo, NormalizeTyped);
    QString drive;
    QStringList parts;
    const QString to = FieldName(txtTo);
    if (to.isEmpty()) return false;
    if (!platform::SplitDosPath(to, &drive, &parts)) return false;
    for (const QString& part : parts)
        if (!IsValidName(part)) return false;
    return true;
}

void frmCopy::btnOk_Click() {
    if (!ParseAs()) {
        txtAs->setFocus();
        return;
    }
    if (!ParseTo()) {
        ShowInvalidCharacters();
        txtTo->setFocus();
        return;
    }
    Confirmed = true;
    hide();
}

void frmCopy::btnCancel_Click() {
    Confirmed = false;
    HeldPane.Release();
    btnCancel->setFocus();
    hide();
}

void frmCopy::btnBrowse_Click() {
    BrowseRequested = true;
    hide();
}

void frmCopy::reject() { btnCancel_Click(); }

bool frmCopy::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtAs && event->type() == QEvent::FocusIn) {
        // While the name is typed, OK and Browse wait for it.
        btnOk->setEnabled(false);
        btnBrowse->setEnabled(false);
        txtAs->selectAll();
    } else if (watched == txtTo && event->type() == QEvent::FocusIn) {
        btnOk->setEnabled(true);
        btnBrowse->setEnabled(true);
        txtTo->selectAll();
    } else if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == txtAs) {
                if (ParseAs()) txtTo->setFocus();
                else txtAs->setFocus();
            } else {
                btnOk_Click();
            }
            return true;
        }
        if (watched == txtAs && key->key() == Qt::Key_Tab) {
            if (!ParseAs()) return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmCopy::DoGraphic() { StartOperation(CopyRun); }

void frmCopy::proceed() {
    const QString to = FieldName(txtTo);
    if (!EnsureDestination(to) || TestDrive(to.left(2)) != 0) {
        if (LastError) ShowFileError(LastError);
        HeldPane.Release();
        return;
    }
    if (Use == CopyUse::Files && CopyRun.paths == Paths::Duplicated) {
        AbortFlag = 0;
        // Each opening is a fresh dialog: full duplication is chosen, not
        // whatever the last run took.
        DPathForm()->optFull->setChecked(true);
        CenterForm(DPathForm(), true);
    }
    if (AbortFlag) {
        AbortFlag = 0;
        HeldPane.Release();
        return;
    }
    // Extracting and compressing hand the two texts to the archivers.
    if (ArchiveRoutine) {
        HeldPane.Release();
        ArchiveRoutine(to, FieldName(txtAs));
    } else if (Use == CopyUse::Files) {
        DoGraphic();
    }
    HeldPane.Release();
}

frmDirs::frmDirs(QWidget* parent) : QDialog(parent) {
    setObjectName("frmDirs");
    setWindowTitle("Select a folder");
    drvBox = new QComboBox(this);
    drvBox->setObjectName("drvBox");
    dirBox = new QListWidget(this);
    dirBox->setObjectName("dirBox");
    btnOk = Button(this, "OK", "btnOk");
    btnCancel = Button(this, "&Cancel", "btnCancel");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(drvBox);
    layout->addWidget(dirBox);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);
    resize(320, 360);
    connect(btnOk, &QPushButton::clicked, this, [this] { btnOk_Click(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(drvBox, &QComboBox::activated, this, [this] { drvbox_Change(); });
    connect(dirBox, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { SetPath(item->data(Qt::UserRole).toString()); });
}

void frmDirs::SetPath(const QString& folder) {
    path_ = folder;
    dirBox->clear();
    QString drive;
    QStringList parts;
    if (!platform::SplitDosPath(folder, &drive, &parts)) return;
    // Like a folder list box: the path from the root down, then the subfolders.
    QString path = drive;
    auto add = [this](const QString& name, const QString& target, int depth) {
        auto* item = new QListWidgetItem(QString(depth * 2, ' ') + platform::ShownName(name), dirBox);
        item->setData(Qt::UserRole, target);
    };
    add(drive + "\\", drive, 0);
    int depth = 1;
    for (const QString& part : parts) {
        path += "\\" + part;
        add(part, path, depth++);
    }
    dirBox->setCurrentRow(dirBox->count() - 1);
    QList<platform::FileEntry> subfolders;
    platform::ListFolders(path_.size() == 2 ? path_ + "\\" : path_, true, &subfolders);
    for (const platform::FileEntry& f : subfolders) add(f.listName, JoinPath(path, f.listName), depth);
    const int at = drvBox->findText(drive);
    if (at >= 0) drvBox->setCurrentIndex(at);
}

QString frmDirs::ChosenFolder() const {
    const QListWidgetItem* item = dirBox->currentItem();
    return item ? item->data(Qt::UserRole).toString() : path_;
}

void frmDirs::drvbox_Change() {
    const QString drive = drvBox->currentText().left(2);
    if (TestDrive(drive) != 0) {
        ShowFileError(LastError);
        drvBox->setCurrentIndex(drvBox->findText(path_.left(2)));
        return;
    }
    SetPath(drive);
}

void frmDirs::btnOk_Click() {
    SetPrefilled(CopyForm()->txtTo, ChosenFolder());
    accept();
}

frmDPath::frmDPath(QWidget* parent) : QDialog(parent) {
    setObjectName("frmDPath");
    setWindowTitle("Duplicate");
    auto* frame = new QGroupBox("Method", this);
    optFull = new QRadioButton("&Full path duplication", frame);
    optFull->setObjectName("optFull");
    optPartial = new QRadioButton("&Partial path duplication", frame);
    optPartial->setObjectName("optPartial");
    optFull->setChecked(true);
    auto* inner = new QVBoxLayout(frame);
    inner->addWidget(optFull);
    inner->addWidget(optPartial);
    btnOk = Button(this, "OK", "btnOk");
    btnOk->setDefault(true);
    btnCancel = Button(this, "&Cancel", "btnCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, [this] { reject(); });
}

void frmDPath::reject() {
    AbortFlag = -1;
    QDialog::reject();
}

frmCopy* CopyForm() {
    // The form lives with the main window; a new main window gets a new form.
    static QPointer<frmCopy> form;
    if (!form) form = new frmCopy(MainWindow());
    return form;
}

frmDirs* DirsForm() {
    // The form lives with the main window; a new main window gets a new form.
    static QPointer<frmDirs> form;
    if (!form) form = new frmDirs(MainWindow());
    return form;
}

frmDPath* DPathForm() {
    // The form lives with the main window; a new main window gets a new form.
    static QPointer<frmDPath> form;
    if (!form) form = new frmDPath(MainWindow());
    return form;
}

namespace {
void OpenCopyDialog(const QString& caption, const QString& as) {
    frmCopy* copy = CopyForm();
    copy->setWindowTitle(caption);
    copy->Confirmed = false;
    AbortFlag = 0;
    copy->HeldPane.Hold();
    bool fresh = true;
    for (;;) {
        copy->BrowseRequested = false;
        if (fresh) copy->txtAs->setFocus();
        fresh = false;
        CenterForm(copy, true);
        if (!copy->BrowseRequested) break;
        frmDirs* dirs = DirsForm();
        dirs->drvBox->clear();
        dirs->drvBox->addItems(platform::DriveLetters());
        dirs->SetPath(Settings[setting::ProgramFolder].toString().isEmpty() ? "c:" : Settings[setting::ProgramFolder].toString());
        dirs->btnOk->setFocus();
        CenterForm(dirs, true);
    }
    if (copy->Confirmed) copy->proceed();
    copy->ArchiveRoutine = nullptr;
    copy->Use = CopyUse::Files;
    copy->HeldPane.Release();
    if (frmBrws* w = ActiveDriveWindow()) {
        if (w->FileList->count() > 0) w->GiveFocus(w->FileList);
        else if (w->DirList->isVisible()) w->GiveFocus(w->DirList);
    }
}
}  // namespace

void ShowCopyDialog(const Run& run, const QString& as) {
    CopyForm()->Use = CopyUse::Files;
    CopyForm()->CopyRun = run;
    // One file's own name, or a mask for tagged files.
    if (run.scope == FileScope::CurrentFile) SetPrefilled(CopyForm()->txtAs, as);
    else SetTyped(CopyForm()->txtAs, as);
    OpenCopyDialog(CopyCaptionOf(run), as);
}

void ShowArchiveDialog(CopyUse use, const QString& caption, const QString& as,
                       std::function<void(const QString& to, const QString& as)> archiveRoutine) {
    CopyForm()->Use = use;
    CopyForm()->ArchiveRoutine = std::move(archiveRoutine);
    SetTyped(CopyForm()->txtAs, as);
    OpenCopyDialog(caption, as);
}
