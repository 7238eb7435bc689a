#include "viewers/frmDump.h"
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>
#include "browse/filelist.h"
#include "browse/frmBrws.h"
#include "browse/views.h"
#include "fileops/operations.h"
#include "model/slots.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/userfile.h"
#include "ui/errors.h"
#include "ui/mainwindow.h"
#include "ui/prompter.h"
#include "viewers/entries.h"
#include "viewers/hexdump.h"
#include "viewers/hooks.h"

namespace {
QFont ViewFont() {
    QFont font("Courier New", 9);
    font.setStyleHint(QFont::TypeWriter);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(9);
    }
    return font;
}

QPlainTextEdit* MakeView(QWidget* parent, int index) {
    auto* view = new QPlainTextEdit(parent);
    view->setObjectName("rtfBox");
    view->setProperty("Index", index);
    view->setFont(ViewFont());
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->setReadOnly(true);
    return view;
}

void Message(const QString& text) { ShowMessage(text, MsgStyle::Critical, "Error"); }

// The text view shows this many characters at once and adds the rest in parts
// of the same size, so that a big file is on the screen at once.
constexpr qsizetype TextPartSize = 1000000;
// The text view reads its file in parts of this many bytes.
constexpr qint64 TextReadPart = 1024 * 1024;
}  // namespace

frmDump::frmDump(QWidget* parent) : QDialog(parent) {
    setObjectName("frmDump");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    resize(820, 560);
    for (int i = 0; i < 2; ++i) rtfBox[i] = MakeView(this, i);
    picFind = new QWidget(this);
    picFind->setObjectName("picFind");
    Label1 = new QLabel("Text to find :", picFind);
    Label1->setObjectName("Label1");
    txtFind = new QLineEdit(picFind);
    txtFind->setObjectName("txtFind");
    auto* findRow = new QHBoxLayout(picFind);
    findRow->setContentsMargins(4, 2, 4, 2);
    findRow->addWidget(Label1);
    findRow->addWidget(txtFind, 1);
    picFind->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildMenus();
    layout->setMenuBar(MenuBar);
    layout->addWidget(rtfBox[0], 1);
    layout->addWidget(rtfBox[1], 1);
    layout->addWidget(picFind);
    rtfBox[1]->hide();

    HexTimer = new QTimer(this);
    HexTimer->setObjectName("HexTimer");
    HexTimer->setInterval(3000);
    connect(HexTimer, &QTimer::timeout, this, [this] { HexTimer_Timer(); });
    FindTimer = new QTimer(this);
    FindTimer->setObjectName("FindTimer");
    FindTimer->setInterval(500);
    connect(FindTimer, &QTimer::timeout, this, [this] { FindTimer_Timer(); });
    TextTimer = new QTimer(this);
    TextTimer->setObjectName("TextTimer");
    TextTimer->setInterval(0);
    connect(TextTimer, &QTimer::timeout, this, [this] { TextTimer_Timer(); });

    connect(txtFind, &QLineEdit::returnPressed, this, [this] {
        FindSub();
        picFind->hide();
        VisibleView()->setFocus();
    });
    for (QPlainTextEdit* view : rtfBox) {
        view->viewport()->installEventFilter(this);
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& at) {
            UpdateEditMenu();
            mnuEdit->popup(view->viewport()->mapToGlobal(at));
        });
    }
}

frmDump::~frmDump() = default;

