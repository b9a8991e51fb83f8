#include "data/Crypt.h"
#include "gradesheet/GradeForm.h"
#include "shell/AboutForm.h"
#include "shell/ChangePassword.h"
#include "shell/EnterPassword.h"
#include "shell/HelpItems.h"
#include "shell/MDITallyroll.h"
#include "support/Fixtures.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QMdiArea>
#include <QMenuBar>
#include <QTest>

using namespace fixtures;

namespace {

class ShellTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        mdi = &ctx->forms.get<MDITallyroll>();
        mdi->show();
    }

    // Answers the new-file password dialog with the same text twice.
    void answerNewPassword(const QString& pw) {
        ui.onModal([pw](Form& f) {
            auto& d = dynamic_cast<ChangePassword&>(f);
            EXPECT_TRUE(d.newFileMode());
            EXPECT_FALSE(d.CancelCommand->isVisible());
            d.Text1->setText(pw);
            d.Text2->setText(pw);
            d.OKCommand->click();
        });
    }
    void answerPassword(const QString& pw) {
        ui.onModal([pw](Form& f) {
            auto& d = dynamic_cast<EnterPassword&>(f);
            d.PWText->setText(pw);
            d.Command1->click();
        });
    }
    void newFile(const QString& name, const QString& pw = {}) {
        ui.answerFile(path(name));
        answerNewPassword(pw);
        mdi->NewMenu->trigger();
    }
    GradeForm* gradeSheet() const { return ctx->forms.find<GradeForm>(); }
    bool gradeSheetShown() const { return gradeSheet() && gradeSheet()->isVisible(); }

    MDITallyroll* mdi = nullptr;
};

TEST_F(ShellTest, ExitAtOnceWritesTheSettingsFile) {
    mdi->ExitMenu->trigger();
    EXPECT_FALSE(ctx->forms.isLoaded<MDITallyroll>());
    EXPECT_TRUE(QFile::exists(path("WINKVT.INI")));
}

TEST_F(ShellTest, NewCreatesTheFileAsksItsPasswordAndShowsTheGradeSheet) {
    EXPECT_EQ(mdi->windowTitle(), "Tallyroll");
    newFile("class.TLR", "pw");
    ASSERT_TRUE(gradeSheetShown());
    EXPECT_EQ(gradeSheet()->windowTitle(), "Grades");
    EXPECT_EQ(ctx->state.FileName, path("class.TLR"));
    EXPECT_TRUE(QFile::exists(path("class.LDB")));
    EXPECT_EQ(secret::Crypt(scalar(ctx->state.CurrentDB, "SELECT Password FROM Security").toString()), "pw");
    EXPECT_EQ(mdi->mdiArea()->subWindowList().size(), 1);
    EXPECT_FALSE(ui.busy);
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_TRUE(ui.allAnswersUsed());

    mdi->ExitMenu->trigger();
    EXPECT_FALSE(QFile::exists(path("class.LDB")));
}

