#include "shell/frmAbout.h"
#include <QLabel>
#include <QVBoxLayout>
#include "ui/prompter.h"
#include "shell/MDIQuorl.h"
#include "browse/frmBrws.h"

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    const QString& product = ProductName;
    setWindowTitle("About " + product);
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(product, this);
    QFont f = title->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    auto* text = new QLabel("A keyboard-driven file manager: log a drive, tag files across its folders "
                            "and copy, move, delete, rename or view them all at once.", this);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    layout->addWidget(text);
    btnOk = new QPushButton("OK", this);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);
    layout->addWidget(btnOk, 0, Qt::AlignCenter);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    setFixedWidth(360);
}

void ShowAbout() {
    // Closing it gives the keyboard back to the control that had it.
    frmAbout about;
    CenterForm(&about, true);
}
