// quorl-setup [--prefix DIR]: creates or repairs the program's "PC".
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <pwd.h>
#include <unistd.h>
#include "setup.h"

namespace {

QString DefaultPrefix() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME is invalid by the XDG rules and is ignored.
    if (data.isEmpty() || QDir::isRelativePath(data)) data = QDir::homePath() + "/.local/share";
    return data + "/quorl";
}

QString LoginName() {
    QString login = qEnvironmentVariable("USER");
    if (login.isEmpty()) {
        if (const passwd* pw = ::getpwuid(::getuid())) login = QString::fromLocal8Bit(pw->pw_name);
    }
    return login;
}

QString HomeFolder() {
    QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty()) {
        if (const passwd* pw = ::getpwuid(::getuid())) home = QString::fromLocal8Bit(pw->pw_dir);
    }
    return home;
}

// Built, the tools lie beside setup; installed, in their own folder.
QString ToolsFolder(const QString& here) {
    if (QFileInfo(here + "/quorl-command").isFile()) return here;
    return QDir::cleanPath(here + "/" QUORL_TOOLS_FROM_BIN);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    SetupOptions options;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == "--prefix" && i + 1 < args.size()) {
            options.prefix = args[++i];
        } else if (args[i].startsWith("--prefix=")) {
            options.prefix = args[i].mid(9);
        } else if (args[i] == "--help" || args[i] == "-h") {
            out << "usage: quorl-setup [--prefix DIR]\n"
                   "Creates or repairs the Disk Rorediva prefix (default $XDG_DATA_HOME/quorl).\n";
            return 0;
        } else {
            err << "quorl-setup: unknown argument " << args[i] << "\nusage: quorl-setup [--prefix DIR]\n";
            return 1;
        }
    }
    if (options.prefix.isEmpty()) options.prefix = DefaultPrefix();
    const QString here = QCoreApplication::applicationDirPath();
    options.quorlBinary = here + "/Quorl";
    options.toolsFolder = ToolsFolder(here);
    options.login = LoginName();
    options.home = HomeFolder();

    QString error;
    QStringList made;
    const bool ok = SetupPrefix(options, &error, &made);
    for (const QString& line : made) out << line << "\n";
    if (!ok) {
        err << "quorl-setup: " << error << "\n";
        return 1;
    }
    if (!QFileInfo(options.quorlBinary).isFile())
        err << "quorl-setup: warning: " << options.quorlBinary << " not found; c:\\quorl\\Quorl.exe not linked\n";
    out << (made.isEmpty() ? "The prefix " + QDir(options.prefix).absolutePath() + " is complete; nothing to do.\n"
                           : "Prefix ready: " + QDir(options.prefix).absolutePath() + "\n");
    return 0;
}
