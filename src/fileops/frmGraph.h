#pragma once
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

// The progress window every operation on files runs in. Its caption names the
// operation; it shows a message, a progress bar and Yes/No buttons that are
// usable only while it asks a question.
class frmGraph : public QDialog {
    Q_OBJECT
public:
    explicit frmGraph(QWidget* parent = nullptr);

    QLabel* lblMessage = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QPushButton* btnYes = nullptr;
    QPushButton* btnNo = nullptr;

    bool ConfirmEach = false;
    bool Answered = false;
    bool AskingOpening = false;
    int FileAnswer = 6;   // 6 Yes, 7 No

    void btnYes_Click();
    void btnno_Click();
    void Form_Activate();
    // Progress mode (false) or a question whose text is in lblMessage (true):
    // waits until it is answered.
    void SetGraphConfirm(bool ask);
    bool Running() const { return running_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;   // Form_QueryUnload
    void reject() override;

private:
    bool running_ = false;
};

// The operations the window runs, by its caption.
namespace GraphCaption {
inline const QString Copying = QStringLiteral("Copying file(s)...");
inline const QString Moving = QStringLiteral("Moving file(s)...");
inline const QString DeleteFile = QStringLiteral("Deleting file...");
inline const QString DeleteTagged = QStringLiteral("Deleting files...");
inline const QString RenameFile = QStringLiteral("Renaming file...");
inline const QString RenameTagged = QStringLiteral("Renaming files...");
inline const QString AttributesFile = QStringLiteral("Setting attributes of file...");
inline const QString AttributesTagged = QStringLiteral("Setting attributes of all tagged files...");
inline const QString ThrashFile = QStringLiteral("Thrashing file...");
inline const QString ThrashTagged = QStringLiteral("Thrashing files...");
}  // namespace GraphCaption

frmGraph* GraphForm();
// Sets the caption and runs the operation in the window, shown centred and modal.
void StartOperation(const QString& caption);
