#pragma once
#include <QImage>
#include "../shell/shell_fixture.h"
#include <QFileDialog>
#include "browse/filelist.h"
#include "platform/files.h"
#include "viewers/frmDump.h"

// The program started with drive d: logged; files are put on d: before it is
// logged, and commands are given from its file list.
class ViewersTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        d = drive('d');
    }
    void put(const QString& name, const QByteArray& bytes) {
        QFile f(d + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void put(std::initializer_list<std::pair<QString, QByteArray>> files) {
        for (const auto& [name, bytes] : files) put(name, bytes);
    }
    void picture(const QString& name, int width, int height) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        ASSERT_TRUE(image.save(d + "/" + name));
    }
    // Logs d: and gives its list the focus, with the named file current when one is named.
    frmBrws* open(const QString& name = QString()) {
        frmBrws* w = logDrive('d');
        EXPECT_TRUE(w);
        w->FileList->setFocus();
        QApplication::processEvents();
        if (!name.isEmpty()) current(w, name);
        return w;
    }
    // Makes the named file the list's current one, without tagging it.
    void current(frmBrws* w, const QString& name) {
        const QStringList names = listed(w);
        const int row = int(names.indexOf(name));
        ASSERT_GE(row, 0) << name.toStdString();
        w->FileList->setCurrentRow(row, QItemSelectionModel::NoUpdate);
        w->FileList->setFocus();
        QApplication::processEvents();
    }
    void tag(frmBrws* w, const QStringList& names) {
        for (const QString& name : names) {
            current(w, name);
            key(w->FileList, Qt::Key_Space);
        }
    }
    // The next text viewer-editor that opens is handed to the script.
    void expectDump(const std::function<void(frmDump*)>& script) {
        forms.expect("frmDump", [script](QWidget* form) { script(static_cast<frmDump*>(form)); });
    }
    static QString text(frmDump* f, int view = 0) { return f->rtfBox[view]->toPlainText(); }
    // The bytes the hex view shows: each line is 58 characters plus one per byte.
    static int dumpedBytes(frmDump* f) {
        int bytes = 0;
        for (const QString& line : text(f, 1).split('\n', Qt::SkipEmptyParts)) bytes += int(line.size()) - 58;
        return bytes;
    }
    QString d;
};
