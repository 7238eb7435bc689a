#include "config/frmOpt.h"
#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include "config/more.h"
#include "config/settings.h"
#include "model/slots.h"
#include "platform/paths.h"
#include "ui/errors.h"
#include "ui/mainwindow.h"
#include "ui/prompter.h"

namespace {
const char* const ArchiverLabels[3] = {"ARJ.exe folder", "Pkzip.exe folder", "Pkunzip.exe folder"};

QPushButton* Button(QWidget* parent, const QString& text, const QString& name) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

template <class T>
T* Named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

void SelectText(QComboBox* box, const QString& text) {
    const int at = box->findText(text, Qt::MatchFixedString);
    if (at >= 0) box->setCurrentIndex(at);
}
}  // namespace

bool DigitBoxAccepts(const QString& typed) {
    if (typed.isEmpty()) return true;   // keys without a character (arrows, Delete)
    const QChar c = typed.at(0);
    return c.unicode() < 14 || (c >= '0' && c <= '9');
}

frmOpt::frmOpt(QWidget* parent) : QDialog(parent) {
    setObjectName("frmOpt");
    setWindowTitle("Options");

    tabOptions = Named(new QTabBar(this), "tabOptions");
    tabOptions->addTab("General");
    tabOptions->setTabData(0, "tabGeneral");
    tabOptions->addTab("Compression");
    tabOptions->setTabData(1, "tabCompression");
    tabOptions->addTab("Fonts");
    tabOptions->setTabData(2, "tabFonts");
    tabOptions->addTab("More");
    tabOptions->setTabData(3, "tabMore");

    // General: folders and files.
    fraFolders = Named(new QGroupBox("Folders", this), "fraFolders");
    cmbMethod = Named(new QComboBox(fraFolders), "cmbMethod");
    cmbMethod->addItems({"Fast", "Slow"});
    txtFolders = Named(new QLineEdit(fraFolders), "txtFolders");
    auto* folders = new QFormLayout(fraFolders);
    folders->addRow("Folder loggin method", cmbMethod);
    folders->addRow("Max folders in slow loggin", txtFolders);

    fraFiles = Named(new QGroupBox("Files", this), "fraFiles");
    const char* const general[3] = {"&Ignore read only attribute", "Can view &system hidden files",
                                    "&Automatic file overwrite"};
    auto* files = new QFormLayout(fraFiles);
    for (int i = 0; i < 3; ++i) {
        chkGen[i] = Named(new QCheckBox(general[i], fraFiles), QString("chkGen%1").arg(i));
        files->addRow(chkGen[i]);
    }
    cmbDF = Named(new QComboBox(fraFiles), "cmbDF");
    cmbDF->addItems({"mm-dd-yy", "dd-mm-yy"});
    txtCol = Named(new QLineEdit(fraFiles), "txtCol");
    files->addRow("File date format", cmbDF);
    files->addRow("File columns", txtCol);
    for (QLineEdit* box : {txtFolders, txtCol}) {
        // Pasted text obeys the same rule as typed keys.
        box->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), box));
        box->setMaxLength(9);
    }

    // Compression: archives.
    fraArchives = Named(new QGroupBox("Archives", this), "fraArchives");
    auto* archives = new QGridLayout(fraArchives);
    const char* const compression[3] = {"&Automatic file overwrite", "&Compress with paths", "&Extract with paths"};
    for (int i = 0; i < 3; ++i) {
        chkARJZipGeneral[i] = Named(new QCheckBox(compression[i], fraArchives), QString("chkARJZipGeneral%1").arg(i));
        archives->addWidget(chkARJZipGeneral[i], i, 0, 1, 3);
    }
    cmbVolumeSize = Named(new QComboBox(fraArchives), "cmbVolumeSize");
    cmbVolumeSize->addItems({"Available", "360 KB", "720 KB", "1200 KB", "1440 KB"});
    cmbCompressionMethod = Named(new QComboBox(fraArchives), "cmbCompressionMethod");
    cmbCompressionMethod->addItems({"Store", "Slowest", "Fastest"});
    archives->addWidget(new QLabel("ARJ volume size", fraArchives), 3, 0);
    archives->addWidget(cmbVolumeSize, 3, 1, 1, 2);
    archives->addWidget(new QLabel("Compression method", fraArchives), 4, 0);
    archives->addWidget(cmbCompressionMethod, 4, 1, 1, 2);
    for (int i = 0; i < 3; ++i) {
        txtArchiveFolders[i] = Named(new QLineEdit(fraArchives), QString("txtArchiveFolders%1").arg(i));
        btnArchiveBrowse[i] = Button(fraArchives, "&Browse", QString("btnArchiveBrowse%1").arg(i));
        archives->addWidget(new QLabel(ArchiverLabels[i], fraArchives), 5 + i, 0);
        archives->addWidget(txtArchiveFolders[i], 5 + i, 1);
        archives->addWidget(btnArchiveBrowse[i], 5 + i, 2);
        connect(btnArchiveBrowse[i], &QPushButton::clicked, this, [this, i] { btnArchiveBrowse_Click(i); });
    }
    archives->setColumnStretch(1, 1);

    // Fonts.
    fraFonts = Named(new QGroupBox("Fonts", this), "fraFonts");
    auto* fonts = new QGridLayout(fraFonts);
    btnTreeFont = Button(fraFonts, "Set...", "btnTreeFont");
    btnFileFont = Button(fraFonts, "Set...", "btnFileFont");
    lblTreeFont = Named(new QLabel(fraFonts), "lblTreeFont");
    lblFileFont = Named(new QLabel(fraFonts), "lblFileFont");
    fonts->addWidget(new QLabel("Tree structure", fraFonts), 0, 0);
    fonts->addWidget(lblTreeFont, 0, 1);
    fonts->addWidget(btnTreeFont, 0, 2);
    fonts->addWidget(new QLabel("File list", fraFonts), 1, 0);
    fonts->addWidget(lblFileFont, 1, 1);
    fonts->addWidget(btnFileFont, 1, 2);
    lblNote1 = Named(new QLabel("Note : You will be able only to set the type and size", fraFonts), "lblNote1");
    lblNote2 = Named(new QLabel("of both fonts", fraFonts), "lblNote2");
    fonts->addWidget(lblNote1, 2, 0, 1, 3);
    fonts->addWidget(lblNote2, 3, 0, 1, 3);
    fonts->setColumnStretch(1, 1);
    fonts->setRowStretch(4, 1);

    // More: one row per setting of its table.
    fraMore = Named(new QGroupBox("More", this), "fraMore");
    auto* moreRows = new QFormLayout(fraMore);
    for (int i = 0; i < MoreSettings().size(); ++i) {
        const MoreSetting& setting = MoreSettings()[i];
        ctlMore << MoreControl(setting, i);
        if (setting.kind == MoreKind::Switch) moreRows->addRow(ctlMore.last());
        else moreRows->addRow(setting.label, ctlMore.last());
    }

    btnOk = Button(this, "OK", "btnOk");
    btnCancel = Button(this, "&Cancel", "btnCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);

    // One page of frames per tab; the dialog keeps the size of the largest.
    tabPages_ = new QStackedWidget(this);
    const std::initializer_list<QGroupBox*> framesOfTab[4] = {{fraFolders, fraFiles}, {fraArchives}, {fraFonts},
                                                              {fraMore}};
    for (const auto& frames : framesOfTab) {
        auto* page = new QWidget(tabPages_);
        auto* pageLayout = new QVBoxLayout(page);
        pageLayout->setContentsMargins(0, 0, 0, 0);
        for (QGroupBox* frame : frames) pageLayout->addWidget(frame);
        pageLayout->addStretch();
        tabPages_->addWidget(page);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabOptions);
    layout->addWidget(tabPages_);
    layout->addLayout(buttons);
    setMinimumWidth(460);

    connect(tabOptions, &QTabBar::currentChanged, this, [this] { tabOptions_Click(); });
    connect(btnOk, &QPushButton::clicked, this, [this] { btnOk_Click(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancel_Click(); });
    connect(btnTreeFont, &QPushButton::clicked, this, [this] { btnTreeFont_Click(); });
    connect(btnFileFont, &QPushButton::clicked, this, [this] { btnFileFont_Click(); });
    for (QLineEdit* box : findChildren<QLineEdit*>()) box->installEventFilter(this);
    DrawTabControls();
}

void frmOpt::Form_Load() {
    Confirmed = false;
    held_.Hold();
    cmbMethod->setCurrentIndex(Settings[setting::LoggingMethod].toString().toLower() == "slow" ? 1 : 0);
    txtFolders->setText(QString::number(Settings[setting::SlowLoggingFolders].toInt()));
    chkGen[0]->setChecked(Settings[setting::IgnoreReadOnly].toBool());
    chkGen[1]->setChecked(Settings[setting::ShowHiddenSystem].toBool());
    chkGen[2]->setChecked(Settings[setting::AutoOverwrite].toBool());
    cmbDF->setCurrentIndex(Settings[setting::DateFormat].toString().toLower() == "dd-mm-yy" ? 1 : 0);
    txtCol->setText(QString::number(Settings[setting::FileColumns].toInt()));
    for (int i = 0; i < 3; ++i) {
        chkARJZipGeneral[i]->setChecked(Settings[9 + i].toBool());
        txtArchiveFolders[i]->setText(Settings[14 + i].toString());
    }
    cmbVolumeSize->setCurrentIndex(0);
    SelectText(cmbVolumeSize, Settings[setting::ArjVolumeSize].toString());
    cmbCompressionMethod->setCurrentIndex(2);
    SelectText(cmbCompressionMethod, Settings[setting::CompressionMethod].toString());
    treeFontName_ = Settings[setting::TreeFontName].toString();
    treeFontSize_ = Settings[setting::TreeFontSize].toString();
    fileFontName_ = Settings[setting::FileFontName].toString();
    fileFontSize_ = Settings[setting::FileFontSize].toString();
    ShowFonts();
    for (int i = 0; i < ctlMore.size(); ++i) {
        const QString value = MoreValue(MoreSettings()[i].name);
        if (auto* check = qobject_cast<QCheckBox*>(ctlMore[i])) check->setChecked(value == "true");
        else static_cast<QLineEdit*>(ctlMore[i])->setText(value);
    }
    tabOptions->setCurrentIndex(0);
    DrawTabControls();
}

void frmOpt::tabOptions_Click() { DrawTabControls(); }

void frmOpt::DrawTabControls() {
    const QString key = tabOptions->tabData(tabOptions->currentIndex()).toString();
    tabPages_->setCurrentIndex(key == "tabCompression" ? 1 : key == "tabFonts" ? 2 : key == "tabMore" ? 3 : 0);
}

QWidget* frmOpt::MoreControl(const MoreSetting& setting, int index) {
    if (setting.kind == MoreKind::Switch)
        return Named(new QCheckBox(setting.label, fraMore), QString("chkMore%1").arg(index));
    auto* box = Named(new QLineEdit(fraMore), QString("txtMore%1").arg(index));
    box->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), box));
    box->setMaxLength(9);
    return box;
}

