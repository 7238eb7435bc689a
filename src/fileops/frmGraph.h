#pragma once
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include "fileops/runs.h"

// The progress window every operation on files runs in. Its caption shows the
// run; it shows a message, a progress bar and Yes/No buttons that are
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
    Run CurrentRun;

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

frmGraph* GraphForm();
// Runs the run in the window, shown centred and modal under the run's caption.
void StartOperation(const Run& run);