TEST_F(ShellTest, CancellingNewOrOpenKeepsTheOpenFile) {
    newFile("keep.TLR");
    GradeForm* sheet = gradeSheet();
    for (QAction* item : {mdi->NewMenu, mdi->OpenMenu}) {
        ui.answerFile(std::nullopt);
        item->trigger();
        EXPECT_EQ(ctx->state.FileName, path("keep.TLR"));
        EXPECT_TRUE(ctx->state.isFileOpen());
        EXPECT_EQ(gradeSheet(), sheet);
        EXPECT_TRUE(gradeSheetShown());
        EXPECT_FALSE(ui.busy);
    }
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(ShellTest, RefusedNameKeepsTheOpenFile) {
    newFile("keep.TLR");
    for (QAction* item : {mdi->NewMenu, mdi->OpenMenu}) {
        ui.messages.clear();
        ui.answerFile(path("marks.txt"));
        item->trigger();
        EXPECT_EQ(ui.messages, QStringList{"File must have .TLR as extension"});
        EXPECT_EQ(ctx->state.FileName, path("keep.TLR"));
        EXPECT_EQ(ctx->state.LockFileName, path("keep.LDB"));
        EXPECT_TRUE(gradeSheetShown());
        EXPECT_FALSE(ui.busy);
    }
}

TEST_F(ShellTest, WrongPasswordLeavesNoFileOpen) {
    newFile("locked.TLR", "right");
    ui.answerFile(path("locked.TLR"));
    answerPassword("wrong");
    mdi->OpenMenu->trigger();
    EXPECT_EQ(ui.messages, QStringList{"Password is incorrect."});
    EXPECT_TRUE(ctx->state.FileName.isEmpty());
    EXPECT_FALSE(ctx->state.isFileOpen());
    EXPECT_FALSE(ctx->forms.isLoaded<GradeForm>());
    EXPECT_FALSE(QFile::exists(path("locked.LDB")));
    EXPECT_EQ(mdi->menuBar()->actions().size(), 2) << "the main window's own menus are back";

    ui.answerFile(path("locked.TLR"));
    answerPassword("right");
    mdi->OpenMenu->trigger();
    EXPECT_TRUE(gradeSheetShown());
    EXPECT_EQ(ctx->state.FileName, path("locked.TLR"));
}

TEST_F(ShellTest, OverwritingTheOpenFileStartsItAfresh) {
    newFile("same.TLR");
    addClass(ctx->state.CurrentDB, "Old class");
    ui.answerFile(path("same.TLR"));
    ui.answerMsgBox(Ui::Answer::Yes);
    answerNewPassword("");
    mdi->NewMenu->trigger();
    EXPECT_EQ(ui.messages, QStringList{path("same.TLR") + " already exists. Do you want to overwrite it?"});
    ASSERT_TRUE(ctx->state.isFileOpen());
    EXPECT_EQ(scalar(ctx->state.CurrentDB, "SELECT COUNT(*) FROM Classes").toInt(), 0);
    EXPECT_EQ(scalar(ctx->state.CurrentDB, "PRAGMA integrity_check").toString(), "ok");
    EXPECT_TRUE(gradeSheetShown());
    EXPECT_TRUE(QFile::exists(path("same.LDB")));
}

TEST_F(ShellTest, DecliningTheOverwriteClosesTheGradeSheet) {
    createDataFile(path("other.TLR"));
    const QByteArray before = fileBytes("other.TLR");
    newFile("mine.TLR");
    ui.answerFile(path("other.TLR"));
    ui.answerMsgBox(Ui::Answer::No);
    mdi->NewMenu->trigger();
    EXPECT_TRUE(ctx->state.FileName.isEmpty());
    EXPECT_FALSE(ctx->state.isFileOpen());
    EXPECT_FALSE(ctx->forms.isLoaded<GradeForm>());
    EXPECT_FALSE(QFile::exists(path("mine.LDB")));
    EXPECT_EQ(fileBytes("other.TLR"), before);
    EXPECT_FALSE(ui.busy);
}

TEST_F(ShellTest, OpeningANonDataFileKeepsTheOpenOne) {
    newFile("good.TLR");
    QFile junk(path("junk.TLR"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a grade book");
    junk.close();
    ui.answerFile(path("junk.TLR"));
    answerPassword("");
    mdi->OpenMenu->trigger();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].startsWith("OpenDB "));
    EXPECT_EQ(ctx->state.FileName, path("good.TLR"));
    EXPECT_TRUE(ctx->state.isFileOpen());
    EXPECT_TRUE(gradeSheetShown());
    EXPECT_EQ(fileBytes("junk.TLR"), "not a grade book");
}

TEST_F(ShellTest, AboutIsOneWindowShownAgain) {
    mdi->Help->AboutMenu->trigger();
    AboutForm* about = ctx->forms.find<AboutForm>();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->ProductName->text(), "Tallyroll");
    EXPECT_EQ(about->VersionLabel->text(), "Version 2.1 for Windows 32-bit");
    about->close();
    EXPECT_FALSE(about->isVisible());
    mdi->Help->AboutMenu->trigger();
    EXPECT_EQ(ctx->forms.find<AboutForm>(), about);
    EXPECT_TRUE(about->isVisible());
    QTest::mouseClick(about->Image1, Qt::LeftButton);
    EXPECT_EQ(ui.messages, QStringList{"Version 2.01"});
}

TEST_F(ShellTest, HelpItemsAskForTheirTopics) {
    mdi->Help->GettingStartedMenu->trigger();
    mdi->Help->IndexMenu->trigger();
    mdi->Help->FreeCusRepMenu->trigger();
    mdi->Help->TechSupportMenu->trigger();
    EXPECT_EQ(ui.helpTopics, (QList<int>{26, -1, 28, 22}));
    EXPECT_EQ(ui.helpFiles, (QStringList{"Tlyroll.hlp", "TLYROLL.HLP", "Tlyroll.hlp", "Tlyroll.hlp"}));
}

TEST_F(ShellTest, MainMenusWhileNoChildIsOpen) {
    QStringList titles;
    for (QAction* a : mdi->menuBar()->actions()) titles << a->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Help"}));
}

}  // namespace