bool frmOpt::IsDigitBox(const QLineEdit* box) const {
    return box == txtFolders || box == txtCol || ctlMore.contains(const_cast<QLineEdit*>(box));
}

void frmOpt::ShowFonts() {
    lblTreeFont->setText(treeFontName_ + ", " + treeFontSize_);
    lblFileFont->setText(fileFontName_ + ", " + fileFontSize_);
}

bool frmOpt::CheckArchiverBox(int index) {
    QLineEdit* box = txtArchiveFolders[index];
    box->setText(box->text().trimmed().toLower());
    if (FileExists(box->text())) return true;
    ShowMessage("File not found", MsgStyle::Critical, "Error");
    tabOptions->setCurrentIndex(1);
    box->setFocus();
    return false;
}

void frmOpt::btnOk_Click() {
    // A program that is not there would only fail later, at the first archive.
    for (int i = 0; i < 3; ++i)
        if (!CheckArchiverBox(i)) return;
    Settings[setting::IgnoreReadOnly] = chkGen[0]->isChecked();
    Settings[setting::SlowLoggingFolders] = CheckedSetting(setting::SlowLoggingFolders, txtFolders->text());
    Settings[setting::LoggingMethod] = cmbMethod->currentText().toLower();
    Settings[setting::ShowHiddenSystem] = chkGen[1]->isChecked();
    Settings[setting::AutoOverwrite] = chkGen[2]->isChecked();
    Settings[setting::DateFormat] = cmbDF->currentText();
    Settings[setting::FileColumns] = CheckedSetting(setting::FileColumns, txtCol->text());
    for (int i = 0; i < 3; ++i) Settings[9 + i] = chkARJZipGeneral[i]->isChecked();
    Settings[setting::ArjVolumeSize] = cmbVolumeSize->currentText().toLower();
    Settings[setting::CompressionMethod] = cmbCompressionMethod->currentText().toLower();
    for (int i = 0; i < 3; ++i) Settings[14 + i] = txtArchiveFolders[i]->text().trimmed().toLower();
    Settings[setting::TreeFontName] = treeFontName_;
    Settings[setting::TreeFontSize] = treeFontSize_;
    Settings[setting::FileFontName] = fileFontName_;
    Settings[setting::FileFontSize] = fileFontSize_;
    for (int i = 0; i < ctlMore.size(); ++i) {
        const auto* check = qobject_cast<QCheckBox*>(ctlMore[i]);
        SetMoreValue(MoreSettings()[i].name, check ? (check->isChecked() ? "true" : "false")
                                                   : static_cast<QLineEdit*>(ctlMore[i])->text());
    }
    SaveSettings();
    Confirmed = true;
    Close();
}

