// FIND, SORT and MORE on files, pipes and redirected input.
#include "command_fixture.h"

TEST_F(CommandTest, FindSortAndMoreFilterFilesAndPipes) {
    write({{"c:\\fruit.txt", "Apple pie\r\nbanana split\r\nCherry apple\r\n\x1a" "after the end\n"},
           {"c:\\nuts.txt", "walnut\nhazel\n"}});
    struct Case { const char* line; QString said; int level; };
    const Case cases[] = {
        // FIND keeps the case typed; /i ignores it, /v inverts, /n numbers, /c counts.
        {"find \"Apple\" fruit.txt", "\n---------- FRUIT.TXT\nApple pie\n", 0},
        {"find /i \"apple\" fruit.txt", "\n---------- FRUIT.TXT\nApple pie\nCherry apple\n", 0},
        {"find /v /n \"apple\" fruit.txt", "\n---------- FRUIT.TXT\n[1]Apple pie\n[2]banana split\n", 0},
        {"find /c /I \"APPLE\" *.txt", "---------- FRUIT.TXT: 2\n---------- NUTS.TXT: 0\n", 0},
        {"find \"a s\" fruit.txt", "\n---------- FRUIT.TXT\nbanana split\n", 0},
        {"type fruit.txt | find \"split\"", "banana split\n", 0},
        {"find /c \"zz\" < nuts.txt", "0\n", 1},
        {"find \"nut\" gone.txt nuts.txt", "File not found - GONE.TXT\n\n---------- NUTS.TXT\nwalnut\n", 2},
        {"find apple fruit.txt", "FIND: Parameter format not correct\n", 2},
        {"find /q \"a\"", "Invalid switch - /q\n", 2},
        // SORT ignores case; /r turns the order round, /+n sorts from column n.
        {"sort fruit.txt", "Apple pie\nbanana split\nCherry apple\n", 0},
        {"sort /r < fruit.txt", "Cherry apple\nbanana split\nApple pie\n", 0},
        {"type fruit.txt | sort /+2", "banana split\nCherry apple\nApple pie\n", 0},
        {"type nuts.txt | sort | find \"a\"", "hazel\nwalnut\n", 0},
        {"sort /x", "Invalid switch - /x\n", 1},
        // MORE pages only on a screen; into a pipe or a file its text passes whole.
        {"more < nuts.txt", "walnut\nhazel\n", 0},
        {"type nuts.txt | more", "walnut\nhazel\n", 0},
        {"more nuts.txt", "walnut\nhazel\n", 0},
        {"more gone.txt", "File not found - gone.txt\n", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.line), c.said) << c.line;
        EXPECT_EQ(shell.errorLevel, c.level) << c.line;
    }
    // What FIND found decides the branch of a batch file.
    write("c:\\look.bat", "@echo off\nfind \"hazel\" nuts.txt > nul\nif errorlevel 1 goto none\necho has hazel\n:none\n");
    EXPECT_EQ(lines("look"), QStringList{"has hazel"});
}
