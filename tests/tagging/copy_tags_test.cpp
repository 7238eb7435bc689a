// Tags of a folder's files across a copy into that folder, which relogs it.
#include "../fileops/ops_fixture.h"

namespace {
using CopyTagsTest = OpsTest;

// Copying into a logged folder relogs it; the tags of its other files survive.
TEST_F(CopyTagsTest, CopyingIntoALoggedFolderKeepsTheTagsOfItsOtherFiles) {
    put("d:\\src\\a.txt", "a");
    put("d:\\dst\\x.txt", "x");
    put("d:\\dst\\y.txt", "y");
    start({"d:", "d:\\src", "d:\\dst"});
    focusList();
    tag({"x.txt"});
    clickFolder("d:\\src");
    focusList();
    current("a.txt");
    expectCopyDialog("Copy file", "d:\\dst");
    key(Qt::Key_C);
    EXPECT_EQ(diskNames("d:\\dst"), QStringList({"a.txt", "x.txt", "y.txt"}));
    EXPECT_TRUE(IsTagged(lineOf("d:\\dst", "x.txt")));
    EXPECT_FALSE(IsTagged(lineOf("d:\\dst", "y.txt")));
    EXPECT_FALSE(lineOf("d:\\dst", "a.txt").isEmpty());
    clickFolder("d:\\dst");
    EXPECT_EQ(selectedNames(), QStringList({"x.txt"}));
}

}  // namespace
