#pragma once
#include <QLabel>
#include <QWidget>

class MDIQuorl;

// The splash window; its load runs the start-up.
class frmShowUp : public QWidget {
    Q_OBJECT
public:
    explicit frmShowUp(QWidget* parent = nullptr);
    // Runs the start-up. Returns the main window, or nullptr when the program ends.
    MDIQuorl* Form_Load();

    QLabel* lblTitle = nullptr;
};