void frmDump::buildMenus() {
    MenuBar = new QMenuBar(this);
    MenuBar->setObjectName("MenuBar");
    auto item = [](QMenu* menu, const char* name, const char* caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        return a;
    };
    mnuFile = MenuBar->addMenu("&File");
    mnuFile->setObjectName("mnuFile");
    mnuNew = item(mnuFile, "mnuNew", "&New");
    mnuSave = item(mnuFile, "mnuSave", "&Save");
    mnuSaveAs = item(mnuFile, "mnuSaveAs", "Save &as...");
    mnuView = MenuBar->addMenu("&View");
    mnuView->setObjectName("mnuView");
    mnuViewMode[0] = item(mnuView, "mnuViewMode", "&ASCII");
    mnuViewMode[1] = item(mnuView, "mnuViewMode", "&Hex");
    for (int i = 0; i < 2; ++i) {
        mnuViewMode[i]->setProperty("Index", i);
        mnuViewMode[i]->setCheckable(true);
        connect(mnuViewMode[i], &QAction::triggered, this, [this, i] { mnuViewMode_Click(i); });
    }
    mnuEdit = MenuBar->addMenu("&Edit");
    mnuEdit->setObjectName("mnuEdit");
    mnuCut = item(mnuEdit, "mnuCut", "Cu&t");
    mnuCopy = item(mnuEdit, "mnuCopy", "&Copy");
    mnuPaste = item(mnuEdit, "mnuPaste", "&Paste");
    mnuDelete = item(mnuEdit, "mnuDelete", "&Delete");
    mnuSelectAll = item(mnuEdit, "mnuSelectAll", "&Select all");
    mnuEdit->addSeparator();
    mnuFind = item(mnuEdit, "mnuFind", "&Find...");
    mnuFindNext = item(mnuEdit, "mnuFindNext", "Find &next");
    mnuNext = MenuBar->addAction("&Next");
    mnuNext->setObjectName("mnuNext");

    connect(mnuNew, &QAction::triggered, this, [this] { mnuNew_Click(); });
    connect(mnuSave, &QAction::triggered, this, [this] { mnuSave_Click(); });
    connect(mnuSaveAs, &QAction::triggered, this, [this] { mnuSaveAs_Click(); });
    // Cut, Paste and Delete change the text: only while editing.
    auto editing = [this] { return mnuFile->menuAction()->isVisible(); };
    connect(mnuCut, &QAction::triggered, this, [this, editing] {
        if (editing()) VisibleView()->cut();
    });
    connect(mnuCopy, &QAction::triggered, this, [this] { VisibleView()->copy(); });
    connect(mnuPaste, &QAction::triggered, this, [this, editing] {
        if (editing()) VisibleView()->paste();
    });
    connect(mnuDelete, &QAction::triggered, this, [this, editing] {
        if (editing()) VisibleView()->textCursor().removeSelectedText();
    });
    connect(mnuSelectAll, &QAction::triggered, this, [this] { VisibleView()->selectAll(); });
    connect(mnuFind, &QAction::triggered, this, [this] { mnuFind_Click(); });
    connect(mnuFindNext, &QAction::triggered, this, [this] { mnuFindNext_Click(); });
    connect(mnuNext, &QAction::triggered, this, [this] { mnuNext_Click(); });
    connect(mnuEdit, &QMenu::aboutToShow, this, [this] { UpdateEditMenu(); });
}

void frmDump::SetMode(bool editing, bool nextShown) {
    mnuFile->menuAction()->setVisible(editing);
    rtfBox[0]->setReadOnly(!editing);
    mnuViewMode[1]->setEnabled(!editing);
    mnuNext->setVisible(nextShown);
}

void frmDump::StopTextLoad() {
    TextTimer->stop();
    pendingText_.clear();
    pendingOffset_ = 0;
    textFile_.reset();
    textDecoder_.reset();
    textBytes_.clear();
}

void frmDump::LoadText(const QString& path, qint64 fullSize) {
    StopTextLoad();
    rtfBox[0]->document()->setUndoRedoEnabled(false);
    rtfBox[0]->clear();
    textFile_ = std::make_unique<QFile>();
    if (platform::OpenUserFile(path, textFile_.get()) != err::None) {
        textFile_.reset();
        return;
    }
    textSize_ = fullSize;
    textLimit_ = qMin(fullSize, TextViewLimit);
    textRead_ = 0;
    textIsUtf8_ = true;
    // Stateful: a character cut at the end of a part waits for the next one.
    textDecoder_ = std::make_unique<QStringDecoder>(QStringConverter::Utf8);
    ReadTextPart();
    rtfBox[0]->setPlainText(TakeTextPart(pendingText_, &pendingOffset_, TextPartSize).toString());
    if (TextPending()) TextTimer->start();
    else StopTextLoad();
}

void frmDump::ReadTextPart() {
    if (!textFile_) return;
    QByteArray bytes = textFile_->read(qMin<qint64>(TextReadPart, textLimit_ - textRead_));
    textRead_ += bytes.size();
    const bool last = bytes.isEmpty() || textRead_ >= textLimit_;
    QString part;
    if (textIsUtf8_) {
        part = textDecoder_->decode(bytes);
        textBytes_ += bytes;
        if (textDecoder_->hasError()) {
            // Not UTF-8 after all: the whole text reads in the code page,
            // including what the view already shows.
            textIsUtf8_ = false;
            pendingText_ = BreakLongLines(DecodeWindows1252(textBytes_));
            pendingOffset_ = 0;
            textBytes_.clear();
            rtfBox[0]->clear();
            part.clear();
        }
    } else {
        part = DecodeWindows1252(bytes);
    }
    if (!part.isEmpty()) {
        pendingText_.remove(0, pendingOffset_);
        pendingText_ += BreakLongLines(part);
        pendingOffset_ = 0;
    }
    if (!last) return;
    if (textSize_ > textRead_)
        pendingText_ += QString("\n\n[The file holds %1 bytes; only the first %2 are shown here.]")
                            .arg(textSize_)
                            .arg(textRead_);
    textFile_.reset();
    textDecoder_.reset();
    textBytes_.clear();
}

