#include "platform/profile/Profile.h"
#include "support/Fixtures.h"

#include <QFile>

using namespace profile;

class ProfileTest : public TempFolderTest {
protected:
    void write(const QByteArray& text) {
        QFile f(path("p.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QString file() const { return path("p.ini"); }
};

TEST_F(ProfileTest, ReadsWithoutRegardToCaseAndCutsToTheBuffer) {
    write("; comment\n[Other]\nCW=1\n[tr]\ncw = 1200 \nFile1=\"C:\\marks.tlr\"\nLong=abcdefghijklmnop\n");
    EXPECT_EQ(GetPrivateProfileString("TR", "CW", "800", 10, file()), "1200");
    EXPECT_EQ(GetPrivateProfileString("Tr", "file1", "", 200, file()), "C:\\marks.tlr");
    EXPECT_EQ(GetPrivateProfileString("TR", "Long", "", 10, file()), "abcdefghi");
    EXPECT_EQ(GetPrivateProfileString("TR", "Missing", "800", 10, file()), "800");
    EXPECT_EQ(GetPrivateProfileString("TR", "Missing", "800", 2, file()), "8");
    EXPECT_EQ(GetPrivateProfileString("Nope", "CW", "dflt", 10, path("none.ini")), "dflt");
}

TEST_F(ProfileTest, WritesKeepEveryOtherLine) {
    write("; my notes\n[Other]\nCW=1\n\n[TR]\nCID=4\nFile1=x\n");
    ASSERT_TRUE(WritePrivateProfileString("tr", "cid", "12", file()));
    ASSERT_TRUE(WritePrivateProfileString("TR", "CW", "900", file()));
    ASSERT_TRUE(WritePrivateProfileString("New", "Key", "v", file()));
    EXPECT_EQ(fileBytes("p.ini"), "; my notes\n[Other]\nCW=1\n\n[TR]\ncid=12\nFile1=x\nCW=900\n[New]\nKey=v\n");
}

TEST_F(ProfileTest, FirstWriteCreatesFileAndSection) {
    ASSERT_TRUE(WritePrivateProfileString("TR", "CW", "800", path("fresh.ini")));
    EXPECT_EQ(fileBytes("fresh.ini"), "[TR]\nCW=800\n");
    EXPECT_FALSE(WritePrivateProfileString("TR", "CW", "800", path("no/such/folder/x.ini")));
}

TEST_F(ProfileTest, WindowsDirectoryFollowsTheEnvironment) {
    EXPECT_EQ(WindowsDirectory(), m_dir.path());
}
