#include "config/frmFA.h"
#include <QApplication>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QVBoxLayout>
#include "config/settings.h"
#include "platform/paths.h"
#include "ui/errors.h"
#include "ui/mainwindow.h"
#include "ui/prompter.h"

namespace {
const QString AssociationsHeader = QStringLiteral("[associations]");

QPushButton* Button(QWidget* parent, const QString& text, const QString& name) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

bool HasControlCharacter(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() < 32 || c.unicode() == 127) return true;
    return false;
}
}  // namespace

void SplitAssociation(const QString& line, QString fields[3]) {
    const int first = line.indexOf(',');
    const int last = line.lastIndexOf(',');
    if (first < 0) {
        fields[0] = line;
        fields[1] = fields[2] = QString();
        return;
    }
    fields[0] = line.left(first);
    fields[1] = first == last ? QString() : line.mid(first + 1, last - first - 1);
    fields[2] = line.mid(last + 1);
}

QString JoinAssociation(const QString& extension, const QString& description, const QString& program) {
    // Typed names are held lower case, as the file names they are matched with.
    const QString e = extension.trimmed().toLower(), d = description.trimmed(), p = program.trimmed().toLower();
    if (e.isEmpty() || d.isEmpty() || p.isEmpty()) return QString();
    if (e.contains(',') || p.contains(',')) return QString();
    if (HasControlCharacter(e) || HasControlCharacter(d) || HasControlCharacter(p)) return QString();
    if (e.startsWith('[')) return QString();
    return e + ',' + d + ',' + p;
}

