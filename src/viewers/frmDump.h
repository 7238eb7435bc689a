#pragma once
#include "launch/commandline.h"   // DosDumpFile
#include <QAction>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QTimer>
#include <memory>
#include "ui/dialogfocus.h"
#include "viewers/textfile.h"

class frmBrws;

// The text and hex viewer and editor: a file of a drive window as text or as
// a hex dump, a text file being edited, the read-me file, a captured DOS
// command's output and an archive's listing. One window, always modal.
class frmDump : public QDialog {
    Q_OBJECT
public:
    explicit frmDump(QWidget* parent = nullptr);
    ~frmDump() override;

    QMenuBar* MenuBar = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuSaveAs = nullptr;
    QMenu* mnuView = nullptr;
    QAction* mnuViewMode[2] = {};     // 0 "&ASCII", 1 "&Hex"
    QMenu* mnuEdit = nullptr;
    QAction* mnuCut = nullptr;
    QAction* mnuCopy = nullptr;
    QAction* mnuPaste = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuSelectAll = nullptr;
    QAction* mnuFind = nullptr;
    QAction* mnuFindNext = nullptr;
    QAction* mnuNext = nullptr;
    QPlainTextEdit* rtfBox[2] = {};   // 0 text, 1 hex
    QWidget* picFind = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtFind = nullptr;
    QTimer* HexTimer = nullptr;
    QTimer* FindTimer = nullptr;
    // Appends the next part of a long text while the user can already read.
    QTimer* TextTimer = nullptr;

    // Loads a file into the text view (an archive as its listing); the path it
    // dumps in hex is the file itself. False after a failed check (shown).
    bool LoadDump(const QString& path);
    // Loads a text file for editing; refuses files with a zero byte and files
    // above the text limit.
    bool LoadForEdit(const QString& path);
    // Loads text from a file that is not a list entry (read-me, captured output);
    // `dumpPath` is what the hex view shows.
    bool LoadPlainFile(const QString& path, const QString& dumpPath);

    // Prepares the window for one use: File menu, locked text view, hex item, Next.
    void SetMode(bool editing, bool nextShown);
    // The next part of the dump from the 1-based position; advances the position.
    QString HexChunk(qint64 start);
    qint64 HexPosition() const { return hexPosition_; }
    int CurrentViewMode() const { return viewMode_; }
    QString DumpPath() const { return dumpPath_; }
    qint64 SearchStart() const { return searchStart_; }

    void mnuViewMode_Click(int index);
    void HexTimer_Timer();
    void TextTimer_Timer();
    // The parts of the text not yet in the view go in at once (a search needs them).
    void LoadRestOfText();
    bool TextPending() const { return pendingOffset_ < pendingText_.size() || textFile_ != nullptr; }
    void FindTimer_Timer();
    void mnuFind_Click();
    void mnuFindNext_Click();
    void FindSub();
    void UpdateEditMenu();
    void mnuNew_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    // Save: Save as for "untitled"; true when the text is on the disk.
    bool SaveDocument();
    bool CanSave();
    bool CanSaveAs();
    void mnuNext_Click();
    // While editing, a text changed since it was loaded or saved is not
    // dropped unasked: Yes saves it, No drops it, Cancel keeps the window.
    // True when the window may close.
    bool MayClose();
    void CloseForm();
    // Esc and the close box: false when the user kept the window open.
    bool Form_Unload();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void buildMenus();
    // Shows the start of a file at once; the rest follows in parts.
    void LoadText(const QString& path, qint64 fullSize);
    // Reads and decodes the next part of the file into the pending text.
    void ReadTextPart();
    void StopTextLoad();
    bool WriteDocument(const QString& path);
    QString EditedText() const;
    bool EditedSinceSave() const;
    QPlainTextEdit* VisibleView() const { return rtfBox[viewMode_]; }
    void SizeViews();

    int viewMode_ = 0;
    qint64 hexPosition_ = 1;
    qint64 searchStart_ = 1;
    bool saved_ = false;
    bool closing_ = false;
    QString dumpPath_;          // the file the hex view dumps
    QString documentPath_;      // the file being edited
    QString savedText_;         // the edited text as last loaded or saved
    std::unique_ptr<QFile> hexFile_;   // "file number 1"
    TextDocument document_;
    QString pendingText_;      // the text being loaded in parts
    qsizetype pendingOffset_ = 0;
    // The file still being read for the text view: its bytes so far (kept
    // while they read as UTF-8, should a later byte prove them otherwise),
    // how much of it the view takes, and its whole size.
    std::unique_ptr<QFile> textFile_;
    std::unique_ptr<QStringDecoder> textDecoder_;
    QByteArray textBytes_;
    qint64 textRead_ = 0, textLimit_ = 0, textSize_ = 0;
    bool textIsUtf8_ = true;
    HeldFocusPane held_;
};

frmDump* DumpForm();

// Edit: the current file of the active drive window in the editor.
void EditFile(frmBrws* w);
// A file given by its DOS path in the viewer, caption the path (Help, Read me).
void ShowTextFile(const QString& path);
// A captured command's output (the DOS box): caption the command word; the
// capture file is what the hex view dumps. Nothing is shown for an empty or
// missing capture.
void ShowCapturedOutput(const QString& commandWord, const QString& capturePath);
// The capture file of the DOS box and of the archive listings.