void frmDump::TextTimer_Timer() {
    if (pendingOffset_ >= pendingText_.size()) ReadTextPart();
    if (pendingOffset_ < pendingText_.size()) {
        QTextCursor end(rtfBox[0]->document());
        end.movePosition(QTextCursor::End);
        end.insertText(TakeTextPart(pendingText_, &pendingOffset_, TextPartSize).toString());
    }
    if (!TextPending()) StopTextLoad();
}

void frmDump::LoadRestOfText() {
    if (!TextPending()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    while (textFile_) ReadTextPart();
    QTextCursor end(rtfBox[0]->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QStringView(pendingText_).mid(pendingOffset_).toString());
    StopTextLoad();
    QApplication::restoreOverrideCursor();
}

bool frmDump::LoadDump(const QString& path) {
    if (!CheckViewerFile(path)) return false;
    rtfBox[0]->show();
    rtfBox[1]->hide();
    viewMode_ = 0;
    QByteArray head;
    qint64 size = 0;
    ReadFileStart(path, 3, &head, &size);
    // Archives show the listing their archiver makes of them.
    QString listing;
    if (size >= 3 && ViewerHooksOf().runCaptured) {
        QString program, command;
        if (head.startsWith("PK")) program = Settings[setting::PkunzipProgram].toString(), command = "-v";
        else if (head.startsWith("\x60\xEA")) program = Settings[setting::ArjProgram].toString(), command = "l";
        if (!program.isEmpty() && ViewerHooksOf().runCaptured(program, {command, path}, DosDumpFile))
            listing = DosDumpFile;
    }
    QByteArray bytes;
    const QString source = listing.isEmpty() ? path : listing;
    const ErrorCode read = ReadFileStart(source, 0, &bytes, &size);
    if (read != 0) {
        if (!listing.isEmpty()) platform::DeleteFile(listing);
        AbortFlag = -1;
        ShowFileError(read);
        return false;
    }
    LoadText(source, size);
    // The open listing is read on; its name can go now.
    if (!listing.isEmpty()) platform::DeleteFile(listing);
    mnuViewMode[0]->setChecked(true);
    mnuViewMode[1]->setEnabled(true);
    mnuViewMode[1]->setChecked(false);
    dumpPath_ = path;
    documentPath_ = path;
    return true;
}

bool frmDump::LoadPlainFile(const QString& path, const QString& dumpPath) {
    if (!CheckViewerFile(path)) return false;
    QByteArray bytes;
    qint64 size = 0;
    if (ErrorCode read = ReadFileStart(path, 0, &bytes, &size)) {
        ShowFileError(read);
        return false;
    }
    rtfBox[0]->show();
    rtfBox[1]->hide();
    viewMode_ = 0;
    LoadText(path, size);
    mnuViewMode[0]->setEnabled(true);
    mnuViewMode[0]->setChecked(true);
    mnuViewMode[1]->setEnabled(true);
    mnuViewMode[1]->setChecked(false);
    dumpPath_ = dumpPath;
    documentPath_ = path;
    return true;
}

void frmDump::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    closing_ = false;
    held_.Hold();
    picFind->hide();
    txtFind->clear();
    rtfBox[1]->clear();
    hexFile_.reset();
    if (viewMode_ != 0) {
        viewMode_ = 0;
        rtfBox[1]->hide();
        rtfBox[0]->show();
    }
    searchStart_ = 1;
    HexTimer->start();
    FindTimer->start();
    rtfBox[0]->setFocus();
}

void frmDump::resizeEvent(QResizeEvent* event) { QDialog::resizeEvent(event); }

void frmDump::mnuViewMode_Click(int index) {
    mnuViewMode[index]->setChecked(true);
    mnuViewMode[1 - index]->setChecked(false);
    rtfBox[viewMode_]->hide();
    viewMode_ = index;
    rtfBox[index]->show();
    rtfBox[index]->setFocus();
    if (index != 1 || !rtfBox[1]->document()->isEmpty()) return;
    hexFile_.reset();
    auto file = std::make_unique<QFile>();
    if (const ErrorCode code = platform::OpenUserFile(dumpPath_, file.get())) {
        ShowFileError(code);
        return;
    }
    hexFile_ = std::move(file);
    hexPosition_ = 1;
    rtfBox[1]->setPlainText(HexChunk(1));
}

QString frmDump::HexChunk(qint64 start) {
    if (!hexFile_ || !hexFile_->seek(start - 1)) return QString();
    const QByteArray bytes = hexFile_->read(HexChunkBytes);
    hexPosition_ = start + bytes.size();
    return HexLines(bytes);
}

