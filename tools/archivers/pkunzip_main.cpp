// c:\quorl\pkunzip.exe: extracts, lists and tests ZIP archives.
#include <QCoreApplication>
#include <QTextStream>
#include "dosnames.h"
#include "pkunzip.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    if (!archivers::PrefixHasDrives(out)) return 3;
    archivers::EnterStartFolder();
    const int code = archivers::RunPkunzip(app.arguments().mid(1), out);
    out.flush();
    return code;
}
