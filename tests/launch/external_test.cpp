// Execute on a file, the accessories and settings panels, the MS-DOS window
// and waiting for a program.
#include "launch_fixture.h"
#include "launch/dosbox.h"
#include "launch/external.h"
#include "platform/curdir.h"
#include <QDesktopServices>
#include <QUrl>
#include <fcntl.h>
#include <sys/stat.h>
#include "platform/names.h"

// Stands in for the desktop's "Open".
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

namespace {
// Puts association lines at the head of the section.
void AddAssociations(TempPrefix& prefix, const QStringList& lines) {
    QByteArray ini = prefix.readFile("c:\\windows\\quorl.ini");
    ini.replace("[associations]\r\n", "[associations]\r\n" + lines.join("\r\n").toUtf8() + "\r\n");
    prefix.writeFile("c:\\windows\\quorl.ini", ini);
}
}  // namespace

TEST_F(LaunchTest, ExecuteHandsAssociationsAndProgramsTheFilesHostPathAsOnDisk) {
    const QString d = drive('d');
    const QString odd = "a;b $(touch pwned) `id` &y.qqq";
    files(d + "/docs/", {{"my notes.qqq", 1}, {odd, 1}, {"makefile", 1}, {"run.bat", 1}, {"old.zzz", 1}, {"site.lnk", 1}});
    // Names a Linux program must get as they are: case, a leading "-", a
    // character DOS cannot hold, a line break, bytes that are no UTF-8.
    const QList<QByteArray> exact = {"Report.QQQ", "-rf.qqq", "what?.qqq", "new\nline.qqq", "caf\xff.qqq"};
    for (const QByteArray& n : exact) ::close(::open(QFile::encodeName(d) + "/docs/" + n, O_CREAT | O_WRONLY, 0644));
    script(prefix.host("c:\\windows") + "/viewer.exe", "viewer");
    script(d + "/docs/Tool.EXE", "tool");
    AddAssociations(prefix, {".qqq,Test file,c:\\windows\\viewer.exe", ".zzz,Old file,c:\\windows\\missing.exe"});
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    w->Node(1)->setExpanded(true);
    clickNode(w, "d:\\docs");
    key(w->DirList, Qt::Key_L, Qt::ControlModifier);
    auto execute = [&](const QString& name) {
        const QStringList rows = listed(w);
        const qsizetype row = rows.contains(name) ? rows.indexOf(name) : rows.indexOf(platform::ShownName(name));
        ASSERT_GE(row, 0) << name.toStdString();
        clickRow(w, int(row));
        key(w->FileList, Qt::Key_X);
    };

    for (const QString& name : {QString("my notes.qqq"), odd}) {
        execute(name);
        EXPECT_EQ(record("viewer"), QStringList({d + "/docs", d + "/docs/" + name}));
    }
    EXPECT_FALSE(QFileInfo::exists(d + "/docs/pwned"));
    for (const QByteArray& n : exact) {
        execute(platform::NameFromHost(platform::host::Decode(n)).toLower());
        EXPECT_EQ(record("viewer"), QStringList({d + "/docs", platform::host::Decode(QFile::encodeName(d) + "/docs/" + n)}))
            << n.constData();
    }
    execute("tool.exe");
    EXPECT_EQ(record("tool"), QStringList({d + "/docs"}));

    // A batch file runs by itself, through the interpreter in a console.
    execute("run.bat");
    EXPECT_EQ(record("terminal"), QStringList({d + "/docs", "-e", prefix.host("c:\\command.com"), "/c", "d:\\docs\\run.bat"}));

    // A shortcut opens through the desktop, not as a program.
    OpenedUrls opened;
    QDesktopServices::setUrlHandler("file", &opened, "open");
    execute("site.lnk");
    QDesktopServices::unsetUrlHandler("file");
    EXPECT_EQ(opened.urls, QList<QUrl>({QUrl::fromLocalFile(d + "/docs/site.lnk")}));

    // No extension: no association, whatever the lines say.
    bool dialogShown = false;
    SetAssociationsDialog([&] { dialogShown = true; });
    prompts.expect("Can't find an association for this file", PromptAnswer::Ok, "Error");
    execute("makefile");
    EXPECT_TRUE(dialogShown);
    SetAssociationsDialog(nullptr);

    prompts.expect(ErrorMessage(53));
    execute("old.zzz");
    // A file that went away since it was listed, or whose place a pipe took.
    QFile::remove(d + "/docs/my notes.qqq");
    QFile::remove(d + "/docs/" + odd);
    ASSERT_EQ(::mkfifo(QFile::encodeName(d + "/docs/" + odd).constData(), 0600), 0);
    prompts.expect("Disk has been changed", PromptAnswer::Ok, "Error");
    prompts.expect("Disk has been changed", PromptAnswer::Ok, "Error");
    execute("my notes.qqq");
    execute(odd);
    EXPECT_FALSE(recorded("viewer"));
    EXPECT_TRUE(prompts.done());
}

