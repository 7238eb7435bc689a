// c:\quorl\pkzip.exe: compresses files into ZIP archives.
#include <QCoreApplication>
#include <QTextStream>
#include "dosnames.h"
#include "pkzip.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    if (!archivers::PrefixHasDrives(out)) return 3;
    archivers::EnterStartFolder();
    const int code = archivers::RunPkzip(app.arguments().mid(1), out);
    out.flush();
    return code;
}
