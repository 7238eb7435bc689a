// c:\quorl\arj.exe: Debian's arj with DOS paths turned into host paths.
#include <QCoreApplication>
#include <QTextStream>
#include "dosnames.h"
#include "arjfront.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    if (!archivers::PrefixHasDrives(out)) return 3;
    archivers::EnterStartFolder();
    const int code = archivers::RunArj(app.arguments().mid(1), out);
    out.flush();
    return code;
}