void frmOpt::btnCancel_Click() { Close(); }

void frmOpt::reject() { btnCancel_Click(); }

void frmOpt::Close() {
    held_.Release();
    hide();
    setResult(Confirmed ? Accepted : Rejected);
    ReturnFocusToMainWindow();
}

void frmOpt::btnArchiveBrowse_Click(int index) {
    QFileDialog dialog(this);
    dialog.setObjectName("cmDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter("All files (*)");
    QString host;
    if (platform::DosToHost(txtArchiveFolders[index]->text(), &host) == 0) dialog.setDirectory(QFileInfo(host).path());
    CenterForm(&dialog, true);
    if (dialog.result() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString dos = platform::HostToDos(dialog.selectedFiles().first());
    if (!dos.isEmpty()) txtArchiveFolders[index]->setText(dos.toLower());
}

void frmOpt::ChooseFont(QString* name, QString* size) {
    QFontDialog dialog(this);
    dialog.setObjectName("cmDialog");
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    QFont font(*name);
    if (size->toInt() > 0) font.setPointSize(size->toInt());
    dialog.setCurrentFont(font);
    CenterForm(&dialog, true);
    if (dialog.result() != QDialog::Accepted) return;
    // Only the face and the size are kept; style and effects are not settings.
    const QFont chosen = dialog.selectedFont();
    *name = chosen.family().toLower();
    *size = QString::number(chosen.pointSize() > 0 ? chosen.pointSize() : qRound(chosen.pointSizeF()));
    ShowFonts();
}

void frmOpt::btnTreeFont_Click() { ChooseFont(&treeFontName_, &treeFontSize_); }
void frmOpt::btnFileFont_Click() { ChooseFont(&fileFontName_, &fileFontSize_); }

bool frmOpt::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box) return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        // After the click that gave the focus, which would place the caret.
        QTimer::singleShot(0, box, [box] { box->selectAll(); });
    } else if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
        if (IsDigitBox(box) && !DigitBoxAccepts(key->text())) return true;
    } else if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const int index = box == txtArchiveFolders[0] ? 0 : box == txtArchiveFolders[1] ? 1
                        : box == txtArchiveFolders[2] ? 2 : -1;
        QWidget* next = QApplication::focusWidget();
        // Leaving for Cancel or for another window is not leaving the box with a
        // name in it, nor is going to its Browse button by the mouse or Alt+B
        // to pick the file; Tab onto the button is.
        const bool toBrowse = index >= 0 && next == btnArchiveBrowse[index] && reason != Qt::TabFocusReason &&
                              reason != Qt::BacktabFocusReason;
        const bool leaving = index >= 0 && next && isAncestorOf(next) && next != btnCancel && !toBrowse &&
                             reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
        if (leaving)
            QMetaObject::invokeMethod(this, [this, index] {
                if (isVisible() && !Confirmed && !txtArchiveFolders[index]->hasFocus()) CheckArchiverBox(index);
            }, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}

frmOpt* OptForm() {
    // The form lives with the main window; a new main window gets a new form.
    static QPointer<frmOpt> form;
    if (!form) form = new frmOpt(MainWindow());
    return form;
}

bool ShowOptions() {
    frmOpt* form = OptForm();
    form->Form_Load();
    CenterForm(form, true);
    return form->Confirmed;
}