frmFA::frmFA(QWidget* parent) : QDialog(parent) {
    setObjectName("frmFA");
    setWindowTitle("File associations");

    fraList = new QGroupBox("File associations list", this);
    fraList->setObjectName("fraList");
    lstFAssociations = new QListWidget(fraList);
    lstFAssociations->setObjectName("lstFAssociations");
    auto* listLayout = new QVBoxLayout(fraList);
    listLayout->addWidget(lstFAssociations);

    fraEdition = new QGroupBox("Edition box", this);
    fraEdition->setObjectName("fraEdition");
    auto* edition = new QFormLayout(fraEdition);
    const char* const labels[3] = {"File extension", "Description", "Runs with"};
    for (int i = 0; i < 3; ++i) {
        txtEdit[i] = new QLineEdit(fraEdition);
        txtEdit[i]->setObjectName(QString("txtEdit%1").arg(i));
        txtEdit[i]->installEventFilter(this);
    }
    btnBrowse = Button(fraEdition, "&Browse", "btnBrowse");
    edition->addRow(labels[0], txtEdit[0]);
    edition->addRow(labels[1], txtEdit[1]);
    auto* program = new QHBoxLayout;
    program->addWidget(txtEdit[2], 1);
    program->addWidget(btnBrowse);
    edition->addRow(labels[2], program);

    btnAdd = Button(this, "&Add", "btnAdd");
    btnEdit = Button(this, "&Edit", "btnEdit");
    btnRemove = Button(this, "&Remove", "btnRemove");
    btnDone = Button(this, "&Done", "btnDone");
    btnOk = Button(this, "OK", "btnOk");
    btnCancel = Button(this, "&Cancel", "btnCancel");
    auto* side = new QVBoxLayout;
    for (QPushButton* b : {btnAdd, btnEdit, btnRemove, btnDone}) side->addWidget(b);
    side->addStretch();
    side->addWidget(btnOk);
    side->addWidget(btnCancel);

    auto* left = new QVBoxLayout;
    left->addWidget(fraList, 1);
    left->addWidget(fraEdition);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(side);
    resize(560, 420);

    connect(btnAdd, &QPushButton::clicked, this, [this] { SetAddEditWin(false); });
    connect(btnEdit, &QPushButton::clicked, this, [this] { SetAddEditWin(true); });
    connect(btnDone, &QPushButton::clicked, this, [this] { btnDone_Click(); });
    connect(btnRemove, &QPushButton::clicked, this, [this] { btnRemove_Click(); });
    connect(btnBrowse, &QPushButton::clicked, this, [this] { btnBrowse_Click(); });
    connect(btnOk, &QPushButton::clicked, this, [this] { btnOk_Click(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancel_Click(); });
}

void frmFA::Form_Load() {
    Confirmed = false;
    held_.Hold();
    lstFAssociations->clear();
    QStringList lines = ReadSection(AssociationsHeader);
    lines.removeLast();   // the extra empty entry
    lstFAssociations->addItems(lines);
    if (lstFAssociations->count() > 0) lstFAssociations->setCurrentRow(0);
    for (QLineEdit* box : txtEdit) box->clear();
    EnableEdition(false);
    lstFAssociations->setFocus();
}

// While a line is edited the list and its buttons wait for Done; Cancel stays.
void frmFA::EnableEdition(bool on) {
    fraEdition->setEnabled(on);
    btnDone->setEnabled(on);
    for (QWidget* w : std::initializer_list<QWidget*>{lstFAssociations, btnAdd, btnEdit, btnRemove, btnOk})
        w->setEnabled(!on);
    if (!on) {
        EditMode.clear();
        const bool any = lstFAssociations->count() > 0;
        btnEdit->setEnabled(any);
        btnRemove->setEnabled(any);
    }
}

void frmFA::SetAddEditWin(bool edit) {
    if (edit) {
        QListWidgetItem* item = lstFAssociations->currentItem();
        if (!item) return;
        QString fields[3];
        SplitAssociation(item->text(), fields);
        for (int i = 0; i < 3; ++i) txtEdit[i]->setText(fields[i]);
    } else {
        for (QLineEdit* box : txtEdit) box->clear();
    }
    EnableEdition(true);
    EditMode = edit ? "Edit" : "Add";
    txtEdit[0]->setFocus();
    txtEdit[0]->selectAll();
}

void frmFA::btnDone_Click() {
    const QString line = JoinAssociation(txtEdit[0]->text(), txtEdit[1]->text(), txtEdit[2]->text());
    if (line.isEmpty()) {
        ShowMessage(InvalidAssociationMessage, MsgStyle::Critical, "Error");
        return;
    }
    if (!CheckProgramBox()) return;
    if (EditMode == "Edit" && lstFAssociations->currentItem()) {
        lstFAssociations->currentItem()->setText(line);
    } else {
        lstFAssociations->addItem(line);
        lstFAssociations->setCurrentRow(lstFAssociations->count() - 1);
    }
    EnableEdition(false);
    lstFAssociations->setFocus();
}

void frmFA::btnRemove_Click() {
    const int row = lstFAssociations->currentRow();
    if (row < 0) return;
    delete lstFAssociations->takeItem(row);
    if (lstFAssociations->count() > 0) lstFAssociations->setCurrentRow(qMin(row, lstFAssociations->count() - 1));
    EnableEdition(false);
    lstFAssociations->setFocus();
}

bool frmFA::CheckProgramBox() {
    txtEdit[2]->setText(txtEdit[2]->text().trimmed().toLower());
    if (FileExists(txtEdit[2]->text())) return true;
    ShowMessage("File not found", MsgStyle::Critical, "Error");
    txtEdit[2]->setFocus();
    return false;
}

void frmFA::btnBrowse_Click() {
    QFileDialog dialog(this);
    dialog.setObjectName("cmDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter("All files (*)");
    CenterForm(&dialog, true);
    if (dialog.result() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString dos = platform::HostToDos(dialog.selectedFiles().first());
    if (!dos.isEmpty()) txtEdit[2]->setText(dos.toLower());
}

QStringList frmFA::Entries() const {
    QStringList lines;
    for (int i = 0; i < lstFAssociations->count(); ++i) lines << lstFAssociations->item(i)->text();
    return lines;
}

void frmFA::btnOk_Click() {
    // Every other line of the settings file stays as it is; the file is replaced
    // in one step, so it is always either the old one or the new one.
    if (!ReplaceSettingsSection(AssociationsHeader, Entries())) {
        ShowMessage("The file associations could not be written to quorl.ini", MsgStyle::Critical, "Error");
        return;
    }
    Confirmed = true;
    Close();
}

void frmFA::btnCancel_Click() { Close(); }

void frmFA::reject() { btnCancel_Click(); }

void frmFA::Close() {
    held_.Release();
    hide();
    setResult(Confirmed ? Accepted : Rejected);
    ReturnFocusToMainWindow();
}

bool frmFA::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box) return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (box == txtEdit[0]) txtEdit[1]->setFocus();
            else if (box == txtEdit[1]) txtEdit[2]->setFocus();
            else btnDone->setFocus();
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && box == txtEdit[2]) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        QWidget* next = QApplication::focusWidget();
        // Leaving for Cancel, Browse or another window is not leaving with a name.
        const bool leaving = next && isAncestorOf(next) && next != btnCancel && next != btnBrowse &&
                             reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
        if (leaving)
            QMetaObject::invokeMethod(this, [this] {
                if (isVisible() && !EditMode.isEmpty() && !txtEdit[2]->hasFocus() &&
                    !txtEdit[2]->text().trimmed().isEmpty())
                    CheckProgramBox();
            }, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}

frmFA* FAForm() {
    // The form lives with the main window; a new main window gets a new form.
    static QPointer<frmFA> form;
    if (!form) form = new frmFA(MainWindow());
    return form;
}

bool ShowFileAssociations() {
    frmFA* form = FAForm();
    form->Form_Load();
    CenterForm(form, true);
    return form->Confirmed;
}
