#include "setup.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The desktop's own programs that stand in for the Windows accessories and the
// settings panels; the first one found on the PATH gets the accessory's name
// below the Windows folder. control.exe starts the panel named by its argument,
// which is what env does with a program's path.
struct Accessory {
    const char* folder;    // "" for the Windows folder, "system" for its system folder
    const char* dosName;
    QStringList candidates;
};

const QList<Accessory>& Accessories() {
    static const QList<Accessory> table = {
        {"", "notepad.exe", {"gedit", "gnome-text-editor", "mousepad", "kate", "kwrite", "xed", "pluma",
                             "featherpad", "leafpad", "l3afpad", "geany", "xedit"}},
        {"", "calc.exe", {"gnome-calculator", "galculator", "kcalc", "qalculate-gtk", "mate-calc", "xcalc"}},
        {"", "write.exe", {"abiword", "lowriter", "calligrawords", "focuswriter"}},
        {"", "pbrush.exe", {"kolourpaint", "pinta", "mtpaint", "drawing", "gpaint", "gimp"}},
        {"", "scandskw.exe", {"gnome-disks", "partitionmanager"}},
        {"", "defrag.exe", {"gnome-disks", "partitionmanager", "baobab", "filelight", "qdirstat"}},
        {"", "winhlp32.exe", {"kchmviewer", "xchm"}},
        {"", "fontview.exe", {"gnome-font-viewer", "font-manager", "kfontview"}},
        {"", "control.exe", {"env"}},
        {"system", "appwiz.cpl", {"gnome-software", "plasma-discover", "synaptic-pkexec", "synaptic"}},
        {"system", "desk.cpl", {"xfce4-display-settings", "lxqt-config-monitor", "arandr", "lxrandr"}},
        {"system", "mmsys.cpl", {"pavucontrol", "pavucontrol-qt", "mate-volume-control", "alsamixergui"}},
        {"system", "modem.cpl", {"modem-manager-gui", "nm-connection-editor"}},
        {"system", "netcpl.cpl", {"nm-connection-editor", "connman-gtk", "wicd-gtk"}},
        {"system", "sysdm.cpl", {"hardinfo", "gnome-system-monitor", "mate-system-monitor", "xfce4-taskmanager",
                                 "lxtask", "ksysguard"}},
    };
    return table;
}

// The project's tools as they are built, and their DOS names below drive C:.
struct Tool {
    const char* hostName;
    QStringList dosPath;   // components below the root of drive C:
};

const QList<Tool>& Tools() {
    static const QList<Tool> table = {
        {"quorl-command", {"command.com"}},
        {"quorl-arj", {"quorl", "arj.exe"}},
        {"quorl-pkzip", {"quorl", "pkzip.exe"}},
        {"quorl-pkunzip", {"quorl", "pkunzip.exe"}},
    };
    return table;
}

const char* const ProgramFiles[] = {"readme.txt", "drive1.ico", "drive2.ico", "drive3.ico", "unknown.ico"};

QByteArray Encoded(const QString& path) { return QFile::encodeName(path); }

// True for anything at the path, a dangling link included.
bool EntryExists(const QString& path) {
    struct stat st;
    return ::lstat(Encoded(path).constData(), &st) == 0;
}

