#include "classes/NewAssignment.h"
#include "classes/NewClassForm.h"
#include "classes/SelClassForm.h"
#include "classes/SelectClassesForm.h"
#include "classes/SelectOneStudentForm.h"
#include "classes/SelectStudentForm.h"
#include "gradesheet/GradeForm.h"
#include "platform/ui/GridControl.h"
#include "platform/ui/ListBox.h"
#include "shell/MDITallyroll.h"
#include "support/Fixtures.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace fixtures;

namespace {

QStringList entries(const ListBox* list) {
    QStringList out;
    for (int i = 0; i < list->ListCount(); ++i) out << list->List(i);
    return out;
}

QList<bool> selection(const ListBox* list) {
    QList<bool> out;
    for (int i = 0; i < list->ListCount(); ++i) out << list->Selected(i);
    return out;
}

// Clicks an entry as the teacher does (in a multiple-selection list a click toggles it).
void click(ListBox* list, const QString& text, bool twice = false) {
    for (int i = 0; i < list->ListCount(); ++i) {
        if (list->List(i) != text) continue;
        const QPoint at = list->visualItemRect(list->item(i)).center();
        // A double-click is a click followed by the second press the system reports as double.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        if (twice) QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        return;
    }
    ADD_FAILURE() << "no entry " << text.toStdString();
}

class ClassesTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        createDataFile(path("c.TLR"));
        openDataFile(ctx->state, ui, path("c.TLR"));
    }
    engine::Database& db() { return ctx->state.CurrentDB; }
    int count(const QString& sql) { return scalar(db(), sql).toInt(); }

    template <class F>
    void modal(F& form, std::function<void(F&)> act) {
        ui.onModal([act](Form& f) { act(dynamic_cast<F&>(f)); });
        ctx->forms.showModal(form);
    }
};

// ---------------------------------------------------------------------------------------------
// Add a class

