#include "fileops/frmGraph.h"
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QVBoxLayout>
#include <QHBoxLayout>
#include "ui/dialogfocus.h"
#include "ui/errors.h"
#include "fileops/operations.h"
#include "ui/prompter.h"
#include "model/slots.h"
#include "ui/mainwindow.h"

namespace {
// The two heights of the design, at 15 twips a pixel: progress and question.
constexpr int ProgressHeight = 77;
constexpr int QuestionHeight = 113;
}  // namespace

frmGraph::frmGraph(QWidget* parent) : QDialog(parent) {
    setObjectName("frmGraph");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    lblMessage = new QLabel(this);
    lblMessage->setObjectName("lblMessage");
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setTextVisible(false);
    btnYes = new QPushButton("&Yes", this);
    btnYes->setObjectName("btnYes");
    btnNo = new QPushButton("&No", this);
    btnNo->setObjectName("btnNo");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnYes);
    buttons->addWidget(btnNo);
    buttons->addStretch();
    layout->addWidget(lblMessage);
    layout->addWidget(ProgressBar);
    layout->addLayout(buttons);
    connect(btnYes, &QPushButton::clicked, this, [this] { btnYes_Click(); });
    connect(btnNo, &QPushButton::clicked, this, [this] { btnno_Click(); });
    setFixedWidth(420);
}

void frmGraph::btnYes_Click() {
    if (AskingOpening) ConfirmEach = true;
    else FileAnswer = 6;
    Answered = true;
}

void frmGraph::btnno_Click() {
    if (AskingOpening) ConfirmEach = false;
    else FileAnswer = 7;
    Answered = true;
}

void frmGraph::SetGraphConfirm(bool ask) {
    if (!ask) {
        lblMessage->setText("Press the Esc key, to cancel the operation");
        btnYes->setEnabled(false);
        btnNo->setEnabled(false);
        btnYes->hide();
        btnNo->hide();
        setFixedHeight(ProgressHeight);
        return;
    }
    // The bar and the status show where the run stands while it waits.
    ShowHeld();
    Answered = false;
    btnYes->setEnabled(true);
    btnNo->setEnabled(true);
    btnYes->show();
    btnNo->show();
    setFixedHeight(QuestionHeight);
    btnYes->setFocus();
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    if (PromptHandlerInstalled()) {
        // A test script answers in place of the buttons.
        const bool yes = Prompt(lblMessage->text(), PromptIcon::Question, PromptButtons::YesNo, windowTitle()) ==
                         PromptAnswer::Yes;
        yes ? btnYes_Click() : btnno_Click();
    }
    while (!Answered) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    btnYes->setEnabled(false);
    btnNo->setEnabled(false);
    SetBusy();
}

void frmGraph::Form_Activate() {
    SetGraphConfirm(false);
    repaint();
    running_ = true;
    RunOperation(this, CurrentRun);
    running_ = false;
}

void frmGraph::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        AbortFlag = -1;
        if (btnNo->isEnabled()) btnno_Click();
        break;
    case Qt::Key_N:
        if (btnNo->isEnabled()) btnno_Click();
        break;
    case Qt::Key_Y:
        if (btnYes->isEnabled()) btnYes_Click();
        break;
    default: QDialog::keyPressEvent(event); return;
    }
    event->accept();
}

void frmGraph::closeEvent(QCloseEvent* event) {
    // The user's close box never ends a run in the middle: the run stops after
    // the current file and the window closes itself.
    if (running_ && event->spontaneous()) {
        AbortFlag = -1;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmGraph::reject() {
    if (running_) {
        AbortFlag = -1;
        if (btnNo->isEnabled()) btnno_Click();
        return;
    }
    QDialog::reject();
}

frmGraph* GraphForm() {
    // The form lives with the main window; a new main window gets a new form.
    static QPointer<frmGraph> form;
    if (!form) form = new frmGraph(MainWindow());
    return form;
}

void StartOperation(const Run& run) {
    frmGraph* g = GraphForm();
    g->CurrentRun = run;
    g->setWindowTitle(GraphCaptionOf(run));
    g->ProgressBar->setValue(0);
    const HeldActivation before = HoldActivation();
    // The run happens while the window is up; it hides itself at the end.
    CenterForm(g, false);
    WaitUntilShown(g);
    g->Form_Activate();
    g->hide();
    // The keyboard goes back to the window the run was started from; left to
    // the window manager it may stay with the hidden progress window.
    ReturnActivation(before);
}