void frmDump::HexTimer_Timer() {
    if (rtfBox[1]->document()->isEmpty() || !hexFile_ || hexPosition_ > hexFile_->size()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QPlainTextEdit* hex = rtfBox[1];
    const QTextCursor caret = hex->textCursor();
    const int scroll = hex->verticalScrollBar()->value();
    QTextCursor end(hex->document());
    end.movePosition(QTextCursor::End);
    end.insertText(HexChunk(hexPosition_));
    hex->setTextCursor(caret);
    hex->verticalScrollBar()->setValue(scroll);
    QApplication::restoreOverrideCursor();
}

void frmDump::FindTimer_Timer() {
    const QTextCursor caret = VisibleView()->textCursor();
    if (!caret.hasSelection()) searchStart_ = caret.position() + 1;
}

void frmDump::mnuFind_Click() {
    picFind->show();
    txtFind->setFocus();
    txtFind->selectAll();
}

void frmDump::mnuFindNext_Click() { FindSub(); }

void frmDump::FindSub() {
    const QString wanted = txtFind->text();
    if (wanted.isEmpty()) return;
    QPlainTextEdit* view = VisibleView();
    if (view == rtfBox[0]) LoadRestOfText();
    const QString text = view->document()->toRawText();
    const qsizetype at = text.indexOf(wanted, qMax<qint64>(0, searchStart_ - 1), Qt::CaseInsensitive);
    if (at < 0) {
        Message("Text not found");
        return;
    }
    QTextCursor c(view->document());
    c.setPosition(int(at));
    c.setPosition(int(at + wanted.size()), QTextCursor::KeepAnchor);
    view->setTextCursor(c);
    searchStart_ = at + 1 + wanted.size();
}

void frmDump::UpdateEditMenu() {
    const bool editing = mnuFile->menuAction()->isVisible();
    const bool selected = VisibleView()->textCursor().hasSelection();
    const QClipboard* clipboard = QApplication::clipboard();
    const bool clipText = clipboard && !clipboard->text().isEmpty();
    mnuCut->setEnabled(editing && selected);
    mnuCopy->setEnabled(selected);
    mnuDelete->setEnabled(editing && selected);
    mnuPaste->setEnabled(editing && clipText);
}

void frmDump::mnuNext_Click() {
    if (MayClose()) CloseForm();
}

void frmDump::CloseForm() {
    if (closing_) return;
    closing_ = true;
    HexTimer->stop();
    FindTimer->stop();
    TextTimer->stop();
    pendingText_.clear();
    pendingOffset_ = 0;
    rtfBox[0]->clear();
    rtfBox[1]->clear();
    txtFind->clear();
    hexFile_.reset();
    hide();
    held_.Release();
    if (OpenDriveCount > 0) {
        if (QWidget* main = MainWindow()) main->update();
        ReturnFocusToMainWindow();
        if (saved_)
            if (frmBrws* w = ActiveDriveWindow()) {
                const int row = w->FileList->currentRow();
                RelogFolderPath(w, CurrentDriveSlot().CurrentPath);
                // The list shows what the folder holds now.
                if (CurrentDriveSlot().GlobalView) RebuildView(w);
                else ShowFolderFiles(w, w->DirList->currentItem());
                if (row >= 0 && row < w->FileList->count())
                    w->FileList->setCurrentRow(row, QItemSelectionModel::NoUpdate);
            }
    }
    saved_ = false;
}

bool frmDump::Form_Unload() {
    if (!MayClose()) return false;
    AbortFlag = -1;
    CloseForm();
    return true;
}

void frmDump::closeEvent(QCloseEvent* event) {
    if (Form_Unload()) event->accept();
    else event->ignore();
}

void frmDump::reject() { Form_Unload(); }

void frmDump::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        Form_Unload();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frmDump::eventFilter(QObject* watched, QEvent* event) {
    // A click in a view starts the next search there.
    if (event->type() == QEvent::MouseButtonRelease)
        for (QPlainTextEdit* view : rtfBox)
            if (watched == view->viewport() && view == VisibleView()) {
                const QTextCursor caret = view->textCursor();
                if (!caret.hasSelection()) searchStart_ = caret.position() + 1;
            }
    return QDialog::eventFilter(watched, event);
}

frmDump* DumpForm() {
    static QPointer<frmDump> form;
    if (!form) form = new frmDump(MainWindow());
    return form;
}

void ShowTextFile(const QString& path) {
    frmDump* form = DumpForm();
    form->setWindowTitle(path);
    if (!form->LoadPlainFile(path, path)) return;
    form->SetMode(false, false);
    CenterForm(form, true);
}

void ShowCapturedOutput(const QString& commandWord, const QString& capturePath) {
    QString host;
    if (platform::DosToHost(capturePath, &host) != 0 || QFileInfo(host).size() <= 0) return;
    frmDump* form = DumpForm();
    form->setWindowTitle(commandWord);
    if (!form->LoadPlainFile(capturePath, capturePath)) return;
    form->SetMode(false, false);
    EndBusy();
    CenterForm(form, true);
}
