#include "platform/help/HelpFile.h"
#include "platform/help/HelpViewer.h"

#include <QListWidget>
#include <QTextBrowser>
#include <gtest/gtest.h>

// The installed help file has a real topic for every context number the program asks for.
TEST(HelpFile, InstalledFileHasEveryTopicTheProgramUses) {
    const QString path = HelpFile::locate("TLYROLL.HLP");
    ASSERT_FALSE(path.isEmpty()) << "help file not installed beside the program";
    HelpFile help;
    QString error;
    ASSERT_TRUE(help.load(path, &error)) << error.toStdString();
    for (int context : {1, 2, 6, 20, 22, 26, 28, 30}) {
        const HelpFile::Topic* t = help.topic(context);
        ASSERT_NE(t, nullptr) << context;
        EXPECT_GT(t->body.size(), 200) << context << " is too thin to help anyone";
        EXPECT_FALSE(t->keywords.isEmpty()) << context;
    }
    EXPECT_TRUE(help.index().contains("password"));
}

TEST(HelpFile, RejectsFilesWithoutTopics) {
    HelpFile help;
    QString error;
    EXPECT_FALSE(help.parse("just text\n", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(help.parse("@topic x Title\n", &error));
    EXPECT_TRUE(error.contains("Line 1"));
}

TEST(HelpViewer, ShowsTopicsAndFiltersTheIndex) {
    HelpViewer viewer;
    ASSERT_TRUE(viewer.open(HelpFile::locate("Tlyroll.hlp")));
    ASSERT_TRUE(viewer.showTopic(26));
    EXPECT_TRUE(viewer.browser()->toPlainText().contains("Getting Started"));
    EXPECT_FALSE(viewer.showTopic(9999));
    viewer.showIndex("passw");
    ASSERT_GT(viewer.keywordList()->count(), 0);
    for (int i = 0; i < viewer.keywordList()->count(); ++i)
        EXPECT_TRUE(viewer.keywordList()->item(i)->text().contains("passw"));
}
