#pragma once
// What the platform tests share: a prefix with drive d:, host files made directly
// (so a test of the lookup does not depend on the lookup), a child process that
// runs without root's privileges, and scratch mounts of other file systems.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include "fixture.h"
#include "platform/curdir.h"
#include "platform/files.h"
#include "platform/names.h"
#include "platform/paths.h"
#include "platform/volume.h"

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace testhost {

inline QByteArray Enc(const QString& p) { return QFile::encodeName(p); }

inline QString MakeHostFile(const QString& hostPath, const QByteArray& bytes = "x") {
    QDir().mkpath(hostPath.left(hostPath.lastIndexOf('/')));
    QFile f(hostPath);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << hostPath.toStdString();
    f.write(bytes);
    return hostPath;
}

inline QString MakeHostFolder(const QString& hostPath) {
    EXPECT_TRUE(QDir().mkpath(hostPath)) << hostPath.toStdString();
    return hostPath;
}

inline QByteArray ReadAll(const QString& hostPath) {
    QFile f(hostPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline mode_t ModeOf(const QString& hostPath) {
    struct stat st {};
    ::stat(Enc(hostPath).constData(), &st);
    return st.st_mode & 07777;
}

inline void Chmod(const QString& hostPath, mode_t mode) { ASSERT_EQ(::chmod(Enc(hostPath).constData(), mode), 0); }

// The raw user.DOSATTRIB value, "<none>" without one.
inline QByteArray RawDosAttrib(const QString& hostPath) {
    char buf[256];
    const ssize_t n = ::getxattr(Enc(hostPath).constData(), "user.DOSATTRIB", buf, sizeof buf);
    return n < 0 ? QByteArray("<none>") : QByteArray(buf, int(n));
}

inline bool SetRawDosAttrib(const QString& hostPath, const QByteArray& value) {
    return ::setxattr(Enc(hostPath).constData(), "user.DOSATTRIB", value.constData(), size_t(value.size()), 0) == 0;
}

// The names of a host folder in byte order.
inline QStringList FolderNames(const QString& hostFolder) {
    QStringList names = QDir(hostFolder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    std::sort(names.begin(), names.end());
    return names;
}

// Root may read and write anything, so "may not" cases run in a child process as
// the user nobody (or in-process for any other user; the tests deny the owner
// too). The result is what the function returned, or -1.
inline int RunAsNobody(int (*fn)()) {
    const passwd* pw = ::getpwnam("nobody");
    const uid_t uid = pw ? pw->pw_uid : 65534;
    const gid_t gid = pw ? pw->pw_gid : 65534;
    if (::geteuid() != 0) return fn();
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(::setgroups(0, nullptr) || ::setgid(gid) || ::setuid(uid) ? 255 : fn() & 0xFF);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status) == 255 ? -1 : WEXITSTATUS(status);
}

// A file system of another type mounted on a folder for the life of the object;
// where mounting is not allowed, REQUIRE_MOUNT skips the test and says why.
struct ScratchMount {
    QByteArray folder;
    std::string why;
    ScratchMount(const QString& f, const char* type, const char* options) : folder(Enc(f)) {
        QDir().mkpath(f);
        if (::mount(type, folder.constData(), type, 0, options) != 0)
            why = std::string("cannot mount a scratch ") + type + " here: " + strerror(errno);
    }
    ~ScratchMount() {
        if (why.empty()) ::umount2(folder.constData(), MNT_DETACH);
    }
};

// A small FAT disk image mounted through FUSE (fusefat) on a folder for the
// life of the object, as a USB stick is: names it cannot hold are refused and
// case is ignored. Where the tools or FUSE are missing, REQUIRE_MOUNT skips.
struct FatDisk {
    QString folder;
    std::string why;
    explicit FatDisk(const QString& base) : folder(base + "/fat") {
        const QString image = base + "/fat.img";
        QDir().mkpath(folder);
        QFile img(image);
        if (!img.open(QIODevice::WriteOnly) || !img.resize(8 << 20)) why = "cannot make a disk image";
        img.close();
        const auto run = [](const QString& program, const QStringList& args) {
            QProcess p;
            p.setProcessChannelMode(QProcess::MergedChannels);
            p.start(program, args);
            return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        };
        if (why.empty() && !run("mkfs.vfat", {image})) why = "mkfs.vfat (dosfstools) is missing";
        if (why.empty() && !run("fusefat", {"-o", "rw+", image, folder})) why = "fusefat cannot mount here";
    }
    ~FatDisk() {
        if (why.empty()) QProcess::execute("fusermount", {"-uz", folder});
    }
};

// A prefix with drive d: and the shortcuts most checks use.
class PlatformTest : public ::testing::Test {
protected:
    TempPrefix tp;
    QString d = tp.addDrive('d');

    void linkMissingDrive(QChar letter) { tp.linkDrive(letter, "/nonexistent/quorl-test"); }
    // Lets the user nobody walk into the temporary folders (they are made private).
    void openForOthers() { ::chmod(Enc(tp.base()).constData(), 0755); }
    bool userXattrsWork() {
        const QString probe = MakeHostFile(d + "/.xattr-probe");
        const bool ok = SetRawDosAttrib(probe, "0x0");
        return QFile::remove(probe) && ok;
    }
    QString hostOf(const QString& dos) {
        QString h;
        const ErrorCode e = platform::DosToHost(dos, &h);
        return e ? QStringLiteral("error %1").arg(e) : h;
    }
    int attributesOf(const QString& dos) {
        int a = -1;
        const ErrorCode e = platform::GetAttributes(dos, &a);
        return e ? -int(e) : a;
    }
};

}  // namespace testhost

#define REQUIRE_XATTRS() \
    if (!userXattrsWork()) GTEST_SKIP() << "the temporary folder's file system keeps no user xattrs"
#define REQUIRE_MOUNT(m) \
    if (!(m).why.empty()) GTEST_SKIP() << (m).why
