// The rules of the viewers that need no window: the file-type table, the hex
// dump, the text encodings and line ends, and saving in one step.
#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include "fixture.h"
#include "viewers/filetypes.h"
#include "viewers/hexdump.h"
#include "viewers/textfile.h"

namespace {

TEST(FileTypes, TheTableSendsEachFileWhereItsModeAllows) {
    const QStringList table = {".wav,sound", ".avi,Video", ".png,image", ".pn,help", ".zip,archive",
                               ".lnk,link", ".cda,cd audio", ".ttf,font", ".bad", ".gif,image", ""};
    EXPECT_EQ(FileExtension("readme.TXT"), ".TXT");
    EXPECT_EQ(FileExtension("archive.tar.gz"), ".GZ");
    EXPECT_EQ(FileExtension("makefile"), "");
    EXPECT_EQ(LookUpFileType(table, ".AVI"), "video");
    EXPECT_EQ(LookUpFileType(table, ".PN"), "help");     // not taken for ".png"
    EXPECT_EQ(LookUpFileType(table, ".PNG"), "image");
    EXPECT_EQ(LookUpFileType(table, ".BAD"), "");        // a line without a comma names nothing
    EXPECT_EQ(LookUpFileType(table, ""), "");

    struct Case { const char* ext; bool hear, open; ViewRoute route; bool openAfter; };
    const Case cases[] = {
        {".TXT", false, false, ViewRoute::NotFound, false},   // no table line: the text viewer
        {"", true, false, ViewRoute::NotFound, false},        // no extension, heard: the message
        {"", false, true, ViewRoute::NotFound, true},         // no extension, double click: executed
        {".AVI", true, false, ViewRoute::NotFound, false},    // heard video: the message
        {".AVI", false, false, ViewRoute::Media, false},
        {".WAV", false, false, ViewRoute::NotFound, false},   // viewed sound: its bytes
        {".WAV", true, false, ViewRoute::Media, false},
        {".WAV", false, true, ViewRoute::Media, true},        // a double click plays it
        {".CDA", true, false, ViewRoute::Media, false},
        {".GIF", false, true, ViewRoute::NotFound, false},    // dumped, never executed
        {".ZIP", false, true, ViewRoute::NotFound, false},    // listed, never executed
        {".A01", false, true, ViewRoute::NotFound, false},    // a volume of an archive
        {".ARJ", false, true, ViewRoute::NotFound, true},     // "RJ" is no volume number
        {".PNG", false, false, ViewRoute::Picture, false},
        {".PNG", true, false, ViewRoute::NotFound, false},
        {".TTF", false, false, ViewRoute::Font, false},
        {".LNK", false, false, ViewRoute::NoHandler, false},
    };
    for (const Case& c : cases) {
        bool open = c.open;
        const QString ext = c.ext;
        EXPECT_EQ(int(RouteFor(ext, LookUpFileType(table, ext), c.hear, open)), int(c.route)) << c.ext << c.hear;
        EXPECT_EQ(open, c.openAfter) << c.ext;
    }
}

TEST(HexDump, LinesOf28BytesWithTheCharactersInOneColumn) {
    QByteArray bytes;
    for (int i = 0; i < 30; ++i) bytes += char('A' + i % 26);
    bytes[3] = '\0';
    bytes[4] = '\x1b';
    bytes[29] = char(0xE9);
    const QString dump = HexLines(bytes);
    const QStringList lines = dump.split("\r\n");
    ASSERT_EQ(lines.size(), 3);   // two lines and the empty text after the last CR LF
    EXPECT_EQ(lines[0], "414243001B464748494A4B4C4D4E4F505152535455565758595A4142"
                        "  ABC" + QString(2, DumpPlaceholder) + "FGHIJKLMNOPQRSTUVWXYZAB");
    EXPECT_EQ(lines[1], "43E9" + QString(54, ' ') + "C\u00e9");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(HexLines({}), "");
}

TEST(TextFiles, EncodingAndLineEndsSurviveAnEditByteForByte) {
    // Latin-1 with CR LF, a lone LF, a lone CR and no line end at the last line.
    const QByteArray latin = "caf\xe9\r\nna\xefve\r\nmixed\nold\rlast \xa0line";
    TextDocument doc = DecodeText(latin);
    EXPECT_EQ(doc.encoding, TextEncoding::Windows1252);
    EXPECT_EQ(doc.style, LineEnd::CrLf);
    EXPECT_EQ(doc.text, QString::fromUtf8("caf\u00e9\nna\u00efve\nmixed\nold\nlast \u00a0line"));
    QByteArray out;
    ASSERT_TRUE(EncodeText(doc, doc.text, &out));
    EXPECT_EQ(out, latin);
    // One line changed: only its bytes differ.
    QString edited = doc.text;
    edited.replace(QString::fromUtf8("na\u00efve"), QString::fromUtf8("na\u00efvet\u00e9 \u20ac"));
    ASSERT_TRUE(EncodeText(doc, edited, &out));
    EXPECT_EQ(out, QByteArray("caf\xe9\r\nna\xefvet\xe9 \x80\r\nmixed\nold\rlast \xa0line"));
    // A line added at the end gets the file's style; the old last line gets one too.
    ASSERT_TRUE(EncodeText(doc, doc.text + "\nmore", &out));
    EXPECT_EQ(out, latin + "\r\nmore");
    // A character the code page cannot hold is refused, not written as "?".
    EXPECT_FALSE(EncodeText(doc, doc.text + QString::fromUtf8("\u4e2d"), &out));

    // UTF-8 with a byte order mark and a final line end keeps both.
    const QByteArray utf8 = "\xEF\xBB\xBFz\xc3\xbcrich\nline\n";
    doc = DecodeText(utf8);
    EXPECT_EQ(doc.encoding, TextEncoding::Utf8);
    EXPECT_EQ(doc.text, QString::fromUtf8("z\u00fcrich\nline\n"));
    ASSERT_TRUE(EncodeText(doc, QString::fromUtf8("z\u00fcrich\nline two\n"), &out));
    EXPECT_EQ(out, QByteArray("\xEF\xBB\xBFz\xc3\xbcrich\nline two\n"));

    // For viewing, a UTF-8 character cut by the load limit is no reason to
    // take the file for another code page.
    EXPECT_EQ(DecodeForView("gr\xc3\xbc\xc3"), QString::fromUtf8("gr\u00fc"));
    EXPECT_EQ(DecodeForView("gr\xfc"), QString::fromUtf8("gr\u00fc"));
}

TEST(TextFiles, LongLinesAreShownInPiecesAndPartsEndAfterALineBreak) {
    const QString text = QString(10, 'a') + "\n" + QString(3, 'b');
    EXPECT_EQ(BreakLongLines(text, 4), "aaaa\naaaa\naa\nbbb");
    EXPECT_EQ(BreakLongLines("ab\r\ncd", 2), "ab\r\ncd");
    qsizetype offset = 0;
    const QString parts = "one\ntwo\nthree";
    EXPECT_EQ(TakeTextPart(parts, &offset, 6).toString(), "one\n");
    EXPECT_EQ(TakeTextPart(parts, &offset, 6).toString(), "two\n");
    EXPECT_EQ(TakeTextPart(parts, &offset, 6).toString(), "three");
    EXPECT_EQ(offset, parts.size());
}

TEST(TextFiles, ASaveIsWholeOrNothingKeepsAFilesPermissionsAndGivesANewOneTheUmasks) {
    TempPrefix prefix;
    prefix.setup();
    const QByteArray oldBytes(8 * 1024 * 1024, 'o');
    const QByteArray newBytes(8 * 1024 * 1024, 'n');
    prefix.writeFile("c:\\doc.txt", oldBytes);
    for (int round = 0; round < 12; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                SaveFileAtomically("c:\\doc.txt", newBytes);
                SaveFileAtomically("c:\\doc.txt", oldBytes);
            }
        }
        ::usleep(2000 + round * 7000);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const QByteArray now = prefix.readFile("c:\\doc.txt");
        ASSERT_TRUE(now == oldBytes || now == newBytes) << "round " << round << ": " << now.size() << " bytes";
    }
    // A file that cannot be written is left as it was.
    prefix.writeFile("c:\\doc.txt", oldBytes);
    EXPECT_NE(SaveFileAtomically("c:\\nofolder\\doc.txt", newBytes), 0);
    EXPECT_EQ(prefix.readFile("c:\\doc.txt"), oldBytes);

    // A new file gets what the umask leaves of 0666, never more; a file written
    // over keeps its own; a pipe of that name is neither written nor replaced.
    const QByteArray doc = QFile::encodeName(prefix.host("c:\\doc.txt"));
    ASSERT_EQ(::chmod(doc.constData(), 0750), 0);
    const QByteArray pipe = QFile::encodeName(prefix.host("c:\\windows") + "/pipe.txt");
    ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);
    const mode_t umaskBefore = ::umask(027);
    const ErrorCode madeNew = SaveFileAtomically("c:\\new.txt", newBytes);
    const ErrorCode overwritten = SaveFileAtomically("c:\\doc.txt", newBytes);
    const ErrorCode piped = SaveFileAtomically("c:\\windows\\pipe.txt", newBytes);
    ::umask(umaskBefore);
    struct stat st {};
    EXPECT_EQ(madeNew, 0);
    ASSERT_EQ(::stat(QFile::encodeName(prefix.host("c:\\new.txt")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(overwritten, 0);
    ASSERT_EQ(::stat(doc.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0750u);
    EXPECT_EQ(piped, err::DiskChanged);
    ASSERT_EQ(::stat(pipe.constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

}  // namespace
