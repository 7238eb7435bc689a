#pragma once
// The program on a temporary prefix with a drive d: a test arranges, driven by keys, clicks, menus and buttons.
#include "../fileops/ops_fixture.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) { *os << "{\"" << l.join("\", \"").toStdString() << "\"}"; }

class DriveWindowTest : public OpsTest {
public:
    DriveWindowTest& file(const QString& dosPath, int size) {
        put(dosPath, QByteArray(size, 'x'));
        return *this;
    }
    void expectTotals(int files, qint64 bytes) const {
        EXPECT_EQ(panel(4), QString("Tagged files : %1").arg(files));
        EXPECT_EQ(panel(5), QString("Tagged bytes : %1").arg(bytes));
    }
    // Keys go to the pane that has the focus, as the user types them. Unlike
    // OpsTest::key, the key is only sent: no reactivation, no events run after it.
    using OpsTest::key;
    void key(QKeyCombination k) {
        QWidget* f = QApplication::focusWidget();
        EXPECT_TRUE(f == w->DirList || f == w->FileList) << (f ? f->objectName().toStdString() : "none");
        QTest::keyClick(f ? f : w->FileList, k.key(), k.keyboardModifiers());
    }
    void clickRow(int row, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QListWidgetItem* item = w->FileList->item(row);
        ASSERT_TRUE(item) << row;
        w->FileList->scrollToItem(item);
        QTest::mouseClick(w->FileList->viewport(), Qt::LeftButton, mods, w->FileList->visualItemRect(item).center());
    }
    // Folder\name of the file line at a position of the picture, and of each listed item.
    QString pathOf(int at) const {
        int header = at;
        while (header > 0 && !slot().Lines[header].startsWith('>')) --header;
        FolderHeader folder;
        ParseFolderHeader(slot().Lines.value(header), &folder);
        return folder.path + "\\" + FileNameOf(slot().Lines.value(at));
    }
    QStringList listedPaths() const {
        QStringList out;
        for (int i = 0; i < w->FileList->count(); ++i) out << pathOf(FileLineOfItem(slot(), i));
        return out;
    }
    // Every listed item agrees with its file line: same name, tagged as selected. Returns the tagged files and
    // bytes among them, and all their bytes.
    struct Totals { qint64 tagged = 0, taggedBytes = 0, bytes = 0; };
    Totals expectListMatchesLines() const {
        Totals t;
        for (int i = 0; i < w->FileList->count(); ++i) {
            const QString line = slot().Lines.value(FileLineOfItem(slot(), i));
            FileLine f;
            EXPECT_TRUE(ParseFileLine(line, &f) && (f.tag == 'T' || f.tag == 'U')) << i << " " << line.toStdString();
            EXPECT_EQ(f.name, w->FileList->item(i)->text()) << "row " << i;
            EXPECT_EQ(f.tag == 'T', w->FileList->item(i)->isSelected()) << "row " << i << " " << line.toStdString();
            t.bytes += f.size;
            if (f.tag == 'T') t.tagged += 1, t.taggedBytes += f.size;
        }
        return t;
    }
};
