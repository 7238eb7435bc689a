#include "shell_fixture.h"
#include <iostream>
namespace {
class Explore : public ShellTest {};
TEST_F(Explore, Basic) {
    const QString d = drive('d');
    file(d + "/a.txt", 100);
    mkdir(d + "/Docs");
    file(d + "/docs/x.txt", 5);
    mkdir(d + "/docs/sub");
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    std::cout << lines(w).join("\n").toStdString() << std::endl;
    std::cout << "focus: " << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "none") << " pane " << slotOf(w).FocusPane << " cur " << CurrentSlot << std::endl;
    for (int i=0;i<11;++i) std::cout << panel(w,i).toStdString() << "|";
    std::cout << "\nlisted " << listed(w).join(",").toStdString() << " root expanded " << w->Node(1)->isExpanded() << std::endl;
    key(w->DirList, Qt::Key_Down);
    std::cout << "after down: " << slotOf(w).CurrentPath.toStdString() << " " << panel(w,1).toStdString() << std::endl;
    key(w->DirList, Qt::Key_Question);
    focus(w->FileList);
    std::cout << "pane " << slotOf(w).FocusPane << std::endl;
}
}
