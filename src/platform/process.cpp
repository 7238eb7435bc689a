#include "platform/process.h"
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include "platform/names.h"

extern char** environ;

namespace platform {

namespace {
// Byte strings and the NULL-ended pointer list execv wants, made before the
// fork: between fork and exec nothing may allocate.
struct ByteList {
    std::vector<QByteArray> bytes;
    std::vector<char*> pointers;
    void finish() {
        for (QByteArray& b : bytes) pointers.push_back(b.data());
        pointers.push_back(nullptr);
    }
};

ByteList Argv(const QString& program, const QStringList& arguments) {
    ByteList argv;
    argv.bytes.push_back(host::Encode(program));
    for (const QString& a : arguments) argv.bytes.push_back(host::Encode(a));
    argv.finish();
    return argv;
}

bool ReadAll(int fd, void* data, size_t size) {
    for (size_t done = 0; done < size;) {
        const ssize_t n = ::read(fd, static_cast<char*>(data) + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

// In the grandchild: a session of its own, the signals as a fresh program
// expects them, the folder, the program. Only calls that are safe after a fork.
[[noreturn]] void BecomeProgram(const ByteList& argv, const QByteArray& folder, int failurePipe) {
    ::setsid();
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    int failure = 0;
    if (!folder.isEmpty() && ::chdir(folder.constData()) != 0) failure = errno;
    else ::execv(argv.pointers[0], argv.pointers.data());
    if (failure == 0) failure = errno;
    (void)!::write(failurePipe, &failure, sizeof failure);
    ::_exit(127);
}
}  // namespace

ErrorCode StartDetachedProcess(const QString& program, const QStringList& arguments, const QString& folder,
                               qint64* processId) {
    const ByteList argv = Argv(program, arguments);
    const QByteArray where = host::Encode(folder);
    // One pipe tells the grandchild's id, the other its failure to start; a
    // successful start closes the second (close-on-exec) without a word.
    int idPipe[2], failurePipe[2];
    if (::pipe2(idPipe, O_CLOEXEC) != 0) return err::FileNotFound;
    if (::pipe2(failurePipe, O_CLOEXEC) != 0) {
        ::close(idPipe[0]);
        ::close(idPipe[1]);
        return err::FileNotFound;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(idPipe[0]);
        ::close(failurePipe[0]);
        // The middle process ends at once, so the program is nobody's child
        // to wait for and never lingers as a zombie.
        const pid_t grandchild = ::fork();
        if (grandchild == 0) BecomeProgram(argv, where, failurePipe[1]);
        (void)!::write(idPipe[1], &grandchild, sizeof grandchild);
        ::_exit(0);
    }
    ::close(idPipe[1]);
    ::close(failurePipe[1]);
    pid_t started = -1;
    int failure = 0;
    bool ok = child > 0;
    if (ok) {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {}
        ok = ReadAll(idPipe[0], &started, sizeof started) && started > 0 &&
             !ReadAll(failurePipe[0], &failure, sizeof failure);
    }
    ::close(idPipe[0]);
    ::close(failurePipe[0]);
    if (!ok) return err::FileNotFound;
    if (processId) *processId = started;
    return err::None;
}

void CarryExactly(QProcess* process) {
    bool exact = host::IsQtExact(process->program());
    for (const QString& a : process->arguments()) exact = exact && host::IsQtExact(a);
    if (exact) return;
    auto argv = std::make_shared<ByteList>(Argv(process->program(), process->arguments()));
    auto envp = std::make_shared<ByteList>();
    const QStringList environment = process->environment();
    for (const QString& e : environment) envp->bytes.push_back(host::Encode(e));
    envp->finish();
    const bool ownEnvironment = !environment.isEmpty();
    const std::function<void()> previous = process->childProcessModifier();
    // QProcess has set up the channels and the folder when this runs; the exec
    // here replaces the child before Qt's own exec, which would get changed bytes.
    process->setChildProcessModifier([previous, argv, envp, ownEnvironment] {
        if (previous) previous();
        ::execve(argv->pointers[0], argv->pointers.data(), ownEnvironment ? envp->pointers.data() : environ);
    });
}

}  // namespace platform
