#include "data/Settings.h"
#include "support/Fixtures.h"

#include <QFile>

class SettingsTest : public TempFolderTest {
protected:
    void writeIni(const QByteArray& text) {
        QFile f(path("WINKVT.INI"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    ProgramState st;
};

TEST_F(SettingsTest, WithoutAFileTheStartValuesStayAndExitCreatesIt) {
    settings::LoadSettings(st);
    EXPECT_EQ(st.ColumnWidth, 0);
    EXPECT_EQ(st.CurrentClassID, 0);
    settings::SaveSettings(st);
    EXPECT_EQ(fileBytes("WINKVT.INI"), "[TR]\nFile1=\nFile2=\nFile3=\nFile4=\nCW=0\nCID=0\n");
}

TEST_F(SettingsTest, ValuesAreReadWithDefaultsAndLimits) {
    struct Case {
        QByteArray ini;
        int columnWidth;
        int classId;
    };
    const Case cases[] = {
        {"[TR]\nCID=12\n", 800, 12},                  // CW missing: its default
        {"[TR]\nCW=abc\nCID=\n", 0, 0},               // not numbers: unchanged
        {"[tr]\ncw=1200\ncid=7\n", 1200, 7},          // names in any case
        {"[TR]\nCW=99999\nCID=1234567890123\n", 0, 123456789},  // cut to 9 characters; too wide for CW
        {"[Other]\nCW=5\n", 800, 0},
    };
    for (const Case& c : cases) {
        writeIni(c.ini);
        ProgramState fresh;
        settings::LoadSettings(fresh);
        EXPECT_EQ(fresh.ColumnWidth, c.columnWidth) << c.ini.toStdString();
        EXPECT_EQ(fresh.CurrentClassID, c.classId) << c.ini.toStdString();
    }
}

TEST_F(SettingsTest, RecentFilesRoundTripAndAreCut) {
    const QString longName = "/" + QString(250, 'f') + ".TLR";
    writeIni(("[TR]\nFile1=/home/t/marks.TLR\nFile2=" + longName + "\n").toUtf8());
    settings::LoadSettings(st);
    EXPECT_EQ(st.RecentFiles[0], "/home/t/marks.TLR");
    EXPECT_EQ(st.RecentFiles[1].size(), 199);
    st.CurrentClassID = 44;
    settings::SaveSettings(st);
    ProgramState again;
    settings::LoadSettings(again);
    EXPECT_EQ(again.RecentFiles[0], "/home/t/marks.TLR");
    EXPECT_EQ(again.CurrentClassID, 44);
}
