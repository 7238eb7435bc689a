#pragma once
#include <QAction>
#include <QDialog>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include "ui/dialogfocus.h"

// The picture control: one picture at 1 to 4 times its size, with horizontal
// and vertical scroll positions running from 0 to their maxima (a maximum of 0:
// the picture fits on that axis).
class PictureBox : public QScrollArea {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
    // Reads the picture from an open file, `format` as its name's extension
    // tells it; on failure the reason, the reader's or the checks' before it.
    bool SetPicture(QIODevice* file, const QByteArray& format, QString* error);
    void Release();
    QSize PictureSize() const { return image_.size(); }
    int Zoom() const { return zoom_; }
    void SetZoom(int factor);
    int HPos() const;
    int VPos() const;
    int HMax() const;
    int VMax() const;
    void SetHPos(int value);
    void SetVPos(int value);

signals:
    void keyDown(int keyCode, int shift, bool* handled);
    void mouseDown(Qt::MouseButton button, QPoint globalAt);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QImage image_;
    int zoom_ = 1;
    QWidget* canvas_ = nullptr;
    friend class PictureCanvas;
};

// The picture viewer.
class frmGV : public QDialog {
    Q_OBJECT
public:
    explicit frmGV(QWidget* parent = nullptr);

    QMenuBar* MenuBar = nullptr;
    PictureBox* GvBox = nullptr;
    QMenu* mnuAppearence = nullptr;
    QAction* mnuZoom[5] = {};   // 1 to 4
    QAction* mnuNext = nullptr;

    // The checks of every viewer, then the picture into the control; a picture
    // that cannot be read gets its message and raises the walk's stop flag.
    bool LoadPictureFile(const QString& path);
    void ZoomChk(int index);
    void CloseForm();
    void GvBox_KeyDown(int keyCode, int shift, bool* handled);
    void GvBox_MouseDown(Qt::MouseButton button, QPoint globalAt);
    void mnuZoom_Click(int index) { ZoomChk(index); }
    void mnuNext_Click() { CloseForm(); }
    void Form_Unload();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    HeldFocusPane held_;
    bool closing_ = false;
};

frmGV* PictureForm();