TEST_F(ClassesTest, AddClassStoresTrimmedValuesAndOpensTheNewRoster) {
    addStudent(db(), "Ann", "Smith");
    addStudent(db(), "Bob", "Jones");
    auto& dialog = ctx->forms.get<NewClassForm>();
    EXPECT_EQ(dialog.windowTitle(), "Add a Class");
    EXPECT_EQ(dialog.NameBox->maxLength(), 30);
    ui.onModal([](Form& f) {
        auto& d = dynamic_cast<NewClassForm&>(f);
        d.NameBox->setText("  Biology  ");
        d.TermBox->setText(" Fall ");
        d.UseWeights->setChecked(true);
        d.AddCommand->click();
    });
    ui.onModal([](Form& f) {
        auto& roster = dynamic_cast<SelectStudentForm&>(f);
        EXPECT_EQ(entries(roster.StudentList), (QStringList{"Jones, Bob", "Smith, Ann"}));
        EXPECT_EQ(selection(roster.StudentList), (QList<bool>{false, false}));
        EXPECT_TRUE(roster.SelectAllCommand->isEnabled());
        EXPECT_FALSE(roster.DeselectAllCommand->isEnabled());
        roster.CancelCommand->click();
    });
    ctx->forms.showModal(dialog);
    const int id = scalar(db(), "SELECT MAX(ClassID) FROM Classes").toInt();
    EXPECT_EQ(ctx->state.CurrentClassID, id);
    EXPECT_EQ(scalar(db(), "SELECT ClassName || '|' || Term || '|' || UseWeight FROM Classes").toString(), "Biology|Fall|1");
    EXPECT_TRUE(ui.allAnswersUsed());
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(ClassesTest, AddClassRefusalsKeepTheDialogOpenAndWriteNothing) {
    struct Case {
        QString name, term;
        QString message;
    };
    const QList<Case> cases{
        {"", "Fall", "Please enter the class name"},
        {"   ", "Fall", "Please enter the class name"},
        {"Chemistry", QString(21, 'T'), "The class was not added. The term can have at most 20 characters."},
    };
    auto& dialog = ctx->forms.get<NewClassForm>();
    for (const Case& c : cases) {
        ui.messages.clear();
        modal<NewClassForm>(dialog, [&](NewClassForm& d) {
            d.NameBox->setText(c.name);
            d.TermBox->setText(c.term);
            d.AddCommand->click();
            EXPECT_TRUE(d.isVisible()) << "the dialog stays open";
            d.CancelCommand->click();
        });
        EXPECT_EQ(ui.messages, QStringList{c.message});
        EXPECT_EQ(count("SELECT COUNT(*) FROM Classes"), 0);
    }
    // Usable afterwards: a good name goes in.
    ui.onModal([](Form& f) {
        auto& d = dynamic_cast<NewClassForm&>(f);
        d.NameBox->setText("Chemistry");
        d.TermBox->setText("Spring");
        d.AddCommand->click();
    });
    ui.onModal([](Form& f) { dynamic_cast<SelectStudentForm&>(f).CancelCommand->click(); });
    ctx->forms.showModal(dialog);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Classes WHERE ClassName = 'Chemistry' AND Term = 'Spring'"), 1);
}

TEST_F(ClassesTest, CancelledClassKeepsItsTextForNextTime) {
    ctx->state.CurrentClassID = 77;
    auto& dialog = ctx->forms.get<NewClassForm>();
    modal<NewClassForm>(dialog, [](NewClassForm& d) {
        d.NameBox->setText("Draft");
        d.CancelCommand->click();
    });
    EXPECT_EQ(count("SELECT COUNT(*) FROM Classes"), 0);
    EXPECT_EQ(ctx->state.CurrentClassID, 77);
    modal<NewClassForm>(dialog, [](NewClassForm& d) {
        EXPECT_EQ(d.NameBox->text(), "Draft");
        d.HelpCommand->click();
        d.CancelCommand->click();
    });
    EXPECT_EQ(ui.helpTopics, QList<int>{2});
}

// ---------------------------------------------------------------------------------------------
// Picking a class

TEST_F(ClassesTest, ClassListIsSortedAndCarriesTheKeys) {
    const int bio = addClass(db(), "Biology", "Fall");
    const int alg = addClass(db(), "Algebra", "Spring");
    ctx->state.CurrentClassID = alg;
    auto& dialog = ctx->forms.get<SelClassForm>();
    modal<SelClassForm>(dialog, [&](SelClassForm& d) {
        EXPECT_EQ(entries(d.ClassList), (QStringList{"Algebra Spring", "Biology Fall"}));
        EXPECT_EQ(d.ClassList->ItemData(1), bio);
        click(d.ClassList, "Biology Fall");
        d.OKCommand->click();
    });
    EXPECT_EQ(ctx->state.CurrentClassID, bio);

    // Opening again: the current class is the picked one, so OK alone keeps it.
    modal<SelClassForm>(dialog, [&](SelClassForm& d) {
        EXPECT_EQ(d.ClassList->ListIndex(), 1);
        EXPECT_TRUE(d.ClassList->Selected(1));
        d.OKCommand->click();
    });
    EXPECT_EQ(ctx->state.CurrentClassID, bio);

    modal<SelClassForm>(dialog, [&](SelClassForm& d) { click(d.ClassList, "Algebra Spring", true); });
    EXPECT_EQ(ctx->state.CurrentClassID, alg) << "a double-click picks and closes";

    modal<SelClassForm>(dialog, [&](SelClassForm& d) {
        click(d.ClassList, "Biology Fall");
        d.CancelCommand->click();
    });
    EXPECT_EQ(ctx->state.CurrentClassID, alg);
}

TEST_F(ClassesTest, EmptyFileGivesAnEmptyClassList) {
    modal<SelClassForm>(ctx->forms.get<SelClassForm>(), [](SelClassForm& d) {
        EXPECT_EQ(d.ClassList->ListCount(), 0);
        d.OKCommand->click();
    });
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(ctx->state.CurrentClassID, 0);
}

TEST_F(ClassesTest, AtMostSixClassesArePlotted) {
    auto& st = ctx->state;
    st.ClassNameList = {"G", "B", "F", "A", "E", "C", "D"};
    st.ClassSelected = {false, false, false, false, false, false, false};
    st.NumClasses = 7;
    auto& dialog = ctx->forms.get<SelectClassesForm>();
    EXPECT_EQ(dialog.Label1->text(), "Select up to 6 classes to plot:");
    modal<SelectClassesForm>(dialog, [&](SelectClassesForm& d) {
        EXPECT_EQ(entries(d.ClassList), (QStringList{"A", "B", "C", "D", "E", "F", "G"}));
        for (const QString name : {"A", "B", "C", "D", "E", "F"}) click(d.ClassList, name);
        EXPECT_TRUE(ui.messages.isEmpty());
        click(d.ClassList, "G");
        EXPECT_EQ(ui.messages, QStringList{"Can't select more than 6 classes"});
        EXPECT_FALSE(d.ClassList->Selected(6));
        EXPECT_EQ(d.CountNumSelected(), 6);
        d.OKCommand->click();
    });
    // Entries carry their index into the shared lists: "G" is entry 0 there.
    EXPECT_EQ(st.ClassSelected, (QList<bool>{false, true, true, true, true, true, true}));

    modal<SelectClassesForm>(dialog, [&](SelectClassesForm& d) {
        EXPECT_EQ(d.CountNumSelected(), 6);
        click(d.ClassList, "A");
        d.CancelCommand->click();
    });
    EXPECT_EQ(st.ClassSelected, (QList<bool>{false, true, true, true, true, true, true}));

    st.NumClasses = 0;
    modal<SelectClassesForm>(dialog, [&](SelectClassesForm& d) {
        EXPECT_EQ(d.ClassList->ListCount(), 0);
        d.OKCommand->click();
    });
    EXPECT_EQ(st.ClassSelected, (QList<bool>{false, true, true, true, true, true, true}));
}

// ---------------------------------------------------------------------------------------------
// The roster editor

class RosterTest : public ClassesTest {
protected:
    void SetUp() override {
        ClassesTest::SetUp();
        cls = addClass(db(), "Biology", "Fall");
        ann = addStudent(db(), "Ann", "Smith");
        bob = addStudent(db(), "Bob", "Jones");
        cy = addStudent(db(), "Cy", "Abel");
        ctx->state.CurrentClassID = cls;
    }
    SelectStudentForm& roster() { return ctx->forms.get<SelectStudentForm>(); }
    int rosterRows() { return count(QString("SELECT COUNT(*) FROM StudentClass WHERE ClassID = %1").arg(cls)); }
    int cls = 0, ann = 0, bob = 0, cy = 0;
};

TEST_F(RosterTest, OkWritesTheSelectionAsRosterRows) {
    modal<SelectStudentForm>(roster(), [&](SelectStudentForm& d) {
        EXPECT_EQ(d.windowTitle(), "Select Students");
        EXPECT_EQ(entries(d.StudentList), (QStringList{"Abel, Cy", "Jones, Bob", "Smith, Ann"}));
        click(d.StudentList, "Jones, Bob");
        click(d.StudentList, "Smith, Ann");
        EXPECT_TRUE(d.SelectAllCommand->isEnabled());
        EXPECT_TRUE(d.DeselectAllCommand->isEnabled());
        d.OKCommand->click();
    });
    EXPECT_EQ(rosterRows(), 2);
    EXPECT_TRUE(ctx->state.NeedRefresh);
    modal<SelectStudentForm>(roster(), [&](SelectStudentForm& d) {
        EXPECT_EQ(selection(d.StudentList), (QList<bool>{false, true, true}));
        d.OKCommand->click();
    });
    EXPECT_EQ(rosterRows(), 2);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(RosterTest, RemovingAStudentAsksAndKeepsTheirScores) {
    enrol(db(), cls, ann);
    const int q = addAssignment(db(), cls, "Quiz", 10, QDate(2026, 9, 1));
    addScore(db(), ann, q, 7);
    for (Ui::Answer answer : {Ui::Answer::No, Ui::Answer::Yes}) {
        ui.messages.clear();
        ui.answerMsgBox(answer);
        modal<SelectStudentForm>(roster(), [&](SelectStudentForm& d) {
            click(d.StudentList, "Smith, Ann");
            d.OKCommand->click();
        });
        EXPECT_EQ(ui.messages, QStringList{"Are you sure you want to remove Smith, Ann from the class?"});
        EXPECT_EQ(rosterRows(), answer == Ui::Answer::Yes ? 0 : 1);
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM Scores"), 1);
}

TEST_F(RosterTest, SelectAndDeselectAll) {
    modal<SelectStudentForm>(roster(), [&](SelectStudentForm& d) {
        d.SelectAllCommand->click();
        EXPECT_EQ(selection(d.StudentList), (QList<bool>{true, true, true}));
        EXPECT_FALSE(d.SelectAllCommand->isEnabled());
        EXPECT_TRUE(d.DeselectAllCommand->isEnabled());
        d.DeselectAllCommand->click();
        EXPECT_EQ(selection(d.StudentList), (QList<bool>{false, false, false}));
        EXPECT_TRUE(d.SelectAllCommand->isEnabled());
        EXPECT_FALSE(d.DeselectAllCommand->isEnabled());
        d.SelectAllCommand->click();
        d.OKCommand->click();
    });
    EXPECT_EQ(rosterRows(), 3);
}

TEST_F(RosterTest, AddingAStudent) {
    modal<SelectStudentForm>(roster(), [&](SelectStudentForm& d) {
        click(d.StudentList, "Abel, Cy");  // not confirmed: the list is rebuilt by Add
        d.FirstNameBox->setText("Dee");
        d.AddCommand->click();
        EXPECT_EQ(ui.messages, QStringList{"Enter a first and last name. Then select 'Add'"});
        d.FirstNameBox->setText("  Dee ");
        d.LastNameBox->setText(" Zane  ");
        d.IDText->setText(" S-9 ");
        d.AddCommand->click();
        EXPECT_EQ(entries(d.StudentList), (QStringList{"Abel, Cy", "Jones, Bob", "Smith, Ann", "Zane, Dee"}));
        EXPECT_EQ(selection(d.StudentList), (QList<bool>{false, false, false, false}));
        EXPECT_TRUE(d.FirstNameBox->text().isEmpty());
        EXPECT_TRUE(d.IDText->text().isEmpty());
        d.CancelCommand->click();
    });
    EXPECT_EQ(scalar(db(), "SELECT FirstName || '|' || LastName || '|' || ID FROM Students WHERE LastName = 'Zane'").toString(),
              "Dee|Zane|S-9");
    EXPECT_EQ(rosterRows(), 0) << "Cancel does not take back the new student, but writes no roster";
}

TEST_F(RosterTest, RefusedStudentsWriteNothingAndTheDialogStaysUsable) {
    struct Case {
        QString first, last, id;
        QString message;
    };
    const QList<Case> cases{
        {QString(21, 'f'), "Long", "", "The student was not added. The first name can have at most 20 characters."},
        {"Id", "Long", QString(21, '9'), "The student was not added. The student ID can have at most 20 characters."},
        {"  ", "Blank", "", "The student was not added. The first name cannot be empty or only blanks."},
    };
    modal<SelectStudentForm>(roster(), [&](SelectStudentForm& d) {
        for (const Case& c : cases) {
            ui.messages.clear();
            d.FirstNameBox->setText(c.first);
            d.LastNameBox->setText(c.last);
            d.IDText->setText(c.id);
            d.AddCommand->click();
            EXPECT_EQ(ui.messages, QStringList{c.message});
            EXPECT_EQ(d.LastNameBox->text(), c.last) << "the typing stays to be corrected";
        }
        EXPECT_EQ(count("SELECT COUNT(*) FROM Students"), 3);
        d.FirstNameBox->setText("Fine");
        d.LastNameBox->setText("Name");
        d.IDText->clear();
        d.AddCommand->click();
        d.CancelCommand->click();
    });
    EXPECT_EQ(count("SELECT COUNT(*) FROM Students"), 4);
}

class TransferTest : public RosterTest {
protected:
    // Another teacher's file with the given students.
    QString otherFile(const QList<QPair<QString, QString>>& students) {
        const QString file = path("other.TLR");
        createDataFile(file);
        engine::Database other = engine::Workspace::Default().OpenDatabase(file);
        for (const auto& [first, last] : students) addStudent(other, first, last, "X1");
        other.Close();
        return file;
    }
    void transfer(const QString& file) {
        modal<SelectStudentForm>(roster(), [&](SelectStudentForm& d) {
            EXPECT_FALSE(d.TransferCommand->isEnabled());
            d.FileText->setText(file);
            EXPECT_TRUE(d.TransferCommand->isEnabled());
            d.TransferCommand->click();
            shown = entries(d.StudentList);
            d.CancelCommand->click();
            d.FileText->clear();
        });
    }
    QStringList shown;
};

TEST_F(TransferTest, CopiesNewStudentsAndAsksAboutDuplicates) {
    const QString file = otherFile({{"Ann", "Smith"}, {"Bob", "Jones"}, {"Eve", "New"}, {"Eve", "New"}});
    const QByteArray before = fileBytes("other.TLR");
    ui.answerMsgBox(Ui::Answer::No);   // Ann Smith
    ui.answerMsgBox(Ui::Answer::Yes);  // Bob Jones
    transfer(file);
    EXPECT_EQ(ui.messages, (QStringList{"Current tallyroll already has a student named Ann Smith. Do you want to add another?",
                                        "Current tallyroll already has a student named Bob Jones. Do you want to add another?"}));
    EXPECT_EQ(count("SELECT COUNT(*) FROM Students WHERE LastName = 'New'"), 2) << "same names in the source: both copied";
    EXPECT_EQ(count("SELECT COUNT(*) FROM Students WHERE LastName = 'Jones'"), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Students WHERE LastName = 'Smith'"), 1);
    EXPECT_EQ(scalar(db(), "SELECT ID FROM Students WHERE LastName = 'New'").toString(), "X1");
    EXPECT_EQ(shown.size(), 6);
    EXPECT_EQ(fileBytes("other.TLR"), before) << "the other file is only read";
    EXPECT_FALSE(QFile::exists(path("other.LDB")));
}

TEST_F(TransferTest, CancelAtADuplicateStopsTheTransfer) {
    const QString file = otherFile({{"Ann", "Smith"}, {"Zed", "Last"}});
    ui.answerMsgBox(Ui::Answer::Cancel);
    transfer(file);
    EXPECT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Students"), 3);
}

TEST_F(TransferTest, TheOpenFileUnderAnySpellingIsRefused) {
    ASSERT_TRUE(QFile::link(path("c.TLR"), path("link.TLR")));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("sub"));
    for (const QString& spelling : {path("c.TLR"), path("sub/../c.TLR"), path("link.TLR")}) {
        ui.messages.clear();
        transfer(spelling);
        EXPECT_EQ(ui.messages, QStringList{"File name is the same as currrent Tallyroll file. Transfer cancelled."})
            << spelling.toStdString();
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM Students"), 3);
}

TEST_F(TransferTest, UnreadableSourcesAreReported) {
    struct Case {
        QString file;
        QString message;
    };
    otherFile({});
    QFile junk(path("junk.TLR"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("nothing");
    junk.close();
    const QList<Case> cases{
        {path("other.TLR"), "No current record."},
        {path("missing.TLR"), QString("Could not find file '%1'.").arg(path("missing.TLR"))},
        {path("junk.TLR"), QString("Unrecognized database format '%1'.").arg(path("junk.TLR"))},
    };
    for (const Case& c : cases) {
        ui.messages.clear();
        transfer(c.file);
        EXPECT_EQ(ui.messages, QStringList{c.message});
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM Students"), 3);
}

TEST_F(TransferTest, BrowseFillsTheFileName) {
    modal<SelectStudentForm>(roster(), [&](SelectStudentForm& d) {
        ui.answerFile(path("picked.TLR"));
        d.BrowseCommand->click();
        EXPECT_EQ(d.FileText->text(), path("picked.TLR"));
        ui.answerFile(std::nullopt);
        d.BrowseCommand->click();
        EXPECT_EQ(d.FileText->text(), path("picked.TLR"));
        d.HelpCommand->click();
        d.CancelCommand->click();
    });
    EXPECT_EQ(ui.helpTopics, QList<int>{6});
}

// ---------------------------------------------------------------------------------------------
// New assignment

TEST_F(ClassesTest, NewAssignmentChecksInOrder) {
    ctx->state.CurrentClassID = addClass(db(), "Biology");
    struct Case {
        QString description, maximum, date, weight;
        QString message;
    };
    const QList<Case> cases{
        {"", "", "", "", "Please enter a description"},
        {"   ", "10", "9/1/2026", "", "Please enter a description"},
        {"Quiz", "ten", "never", "", "Please enter a valid number for the maximum number of points."},
        {"Quiz", "1e39", "9/1/2026", "", "Please enter a valid number for the maximum number of points."},
        {"Quiz", "10", "never", "x", "Please enter a valid date"},
        {"Quiz", "10", "9/1/2026", "x", "Please enter a valid number for the weight."},
    };
    auto& dialog = ctx->forms.get<NewAssignment>();
    for (const Case& c : cases) {
        ui.messages.clear();
        modal<NewAssignment>(dialog, [&](NewAssignment& d) {
            d.DescriptionBox->setText(c.description);
            d.MaximumPointsBox->setText(c.maximum);
            d.DateBox->setText(c.date);
            d.WeightBox->setText(c.weight);
            d.AddCommand->click();
            EXPECT_TRUE(d.isVisible());
            d.CancelCommand->click();
        });
        EXPECT_EQ(ui.messages, QStringList{c.message}) << c.description.toStdString();
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM Assignments"), 0);
}

TEST_F(ClassesTest, NewAssignmentAddsOneRowWithWeightOne) {
    const int cls = addClass(db(), "Biology");
    ctx->state.CurrentClassID = cls;
    auto& dialog = ctx->forms.get<NewAssignment>();
    modal<NewAssignment>(dialog, [](NewAssignment& d) {
        d.DescriptionBox->setText(" Lab 1 ");
        d.MaximumPointsBox->setText(" 25 ");
        d.DateBox->setText("9/14/26");
        d.WeightBox->setText("  ");
        d.AddCommand->click();
    });
    EXPECT_EQ(scalar(db(), "SELECT Description || '|' || MaximumPoints || '|' || Date || '|' || Weight || '|' || ClassID "
                           "FROM Assignments").toString(),
              QString("Lab 1|25.0|2026-09-14|1.0|%1").arg(cls));
    EXPECT_EQ(count("SELECT COUNT(*) FROM Scores"), 0);
    modal<NewAssignment>(dialog, [](NewAssignment& d) {
        for (QLineEdit* b : {d.DescriptionBox, d.MaximumPointsBox, d.DateBox, d.WeightBox}) EXPECT_TRUE(b->text().isEmpty());
        d.Command1->click();
        d.CancelCommand->click();
    });
    EXPECT_EQ(ui.helpTopics, QList<int>{1});
}

// ---------------------------------------------------------------------------------------------
// Picking one student

TEST_F(ClassesTest, StudentPickerReturnsTheClickedStudentOrMinusOne) {
    const int ann = addStudent(db(), "Ann", "Smith");
    const int bob = addStudent(db(), "Bob", "Jones");
    auto& dialog = ctx->forms.get<SelectOneStudentForm>();
    modal<SelectOneStudentForm>(dialog, [](SelectOneStudentForm& d) {
        EXPECT_EQ(entries(d.StudentList), (QStringList{"Jones, Bob", "Smith, Ann"}));
        click(d.StudentList, "Smith, Ann");
        d.OKCommand->click();
    });
    EXPECT_EQ(ctx->state.SelectedStudentID, ann);
    modal<SelectOneStudentForm>(dialog, [](SelectOneStudentForm& d) { d.OKCommand->click(); });
    EXPECT_EQ(ctx->state.SelectedStudentID, ann) << "OK without a click keeps the value";
    modal<SelectOneStudentForm>(dialog, [](SelectOneStudentForm& d) { click(d.StudentList, "Jones, Bob", true); });
    EXPECT_EQ(ctx->state.SelectedStudentID, bob);
    modal<SelectOneStudentForm>(dialog, [](SelectOneStudentForm& d) {
        click(d.StudentList, "Smith, Ann");
        d.CancelCommand->click();
    });
    EXPECT_EQ(ctx->state.SelectedStudentID, -1);
}

TEST_F(ClassesTest, StudentPickerOnAnEmptyFile) {
    modal<SelectOneStudentForm>(ctx->forms.get<SelectOneStudentForm>(), [](SelectOneStudentForm& d) {
        EXPECT_EQ(d.StudentList->ListCount(), 0);
        d.OKCommand->click();
    });
    EXPECT_TRUE(ui.messages.isEmpty());
}

// ---------------------------------------------------------------------------------------------
// From the grade sheet's menus

class GradeSheetMenusTest : public ClassesTest {
protected:
    GradeForm& sheet() {
        auto& mdi = ctx->forms.get<MDITallyroll>();
        mdi.show();
        auto& f = ctx->forms.get<GradeForm>();
        mdi.ShowChild(f);
        return f;
    }
};

TEST_F(GradeSheetMenusTest, AddAClassPutStudentsOnItAddAnAssignmentTypeAScore) {
    addStudent(db(), "Ann", "Smith");
    GradeForm& f = sheet();
    EXPECT_FALSE(f.GradeGrid->isVisible()) << "no class yet";
    ui.onModal([](Form& form) {
        auto& d = dynamic_cast<NewClassForm&>(form);
        d.NameBox->setText("Biology");
        d.AddCommand->click();
    });
    ui.onModal([](Form& form) {
        auto& d = dynamic_cast<SelectStudentForm&>(form);
        click(d.StudentList, "Smith, Ann");
        d.OKCommand->click();
    });
    f.AddClassMenu->trigger();
    ASSERT_TRUE(f.GradeGrid->isVisible());
    EXPECT_EQ(f.ClassNameBox->text(), "Biology");
    EXPECT_EQ(f.GradeGrid->TextMatrix(1, 0), "Smith, Ann");

    ui.onModal([](Form& form) {
        auto& d = dynamic_cast<NewAssignment&>(form);
        d.DescriptionBox->setText("Quiz 1");
        d.MaximumPointsBox->setText("20");
        d.DateBox->setText("2026-09-01");
        d.AddCommand->click();
    });
    f.AddAssignmentMenu->trigger();
    ASSERT_EQ(f.GradeGrid->Cols(), 4);
    EXPECT_EQ(f.GradeGrid->TextMatrix(0, 3), "Quiz 1");

    f.GradeGrid->setCurrentCell(1, 2);
    f.GradeGrid->setCurrentCell(1, 3);
    f.GradeTextTimer_Timer();
    QTest::keyClicks(f.GradeText, "15");
    f.CalculateTimer_Timer();
    EXPECT_EQ(f.GradeGrid->TextMatrix(1, 1), "75.00%");
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_TRUE(ui.allAnswersUsed());
}

TEST_F(GradeSheetMenusTest, SelectClassAndChangeRosterRefreshTheSheet) {
    const int bio = addClass(db(), "Biology", "Fall");
    const int chem = addClass(db(), "Chemistry", "Fall");
    enrol(db(), chem, addStudent(db(), "Ann", "Smith"));
    ctx->state.CurrentClassID = bio;
    GradeForm& f = sheet();
    ui.onModal([](Form& form) {
        auto& d = dynamic_cast<SelClassForm&>(form);
        click(d.ClassList, "Chemistry Fall");
        d.OKCommand->click();
    });
    f.SelectClassMenu->trigger();
    EXPECT_EQ(ctx->state.CurrentClassID, chem);
    EXPECT_EQ(f.GradeGrid->TextMatrix(1, 0), "Smith, Ann");

    addStudent(db(), "Bob", "Jones");
    ui.onModal([](Form& form) {
        auto& d = dynamic_cast<SelectStudentForm&>(form);
        click(d.StudentList, "Jones, Bob");
        d.OKCommand->click();
    });
    f.ChangeClsRstrMenu->trigger();
    EXPECT_EQ(f.GradeGrid->TextMatrix(1, 0), "Jones, Bob");
    EXPECT_EQ(f.GradeGrid->TextMatrix(2, 0), "Smith, Ann");
}

TEST_F(GradeSheetMenusTest, DeleteStudentFromAnEmptyRowAsksWhichStudent) {
    const int empty = addClass(db(), "Empty");
    const int ann = addStudent(db(), "Ann", "Smith");
    ctx->state.CurrentClassID = empty;
    GradeForm& f = sheet();
    ui.onModal([](Form& form) { dynamic_cast<SelectOneStudentForm&>(form).CancelCommand->click(); });
    f.DeleteStudentMenu->trigger();
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(count("SELECT COUNT(*) FROM Students"), 1);

    ui.onModal([](Form& form) {
        auto& d = dynamic_cast<SelectOneStudentForm&>(form);
        click(d.StudentList, "Smith, Ann");
        d.OKCommand->click();
    });
    ui.answerMsgBox(Ui::Answer::Yes);
    f.DeleteStudentMenu->trigger();
    EXPECT_EQ(ui.messages, QStringList{"Are you sure you want to delete the student Ann Smith"});
    EXPECT_EQ(count(QString("SELECT COUNT(*) FROM Students WHERE StudentID = %1").arg(ann)), 0);
}

}  // namespace
