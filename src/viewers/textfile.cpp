#include "viewers/textfile.h"
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "platform/paths.h"
#include "platform/userfile.h"

namespace {
// Windows-1252 at 0x80-0x9F; the five codes it leaves undefined keep the C1
// control of the same number, so that every byte reads back as itself.
constexpr char16_t HighCodes[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QChar Windows1252Char(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? QChar(HighCodes[byte - 0x80]) : QChar(byte);
}

bool Windows1252Byte(QChar c, char* byte) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
        *byte = char(u);
        return true;
    }
    for (int i = 0; i < 32; ++i)
        if (HighCodes[i] == u) {
            *byte = char(0x80 + i);
            return true;
        }
    return false;
}

const char* EndBytes(LineEnd end) {
    switch (end) {
    case LineEnd::Lf: return "\n";
    case LineEnd::CrLf: return "\r\n";
    case LineEnd::Cr: return "\r";
    case LineEnd::None: break;
    }
    return "";
}

ErrorCode CodeOfErrno(int e) {
    switch (e) {
    case ENOENT: return err::FileNotFound;
    case ENOTDIR: return err::PathNotFound;
    case EACCES: case EPERM: case EROFS: case ETXTBSY: return err::AccessDenied;
    case ENOSPC: case EDQUOT: case EFBIG: return err::DiskFull;
    case EISDIR: return err::PathFileConflict;
    default: return err::IoError;
    }
}
}  // namespace

QString DecodeWindows1252(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char b : bytes) *out++ = Windows1252Char(static_cast<unsigned char>(b));
    return text;
}

QChar DumpCharacter(unsigned char byte) {
    // Controls, DEL, the soft hyphen and the undefined codes would show nothing
    // or shift the columns.
    if (byte < 32 || byte == 0x7F || byte == 0xAD) return DumpPlaceholder;
    const QChar c = Windows1252Char(byte);
    return c.unicode() >= 0x80 && c.unicode() <= 0x9F ? DumpPlaceholder : c;
}

QString DecodeForView(const QByteArray& bytes) {
    // Stateful: a character cut by the load limit is not taken for bad UTF-8.
    QStringDecoder utf8(QStringConverter::Utf8);
    QString decoded = utf8.decode(bytes);
    return utf8.hasError() ? DecodeWindows1252(bytes) : decoded;
}

QString BreakLongLines(const QString& text, int limit) {
    const QChar* data = text.constData();
    const qsizetype n = text.size();
    QString out;
    qsizetype copied = 0;   // text before this is in out
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = data[i].unicode();
        if (c == '\n' || c == '\r') {
            lineStart = i + 1;
        } else if (i - lineStart >= limit) {
            if (out.isNull()) out.reserve(n + n / limit + 1);
            out.append(QStringView(data + copied, i - copied));
            out.append(QChar('\n'));
            copied = i;
            lineStart = i;
        }
    }
    if (out.isNull()) return text;
    out.append(QStringView(data + copied, n - copied));
    return out;
}

QStringView TakeTextPart(const QString& text, qsizetype* offset, qsizetype size) {
    const qsizetype left = text.size() - *offset;
    if (left <= size) {
        const QStringView rest = QStringView(text).mid(*offset);
        *offset = text.size();
        return rest;
    }
    qsizetype cut = text.lastIndexOf('\n', *offset + size - 1) + 1;
    if (cut <= *offset) cut = *offset + size;
    const QStringView part = QStringView(text).mid(*offset, cut - *offset);
    *offset = cut;
    return part;
}

TextDocument DecodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString probe = utf8.decode(bytes);   // the decoder notes bad bytes as it converts
    return DecodeTextAs(bytes, utf8.hasError() ? TextEncoding::Windows1252 : TextEncoding::Utf8);
}

TextDocument DecodeTextAs(const QByteArray& bytes, TextEncoding encoding) {
    TextDocument doc;
    doc.encoding = encoding;
    QString decoded;
    if (encoding == TextEncoding::Windows1252) {
        decoded = DecodeWindows1252(bytes);
    } else {
        decoded = QString::fromUtf8(bytes);
        if (bytes.startsWith("\xEF\xBB\xBF")) {
            doc.byteOrderMark = true;
            if (decoded.startsWith(QChar(0xFEFF))) decoded.remove(0, 1);
        }
    }
    int counts[4] = {};
    qsizetype start = 0;
    const qsizetype n = decoded.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = decoded.at(i);
        if (c != '\n' && c != '\r') continue;
        LineEnd end = LineEnd::Lf;
        qsizetype next = i + 1;
        if (c == '\r') {
            end = next < n && decoded.at(next) == '\n' ? LineEnd::CrLf : LineEnd::Cr;
            if (end == LineEnd::CrLf) ++next;
        }
        doc.lines << decoded.mid(start, i - start);
        doc.ends << end;
        ++counts[int(end)];
        start = next;
        i = next - 1;
    }
    doc.lines << decoded.mid(start);
    doc.ends << LineEnd::None;
    doc.style = LineEnd::Lf;
    for (LineEnd e : {LineEnd::CrLf, LineEnd::Cr})
        if (counts[int(e)] > counts[int(doc.style)]) doc.style = e;
    doc.text = doc.lines.join('\n');
    return doc;
}

