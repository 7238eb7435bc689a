#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include "ui/dialogfocus.h"

struct MoreSetting;

class QStackedWidget;

// The options dialog: the twenty settings on three tabs, the settings of
// "[more]" on a fourth. Nothing reaches the settings before OK, which stores
// them and rewrites the settings file.
class frmOpt : public QDialog {
    Q_OBJECT
public:
    explicit frmOpt(QWidget* parent = nullptr);

    QTabBar* tabOptions = nullptr;
    QGroupBox* fraFolders = nullptr;
    QGroupBox* fraFiles = nullptr;
    QGroupBox* fraArchives = nullptr;
    QGroupBox* fraFonts = nullptr;

    QComboBox* cmbMethod = nullptr;
    QLineEdit* txtFolders = nullptr;
    QCheckBox* chkGen[3] = {};              // read-only attribute, system and hidden files, overwrite
    QComboBox* cmbDF = nullptr;
    QLineEdit* txtCol = nullptr;

    QCheckBox* chkARJZipGeneral[3] = {};    // overwrite, compress with paths, extract with paths
    QComboBox* cmbVolumeSize = nullptr;
    QComboBox* cmbCompressionMethod = nullptr;
    QLineEdit* txtArchiveFolders[3] = {};   // ARJ, PKZIP, PKUNZIP programs
    QPushButton* btnArchiveBrowse[3] = {};

    QPushButton* btnTreeFont = nullptr;
    QPushButton* btnFileFont = nullptr;
    QLabel* lblTreeFont = nullptr;          // the chosen face and size
    QLabel* lblFileFont = nullptr;
    QLabel* lblNote1 = nullptr;
    QLabel* lblNote2 = nullptr;

    // The settings of "[more]", one control each in the order of their table:
    // a check box for a switch, a digit box for a number.
    QGroupBox* fraMore = nullptr;
    QList<QWidget*> ctlMore;

    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    bool Confirmed = false;

    void Form_Load();
    void tabOptions_Click();
    void DrawTabControls();
    void btnOk_Click();
    void btnCancel_Click();
    void btnArchiveBrowse_Click(int index);
    void btnTreeFont_Click();
    void btnFileFont_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void ChooseFont(QString* name, QString* size);
    void ShowFonts();
    bool CheckArchiverBox(int index);
    QWidget* MoreControl(const MoreSetting& setting, int index);
    bool IsDigitBox(const QLineEdit* box) const;
    void Close();
    QStackedWidget* tabPages_ = nullptr;
    QString treeFontName_, treeFontSize_, fileFontName_, fileFontSize_;
    HeldFocusPane held_;
};

frmOpt* OptForm();
// Shows the options dialog centred and modal; true when it was confirmed.
bool ShowOptions();

// A key typed into a digit-only box is kept when it is a digit or a control key
// below code 14 (Backspace, Enter).
bool DigitBoxAccepts(const QString& typed);
