#include "drives/frmMap.h"
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMdiSubWindow>
#include <QPointer>
#include <QShowEvent>
#include <QVBoxLayout>
#include "browse/freespace.h"
#include "browse/frmBrws.h"
#include "browse/logging.h"
#include "model/slots.h"
#include "platform/prefix.h"
#include "ui/errors.h"
#include "ui/mainwindow.h"
#include "ui/prompter.h"

namespace {
QString DriveName(QChar letter) { return QString(letter) + u':'; }

QPushButton* Button(QWidget* parent, const QString& text, const char* name) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// A list with the label that names it and takes the keyboard to it.
QListWidget* LabelledList(QWidget* parent, QVBoxLayout* layout, const QString& label, const char* name) {
    auto* caption = new QLabel(label, parent);
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    caption->setBuddy(list);
    layout->addWidget(caption);
    layout->addWidget(list);
    return list;
}
}  // namespace

frmMap::frmMap(QWidget* parent) : QDialog(parent), Places(UserPlaces()) {
    setObjectName("frmMap");
    setWindowTitle("Map drives");
    auto* left = new QVBoxLayout;
    lstDrives = LabelledList(this, left, "&Drives", "lstDrives");
    auto* folderRow = new QHBoxLayout;
    auto* folderLabel = new QLabel("&Folder", this);
    txtFolder = new QLineEdit(this);
    txtFolder->setObjectName("txtFolder");
    folderLabel->setBuddy(txtFolder);
    btnBrowse = Button(this, "&Browse...", "btnBrowse");
    folderRow->addWidget(folderLabel);
    folderRow->addWidget(txtFolder, 1);
    folderRow->addWidget(btnBrowse);
    left->addLayout(folderRow);
    lstSuggested = LabelledList(this, left, "&Suggested folders", "lstSuggested");
    left->setStretch(1, 3);
    left->setStretch(4, 1);

    btnAdd = Button(this, "&Add", "btnAdd");
    btnChange = Button(this, "C&hange", "btnChange");
    btnRemove = Button(this, "&Remove", "btnRemove");
    btnLog = Button(this, "&Log drive", "btnLog");
    btnClose = Button(this, "&Close", "btnClose");
    auto* side = new QVBoxLayout;
    for (QPushButton* b : {btnAdd, btnChange, btnRemove, btnLog}) side->addWidget(b);
    side->addStretch();
    side->addWidget(btnClose);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(side);
    resize(620, 460);

    connect(btnAdd, &QPushButton::clicked, this, [this] { btnAdd_Click(); });
    connect(btnChange, &QPushButton::clicked, this, [this] { btnChange_Click(); });
    connect(btnRemove, &QPushButton::clicked, this, [this] { btnRemove_Click(); });
    connect(btnLog, &QPushButton::clicked, this, [this] { btnLog_Click(); });
    connect(btnBrowse, &QPushButton::clicked, this, [this] { btnBrowse_Click(); });
    connect(btnClose, &QPushButton::clicked, this, [this] { btnClose_Click(); });
    connect(txtFolder, &QLineEdit::returnPressed, this, [this] { btnAdd_Click(); });
    connect(lstSuggested, &QListWidget::itemActivated, this, [this] { lstSuggested_DblClick(); });
    // A mapped letter shows its folder, ready to be changed; a free one keeps
    // what the user has put in the box.
    connect(lstDrives, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < map_.size() && !map_[row].folder.isEmpty()) txtFolder->setText(map_[row].folder);
    });
}

QChar frmMap::Letter() const {
    const int row = lstDrives->currentRow();
    return row >= 0 && row < map_.size() ? map_[row].letter : QChar();
}

void frmMap::FillLists(QChar letter) {
    map_ = ReadDriveMap();
    suggestions_ = SuggestFolders(Places, map_);
    const QSignalBlocker quiet(lstDrives);
    lstDrives->clear();
    for (const MappedDrive& d : map_) lstDrives->addItem(DriveMapLine(d));
    lstDrives->setCurrentRow(letter.isNull() ? 0 : letter.unicode() - 'a');
    lstSuggested->clear();
    for (const SuggestedFolder& s : suggestions_) lstSuggested->addItem(SuggestionLine(s));
    if (!suggestions_.isEmpty()) lstSuggested->setCurrentRow(0);
}

