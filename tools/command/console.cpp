#include "console.h"
#include <cerrno>
#include <utility>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace command::console {

namespace {

int KeyboardFd() {
    if (::isatty(STDIN_FILENO)) return STDIN_FILENO;
    static const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    return tty;
}

// Keys as they come, without echo; no key makes a signal, so Ctrl+Z never
// suspends the interpreter while it waits for one. The old state comes back
// when this goes.
class RawKeys {
public:
    explicit RawKeys(int fd) : fd_(fd) {
        if (fd_ < 0 || ::tcgetattr(fd_, &saved_) != 0) return;
        termios raw = saved_;
        raw.c_lflag &= ~tcflag_t(ICANON | ECHO | ISIG | IEXTEN);
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        active_ = ::tcsetattr(fd_, TCSANOW, &raw) == 0;
    }
    ~RawKeys() {
        if (active_) ::tcsetattr(fd_, TCSANOW, &saved_);
    }
    RawKeys(const RawKeys&) = delete;
    RawKeys& operator=(const RawKeys&) = delete;

private:
    int fd_;
    termios saved_{};
    bool active_ = false;
};

enum class Got { Byte, Timeout, Closed };

// One byte at a time, so that what the user typed ahead stays with the
// terminal for whoever reads next.
Got ReadByte(int fd, int timeoutMs, char* c) {
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, timeoutMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) return Got::Timeout;
        if (ready < 0) return Got::Closed;
        const ssize_t n = ::read(fd, c, 1);
        if (n < 0 && errno == EINTR) continue;
        return n == 1 ? Got::Byte : Got::Closed;
    }
}

// The rest of a key whose first bytes came: what follows within a moment
// belongs to it; a lone Esc is the Esc key.
constexpr int kKeyRestMs = 60;

// Bytes read past a key (an Esc and the key after it) wait here for the next read.
QByteArray pending;

bool ReadKeyFrom(int fd, int timeoutMs, Key* key) {
    QByteArray bytes;
    std::swap(bytes, pending);
    char c;
    if (bytes.isEmpty()) {
        if (ReadByte(fd, timeoutMs, &c) != Got::Byte) return false;
        bytes += c;
    }
    for (;;) {
        qsizetype used = 0;
        *key = DecodeKey(bytes, &used);
        if (key->code != KeyCode::Incomplete) {
            pending = bytes.mid(used);
            return true;
        }
        const Got got = ReadByte(fd, kKeyRestMs, &c);
        if (got == Got::Closed) return false;
        if (got == Got::Timeout) {
            *key = Key{bytes == "\x1b" ? KeyCode::Escape : KeyCode::Other, QString()};
            return true;
        }
        bytes += c;
    }
}

void Put(const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += n;
    }
}

}  // namespace

SuspendKeyOff::SuspendKeyOff() {
    termios t{};
    if (!::isatty(STDIN_FILENO) || ::tcgetattr(STDIN_FILENO, &t) != 0) return;
    saved_ = t.c_cc[VSUSP];
    t.c_cc[VSUSP] = _POSIX_VDISABLE;
    active_ = ::tcsetattr(STDIN_FILENO, TCSANOW, &t) == 0;
}

SuspendKeyOff::~SuspendKeyOff() {
    termios t{};
    if (!active_ || ::tcgetattr(STDIN_FILENO, &t) != 0) return;
    t.c_cc[VSUSP] = saved_;
    ::tcsetattr(STDIN_FILENO, TCSANOW, &t);
}

bool Interactive() { return ::isatty(STDIN_FILENO) && ::isatty(STDOUT_FILENO); }

bool HasKeyboard() { return KeyboardFd() >= 0; }

ScreenSize Screen() {
    ScreenSize size;
    winsize w{};
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &w) == 0 && w.ws_row > 1 && w.ws_col > 1) {
        size.rows = w.ws_row;
        size.columns = w.ws_col;
    }
    return size;
}

bool ReadKey(Key* key, int timeoutMs) {
    const int fd = KeyboardFd();
    if (fd < 0) return false;
    const RawKeys raw(fd);
    return ReadKeyFrom(fd, timeoutMs, key);
}

LineEnd EditLine(LineEditor::Mode mode, const QStringList& history, qsizetype promptWidth, QString* line) {
    const RawKeys raw(STDIN_FILENO);
    LineEditor editor(mode, history);
    const int columns = Screen().columns;
    const qsizetype start = promptWidth % columns;
    qsizetype shown = start;
    for (;;) {
        Key key;
        if (!ReadKeyFrom(STDIN_FILENO, -1, &key)) {
            Put("\n");
            return LineEnd::Closed;
        }
        const LineEditor::Result result = editor.apply(key);
        const qsizetype end = start + Displayed(editor.text()).size();
        if (result == LineEditor::Result::Editing) {
            Put(Redraw(editor.text(), editor.cursor(), start, columns, &shown));
            continue;
        }
        Put(MoveCursor(shown, end, columns));
        if (result == LineEditor::Result::Cancelled) {
            Put("^C\n");
            return LineEnd::Cancelled;
        }
        Put("\n");
        *line = editor.text();
        return LineEnd::Entered;
    }
}

}  // namespace command::console
