#include "data/Crypt.h"
#include "data/DataFile.h"
#include "shell/ChangePassword.h"
#include "shell/EnterPassword.h"
#include "support/Fixtures.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QPushButton>
#include <QTest>

using namespace fixtures;

namespace {

class PasswordTest : public AppTest {
protected:
    // Shows the change dialog modally and types the two boxes.
    void change(const QString& first, const QString& second, bool newFile, bool thenCancel = false) {
        auto& d = ctx->forms.get<ChangePassword>();
        d.setNewFileMode(newFile);
        ui.onModal([=](Form& f) {
            auto& dlg = dynamic_cast<ChangePassword&>(f);
            EXPECT_TRUE(dlg.Text1->text().isEmpty()) << "the boxes start empty";
            dlg.Text1->setText(first);
            dlg.Text2->setText(second);
            dlg.OKCommand->click();
            if (dlg.isVisible() && thenCancel) dlg.CancelCommand->click();
            if (dlg.isVisible()) dlg.hide();
        });
        ctx->forms.showModal(d);
    }
};

TEST_F(PasswordTest, ChangeDialogRules) {
    struct Case {
        const char* first;
        const char* second;
        QStringList messages;
        const char* password;  // FilePassword afterwards
    };
    const QString mismatch = "Passwords did not match. Your password was not changed. Try again or cancel.";
    const Case cases[] = {
        {"abc ", "abc", {}, "abc"},
        {"  both  ", "both", {}, "both"},
        {"", "", {}, ""},
        {"abc", "abd", {mismatch}, "before"},
        {"Abc", "abc", {mismatch}, "before"},
    };
    for (const Case& c : cases) {
        ui.messages.clear();
        ctx->state.FilePassword = "before";
        change(c.first, c.second, true);
        EXPECT_EQ(ui.messages, c.messages) << c.first;
        EXPECT_EQ(ctx->state.FilePassword, c.password) << c.first;
    }
    auto& d = ctx->forms.get<ChangePassword>();
    EXPECT_EQ(d.Text1->maxLength(), 10);
    EXPECT_EQ(d.windowTitle(), "Enter New Password");
}

TEST_F(PasswordTest, PasswordsThatCannotBeStoredAreRefused) {
    ctx->state.FilePassword = "before";
    change("Ωmega", "Ωmega", true);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].contains("not changed"));
    EXPECT_EQ(ctx->state.FilePassword, "before");
}

TEST_F(PasswordTest, ChangingTheOpenFilesPassword) {
    createDataFile(path("f.TLR"));
    openDataFile(ctx->state, ui, path("f.TLR"), "old");
    change("new", "new", false);
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(secret::Crypt(scalar(ctx->state.CurrentDB, "SELECT Password FROM Security").toString()), "new");
    datafile::CloseDataFile(ctx->state);

    ctx->state.FilePassword = "old";
    EXPECT_EQ(datafile::OpenDB(ctx->state, ui), datafile::OpenResult::WrongPassword);
    ctx->state.FileName = path("f.TLR");
    ctx->state.FilePassword = "new";
    EXPECT_EQ(datafile::OpenDB(ctx->state, ui), datafile::OpenResult::Opened);
}

TEST_F(PasswordTest, CancelChangesNothing) {
    createDataFile(path("f.TLR"));
    openDataFile(ctx->state, ui, path("f.TLR"), "old");
    auto& d = ctx->forms.get<ChangePassword>();
    d.setNewFileMode(false);
    EXPECT_FALSE(d.CancelCommand->isHidden());
    ui.onModal([](Form& f) {
        auto& dlg = dynamic_cast<ChangePassword&>(f);
        dlg.Text1->setText("x");
        dlg.Text2->setText("x");
        dlg.CancelCommand->click();
    });
    ctx->forms.showModal(d);
    EXPECT_EQ(ui.messages, QStringList{"Password was not changed."});
    EXPECT_EQ(ctx->state.FilePassword, "old");
    EXPECT_EQ(secret::Crypt(scalar(ctx->state.CurrentDB, "SELECT Password FROM Security").toString()), "old");
}

TEST_F(PasswordTest, ChangeWithoutAnOpenFileHidesQuietly) {
    change("pw", "pw", false);
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(ctx->state.FilePassword, "pw");
}

TEST_F(PasswordTest, PromptKeepsWhatWasTyped) {
    auto& prompt = ctx->forms.get<EnterPassword>();
    EXPECT_EQ(prompt.windowTitle(), "Enter Password");
    EXPECT_EQ(prompt.EnterPWLabel->text(), "Enter the password.");
    EXPECT_EQ(prompt.PWText->echoMode(), QLineEdit::Password);
    ui.onModal([](Form& f) {
        auto& p = dynamic_cast<EnterPassword&>(f);
        p.PWText->setText(" spaced ");
        p.Command2->click();
        p.Command1->click();
    });
    ctx->forms.showModal(prompt);
    EXPECT_EQ(ctx->state.FilePassword, " spaced ") << "the prompt is not trimmed";
    EXPECT_EQ(ui.helpTopics, QList<int>{20});
    ctx->state.FilePassword.clear();
    ui.onModal([](Form& f) {
        auto& p = dynamic_cast<EnterPassword&>(f);
        EXPECT_EQ(p.PWText->text(), " spaced ");
        p.Command1->click();
    });
    ctx->forms.showModal(prompt);
    EXPECT_EQ(ctx->state.FilePassword, " spaced ");
}

}  // namespace