void frmMap::Form_Load() {
    txtFolder->clear();
    QChar first;
    for (const QChar c : QStringLiteral("defghijklmnopqrstuvwxy"))
        if (platform::DriveTarget(c).isEmpty()) {
            first = c;
            break;
        }
    FillLists(first);
    lstDrives->setFocus();
}

bool frmMap::Allowed(MapAction action) {
    const MapProblem problem = CheckMapping(action, map_, Letter(), txtFolder->text().trimmed());
    if (problem == MapProblem::None) return true;
    ShowMessage(MapProblemText(problem, Letter()), MsgStyle::Critical, "Error");
    return false;
}

// A drive shown in a window is closed the way its close box closes it, with
// the user's leave, before its letter leads elsewhere or nowhere.
bool frmMap::CloseDriveWindow(QChar letter) {
    const QString drive = DriveName(letter);
    if (!IsDriveOpen(drive)) return true;
    if (!AskYesNo("Drive " + drive + " is open. Close its window ?", "Question")) return false;
    for (frmBrws* w : DriveWindows()) {
        const int slot = w->GetFormNumber();
        if (Slot(slot).Drive != drive) continue;
        if (QMdiSubWindow* sub = w->SubWindow()) sub->close();
        else w->close();
        if (IsDriveOpen(drive)) break;
        held_.SlotClosed(slot);
    }
    if (!IsDriveOpen(drive)) return true;
    ShowMessage("Drive " + drive + " is still open", MsgStyle::Critical, "Error");
    return false;
}

void frmMap::AfterMapChange(QChar letter, ErrorCode result) {
    if (result != err::None) ShowFileError(result);
    // The drive that was current may be gone: the active window's folder is current again.
    RestoreWindowFolder();
    FillLists(letter);
    lstDrives->setFocus();
}

void frmMap::btnAdd_Click() {
    if (!Allowed(MapAction::Add)) return;
    const QChar letter = Letter();
    AfterMapChange(letter, platform::MapDrive(letter, FolderToMap(txtFolder->text().trimmed())));
}

void frmMap::btnChange_Click() {
    if (!Allowed(MapAction::Change)) return;
    const QChar letter = Letter();
    const QString folder = FolderToMap(txtFolder->text().trimmed());
    if (folder == map_[lstDrives->currentRow()].folder || !CloseDriveWindow(letter)) return;
    AfterMapChange(letter, platform::MapDrive(letter, folder));
}

void frmMap::btnRemove_Click() {
    if (!Allowed(MapAction::Remove)) return;
    const QChar letter = Letter();
    if (!CloseDriveWindow(letter)) return;
    AfterMapChange(letter, platform::UnmapDrive(letter));
}

void frmMap::btnLog_Click() {
    if (!Allowed(MapAction::Log)) return;
    const QString drive = DriveName(Letter());
    hide();
    LogDrive(drive);
    ReturnFocusToMainWindow();
}

void frmMap::btnBrowse_Click() {
    QFileDialog dialog(this, "Folder of the drive");
    dialog.setObjectName("cmDlg");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    const QString typed = txtFolder->text().trimmed();
    dialog.setDirectory(QFileInfo(typed).isDir() ? typed : Places.home);
    CenterForm(&dialog, true);
    if (dialog.result() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        txtFolder->setText(dialog.selectedFiles().first());
    txtFolder->setFocus();
}

void frmMap::lstSuggested_DblClick() {
    const int row = lstSuggested->currentRow();
    if (row < 0 || row >= suggestions_.size()) return;
    const SuggestedFolder& s = suggestions_[row];
    lstDrives->setCurrentRow(s.letter.unicode() - 'a');
    txtFolder->setText(s.folder);
    btnAdd->setFocus();
}

void frmMap::btnClose_Click() {
    hide();
    ReturnFocusToMainWindow();
}

void frmMap::reject() { btnClose_Click(); }

void frmMap::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    Form_Load();
    held_.Hold();
}

void frmMap::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) held_.Release();
}

frmMap* MapForm() {
    static QPointer<frmMap> form;
    if (!form) form = new frmMap(MainWindow());
    return form;
}

void ShowMapDrives() { CenterForm(MapForm(), true); }