bool IsLink(const QString& path) {
    struct stat st;
    return ::lstat(Encoded(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool IsDanglingLink(const QString& path) {
    struct stat st;
    return IsLink(path) && ::stat(Encoded(path).constData(), &st) != 0;
}

class Builder {
public:
    Builder(QString* error, QStringList* made) : error_(error), made_(made) {}

    bool fail(const QString& message) {
        if (error_) *error_ = message;
        return false;
    }
    void note(const QString& line) {
        if (made_) *made_ << line;
    }

    // The entry of a folder that the program would find for a name: an exact
    // match first, else the first one that differs only in case, so that setup
    // never puts a second "Windows" beside the user's "windows".
    static QString Child(const QString& folder, const QString& name) {
        const QString exact = folder + "/" + name;
        if (EntryExists(exact)) return exact;
        const QStringList entries =
            QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                                   QDir::Name);
        for (const QString& e : entries)
            if (e.compare(name, Qt::CaseInsensitive) == 0) return folder + "/" + e;
        return exact;
    }

    bool folder(const QString& path, const QString& shownAs) {
        if (QFileInfo(path).isDir()) return true;
        if (EntryExists(path) && !IsDanglingLink(path))
            return fail(QString("%1 exists and is not a folder").arg(shownAs));
        if (IsDanglingLink(path) && !QFile::remove(path))
            return fail(QString("can't replace the broken link %1").arg(shownAs));
        if (!QDir().mkpath(path)) return fail(QString("can't make the folder %1").arg(shownAs));
        note("made folder " + shownAs);
        return true;
    }

    bool link(const QString& target, const QString& path, const QString& shownAs, bool replacing) {
        if (replacing && !QFile::remove(path)) return fail(QString("can't replace %1").arg(shownAs));
        if (::symlink(Encoded(target).constData(), Encoded(path).constData()) != 0)
            return fail(QString("can't link %1 to %2: %3").arg(shownAs, target, QString::fromLocal8Bit(std::strerror(errno))));
        note(QString(replacing ? "relinked %1 -> %2" : "linked %1 -> %2").arg(shownAs, target));
        return true;
    }

    // A link that setup owns: made when missing, pointed at the current target
    // when it dangles or leads elsewhere (an older build); a real file is the
    // user's and stays.
    bool ownedLink(const QString& target, const QString& path, const QString& shownAs) {
        if (!EntryExists(path)) return link(target, path, shownAs, false);
        if (!IsLink(path)) return true;
        if (QFileInfo(path).symLinkTarget() == QFileInfo(target).absoluteFilePath() && !IsDanglingLink(path))
            return true;
        return link(target, path, shownAs, true);
    }

    // A program file of setup's own: written when missing or different, so a
    // newer setup brings the newer file.
    bool dataFile(const QString& resource, const QString& path, const QString& shownAs) {
        QFile in(resource);
        if (!in.open(QIODevice::ReadOnly)) return fail(QString("setup data %1 is missing").arg(resource));
        const QByteArray bytes = in.readAll();
        QFile old(path);
        if (old.open(QIODevice::ReadOnly) && old.readAll() == bytes) return true;
        old.close();
        if (IsLink(path) && !QFile::remove(path)) return fail(QString("can't replace %1").arg(shownAs));
        return write(path, bytes, shownAs);
    }

    bool write(const QString& path, const QByteArray& bytes, const QString& shownAs) {
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
            return fail(QString("can't write %1: %2").arg(shownAs, out.errorString()));
        note("wrote " + shownAs);
        return true;
    }

private:
    QString* error_;
    QStringList* made_;
};

bool ValidLogin(const QString& login) {
    return !login.isEmpty() && login != "." && login != ".." && !login.contains('/') && !login.contains('\\') &&
           !login.contains(QChar(0));
}

}  // namespace

QString DefaultSettingsText(const QStringList& programs) {
    QFile in(":/setup/quorl.ini");
    if (!in.open(QIODevice::ReadOnly)) return QString();
    QString text = QString::fromUtf8(in.readAll());
    // The template is kept with LF; the settings file has CR LF line ends.
    text.remove('\r');
    QStringList kept;
    bool associations = false;
    for (const QString& line : text.split('\n')) {
        if (line.startsWith('[')) associations = line == "[associations]";
        const bool association = associations && line.contains(',');
        if (!association || programs.contains(line.mid(line.lastIndexOf(',') + 1), Qt::CaseInsensitive)) kept << line;
    }
    return kept.join("\r\n");
}

bool SetupPrefix(const SetupOptions& options, QString* error, QStringList* made) {
    Builder b(error, made);
    if (options.prefix.isEmpty()) return b.fail("no prefix folder given");
    const QString prefix = QFileInfo(options.prefix).absoluteFilePath();

    if (!b.folder(prefix, prefix)) return false;
    const QString devices = prefix + "/dosdevices";
    const bool freshDriveMap = !EntryExists(devices);
    if (!b.folder(devices, devices)) return false;
    const QString driveC = prefix + "/drive_c";
    if (!b.folder(driveC, driveC)) return false;

    // A c: link that leads nowhere is repaired; one the user pointed at a live
    // folder is kept, and the program's files go where it points.
    const QString c = devices + "/c:";
    if (!EntryExists(c)) {
        if (!b.link("../drive_c", c, "dosdevices/c:", false)) return false;
    } else if (IsDanglingLink(c)) {
        if (!b.link("../drive_c", c, "dosdevices/c:", true)) return false;
    } else if (!QFileInfo(c).isDir()) {
        return b.fail("dosdevices/c: is not a link to a folder");
    }
    const QString z = devices + "/z:";
    if (!EntryExists(z) && !b.link("/", z, "dosdevices/z:", false)) return false;
    // A new user finds his own files as h:; a drive map he has made is his, and
    // a letter he removed stays removed.
    if (freshDriveMap && QFileInfo(options.home).isDir() &&
        !b.link(QFileInfo(options.home).absoluteFilePath(), devices + "/h:", "dosdevices/h:", false))
        return false;

    const QString root = QFileInfo(c).canonicalFilePath();
    if (root.isEmpty()) return b.fail("drive c: can't be reached");

    const QString quorl = Builder::Child(root, "quorl");
    if (!b.folder(quorl, "c:\\quorl")) return false;
    for (const char* name : ProgramFiles) {
        const QString file = Builder::Child(quorl, name);
        if (!b.dataFile(QString(":/setup/") + (QString(name).endsWith(".ico") ? "icons/" : "") + name, file,
                        QString("c:\\quorl\\") + name))
            return false;
    }

    if (!options.quorlBinary.isEmpty() && QFileInfo(options.quorlBinary).isFile()) {
        const QString target = QFileInfo(options.quorlBinary).absoluteFilePath();
        if (!b.ownedLink(target, Builder::Child(quorl, "Quorl.exe"), "c:\\quorl\\Quorl.exe")) return false;
    }

    // The tools come with later parts of the project; each is linked once it is built.
    if (!options.toolsFolder.isEmpty()) {
        for (const Tool& tool : Tools()) {
            const QFileInfo built(options.toolsFolder + "/" + tool.hostName);
            if (!built.isFile() || !built.isExecutable()) continue;
            QString folder = root;
            QString shown = "c:";
            for (qsizetype i = 0; i + 1 < tool.dosPath.size(); ++i) {
                folder = Builder::Child(folder, tool.dosPath[i]);
                shown += "\\" + tool.dosPath[i];
            }
            shown += "\\" + tool.dosPath.last();
            if (!b.ownedLink(built.absoluteFilePath(), Builder::Child(folder, tool.dosPath.last()), shown))
                return false;
        }
    }

    const QString windows = Builder::Child(root, "windows");
    if (!b.folder(windows, "c:\\windows")) return false;
    if (!b.folder(Builder::Child(windows, "system"), "c:\\windows\\system")) return false;

    // An accessory the user put there stays; a launcher whose program was
    // removed is pointed at whatever is installed now.
    for (const Accessory& accessory : Accessories()) {
        const QString folder = *accessory.folder ? Builder::Child(windows, accessory.folder) : windows;
        const QString shown = QString("c:\\windows\\") + (*accessory.folder ? QString(accessory.folder) + "\\" : QString()) +
                              accessory.dosName;
        const QString path = Builder::Child(folder, accessory.dosName);
        if (EntryExists(path) && !IsDanglingLink(path)) continue;
        QString program;
        for (const QString& candidate : accessory.candidates) {
            program = QStandardPaths::findExecutable(candidate);
            if (!program.isEmpty()) break;
        }
        if (program.isEmpty()) continue;
        if (!b.link(program, path, shown, EntryExists(path))) return false;
    }
    QStringList accessories;
    for (const Accessory& accessory : Accessories())
        if (!*accessory.folder && QFileInfo(Builder::Child(windows, accessory.dosName)).isFile())
            accessories << QString("c:\\windows\\") + accessory.dosName;

    const QString ini = Builder::Child(windows, "quorl.ini");
    if (!EntryExists(ini)) {
        const QString text = DefaultSettingsText(accessories);
        if (text.isEmpty()) return b.fail("setup data :/setup/quorl.ini is missing");
        if (!b.write(ini, text.toUtf8(), "c:\\windows\\quorl.ini")) return false;
    }

    const QString users = Builder::Child(root, "users");
    if (!b.folder(users, "c:\\users")) return false;
    if (!options.login.isEmpty() && !options.home.isEmpty()) {
        if (!ValidLogin(options.login)) return b.fail(QString("the login name \"%1\" can't be a folder name").arg(options.login));
        const QString home = QFileInfo(options.home).absoluteFilePath();
        const QString user = Builder::Child(users, options.login);
        const QString shown = "c:\\users\\" + options.login;
        if (!EntryExists(user)) {
            if (!b.link(home, user, shown, false)) return false;
        } else if (IsDanglingLink(user)) {
            if (!b.link(home, user, shown, true)) return false;
        }
    }
    return true;
}