TEST_F(LaunchTest, ToolsAndSettingsPanelsStartTheirLaunchersOrSayTheyAreMissing) {
    const QString windows = prefix.host("c:\\windows");
    for (const char* name : {"notepad.exe", "control.exe", "system/desk.cpl"}) QFile::remove(windows + "/" + name);
    prompts.expect(ErrorMessage(53));
    main->item("mnuNotepad")->trigger();
    prompts.expect(ErrorMessage(53));
    main->button("tbDesk")->trigger();
    EXPECT_TRUE(prompts.done());

    script(windows + "/notepad.exe", "notepad");
    main->item("mnuNotepad")->trigger();
    EXPECT_EQ(record("notepad").mid(1), QStringList());
    script(windows + "/control.exe", "control");
    script(windows + "/system/desk.cpl", "desk");
    main->button("tbDesk")->trigger();
    EXPECT_EQ(record("control").mid(1), QStringList({windows + "/system/desk.cpl"}));

    // The MS-DOS window: the interpreter alone, in a console; none to be had, file not found.
    main->item("mnuMsDos")->trigger();
    EXPECT_EQ(record("terminal").mid(1), QStringList({"-e", prefix.host("c:\\command.com")}));
    qputenv("QUORL_TERMINAL", "/nonexistent/terminal");
    prompts.expect(ErrorMessage(53));
    main->item("mnuMsDos")->trigger();
    EXPECT_TRUE(prompts.done());
}

TEST_F(LaunchTest, RunAndWaitEndsWithTheProgramOrWhenTheUserStopsWaiting) {
    const QString windows = prefix.host("c:\\windows");
    script(windows + "/three.exe", "three", "exit 3\n");
    platform::ChangeDrive(u'c');
    EXPECT_EQ(RunAndWait("c:\\windows\\three.exe c:\\quorl"), 3);
    EXPECT_EQ(record("three").mid(1), QStringList({prefix.host("c:\\quorl")}));
    LastError = 0;
    EXPECT_EQ(RunAndWait("c:\\windows\\absent.exe"), -1);
    EXPECT_EQ(LastError, 53);

    // A program that never ends: after a while Esc is offered; "No" keeps
    // waiting, "Yes" ends the program.
    script(windows + "/forever.exe", "forever", "exec sleep 600\n");
    SetWaitPatience(50);
    const auto escape = [](QWidget* form) { QTest::keyClick(form, Qt::Key_Escape); };
    // The program has surely started (a busy machine may take longer than the patience) before it is stopped.
    bool started = false;
    forms.expect("frmWait", [&](QWidget* form) { started = !record("forever").isEmpty(); escape(form); })
        .expect("frmWait", escape);
    prompts.expect("The program has not ended yet. Stop waiting for it ?", PromptAnswer::No)
        .expect("The program has not ended yet. Stop waiting for it ?", PromptAnswer::Yes);
    EXPECT_EQ(RunAndWait("c:\\windows\\forever.exe"), -1);
    EXPECT_TRUE(started);
    EXPECT_TRUE(prompts.done());
}

#include "external_test.moc"