bool EncodeText(const TextDocument& original, const QString& text, QByteArray* bytes) {
    const QStringList lines = text.split('\n');
    const qsizetype n = lines.size(), m = original.lines.size();
    qsizetype prefix = 0;
    while (prefix < n && prefix < m && lines[prefix] == original.lines[prefix]) ++prefix;
    qsizetype suffix = 0;
    while (suffix < n - prefix && suffix < m - prefix && lines[n - 1 - suffix] == original.lines[m - 1 - suffix])
        ++suffix;
    // The ending a line of the edited text gets: its own when the edit left it
    // alone, else the document's style; the last line has none.
    auto endOf = [&](qsizetype i) {
        if (i == n - 1) return LineEnd::None;
        LineEnd kept = LineEnd::None;
        if (i < prefix) kept = original.ends[i];
        else if (i >= n - suffix) kept = original.ends[m - (n - i)];
        return kept == LineEnd::None ? original.style : kept;
    };
    QByteArray out;
    if (original.encoding == TextEncoding::Utf8 && original.byteOrderMark) out += "\xEF\xBB\xBF";
    for (qsizetype i = 0; i < n; ++i) {
        if (original.encoding == TextEncoding::Utf8) {
            out += lines[i].toUtf8();
        } else {
            const QString& line = lines[i];
            for (const QChar c : line) {
                char b;
                if (!Windows1252Byte(c, &b)) return false;
                out += b;
            }
        }
        out += EndBytes(endOf(i));
    }
    *bytes = out;
    return true;
}

ErrorCode ReadFileStart(const QString& dosPath, qint64 limit, QByteArray* bytes, qint64* size) {
    QFile f;
    if (ErrorCode code = platform::OpenUserFile(dosPath, &f)) return code;
    if (size) *size = f.size();
    *bytes = f.read(limit);
    return f.error() == QFileDevice::NoError ? err::None : err::IoError;
}

namespace {
// An empty file beside the one to be written, under a name no entry has. It is
// made as any new file is: 0666 less the umask (or the folder's default ACL).
int CreateTempBeside(const QFileInfo& where, QByteArray* temp) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString unique = QString::number(QRandomGenerator::global()->generate(), 36);
        *temp = QFile::encodeName(where.absolutePath() + "/." + where.fileName() + "." + unique);
        const int fd = ::open(temp->constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}
}  // namespace

ErrorCode SaveFileAtomically(const QString& dosPath, const QByteArray& bytes) {
    QString host;
    if (ErrorCode code = platform::DosToHost(dosPath, &host)) return code;
    // Through a link the file it names is replaced, and the link stays.
    const QFileInfo info(host);
    if (info.isSymLink() && info.exists()) host = info.canonicalFilePath();
    if (info.isDir()) return err::PathFileConflict;
    const QByteArray target = QFile::encodeName(host);
    struct stat st {};
    const bool exists = ::stat(target.constData(), &st) == 0;
    // A pipe or device in the file's place is not written through, nor replaced.
    if (exists && !S_ISREG(st.st_mode)) return err::DiskChanged;
    const QFileInfo where(host);
    QByteArray temp;
    const int fd = CreateTempBeside(where, &temp);
    if (fd < 0) return CodeOfErrno(errno);
    auto fail = [&](int e) {
        ::close(fd);
        ::unlink(temp.constData());
        return CodeOfErrno(e);
    };
    // The file written over keeps its permissions (read-only is cleared by the save).
    if (exists && ::fchmod(fd, (st.st_mode & 07777) | S_IWUSR) != 0) return fail(errno);
    const char* p = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, p, size_t(left));
        if (written < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        p += written;
        left -= written;
    }
    if (::fsync(fd) != 0) return fail(errno);
    if (::close(fd) != 0) {
        const int e = errno;
        ::unlink(temp.constData());
        return CodeOfErrno(e);
    }
    if (::rename(temp.constData(), target.constData()) != 0) {
        const int e = errno;
        ::unlink(temp.constData());
        return CodeOfErrno(e);
    }
    // The rename itself must reach the disk for the new file to stay after a crash.
    const int dir = ::open(QFile::encodeName(where.absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 0;
}
