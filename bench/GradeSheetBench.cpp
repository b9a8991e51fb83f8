// The grade sheet against the raw SQLite statements that read or write the same rows, in one run:
// a whole grid fill, one keystroke (store, recompute, show the average), and recomputing a class.
// Two files hold the same two classes (35 x 60 and 200 x 98): one of about 10 thousand scores, one
// of about a million.

#include "data/DataFile.h"
#include "demo/DemoFile.h"
#include "gradesheet/GradeForm.h"
#include "platform/ui/GridControl.h"
#include "platform/ui/Ui.h"
#include "shell/Context.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <map>
#include <memory>

namespace {

// Answers every question with its first button and shows nothing.
class SilentUi final : public Ui {
public:
    Answer MsgBox(const QString&, Buttons) override { return Answer::Ok; }
    std::optional<QString> InputBox(const QString&, const QString&, const QString&) override { return std::nullopt; }
    std::optional<FileChoice> OpenFile(const QString&, const QString&, const QString&) override { return std::nullopt; }
    std::optional<FileChoice> SaveFile(const QString&, const QString&) override { return std::nullopt; }
    bool PrinterSetup() override { return false; }
    void ShowReport(const report::Document&) override {}
    void ShowHelp(const QString&, HelpCommand, int) override {}
    void ShowModal(Form& form) override { form.hide(); }
    void SetBusy(bool) override {}
};

struct Files {
    QTemporaryDir dir;
    QString small, large;
    QList<int> classes;  // the 35 x 60 class, then the 200 x 98 class
};

Files& files() {
    static Files f = [] {
        Files made;
        made.small = made.dir.filePath("small.TLR");
        made.large = made.dir.filePath("large.TLR");
        demo::Spec spec;
        spec.classes = {{"Class of 35", "2026", 35, 60, 1.0, false}, {"Class of 200", "2026", 200, 98, 0.4, true}};
        made.classes = demo::Generate(made.small, spec).classIds;
        spec.fillerScores = 1000000 - 9940;
        demo::Generate(made.large, spec);
        return made;
    }();
    return f;
}

const QString& fileOf(int which) { return which == 0 ? files().small : files().large; }

// An open grade sheet on one class of one file.
struct Sheet {
    SilentUi ui;
    Context ctx{ui};
    GradeForm* form = nullptr;

    Sheet(const QString& path, int classId) {
        ctx.state.FileName = path;
        datafile::OpenDB(ctx.state, ui);
        ctx.state.CurrentClassID = classId;
        form = &ctx.forms.get<GradeForm>();
        form->resize(1100, 700);
        form->UpdateForm();
    }
};

// Raw statements on their own connection, set up as the program sets up its own.
struct Raw {
    sqlite3* db = nullptr;
    std::map<std::string, sqlite3_stmt*> cache;

    explicit Raw(const QString& path) {
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(db, "PRAGMA foreign_keys = ON; PRAGMA journal_mode = DELETE; PRAGMA synchronous = FULL", nullptr,
                     nullptr, nullptr);
    }
    ~Raw() {
        for (auto& [sql, st] : cache) sqlite3_finalize(st);
        sqlite3_close(db);
    }
    sqlite3_stmt* st(const std::string& sql) {
        sqlite3_stmt*& s = cache[sql];
        if (!s) sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr);
        sqlite3_reset(s);
        return s;
    }
    std::vector<int> ids(const std::string& sql, int classId) {
        std::vector<int> out;
        sqlite3_stmt* s = st(sql);
        sqlite3_bind_int(s, 1, classId);
        while (sqlite3_step(s) == SQLITE_ROW) out.push_back(sqlite3_column_int(s, 0));
        return out;
    }
    double average(int student, int classId) {
        sqlite3_stmt* s = st(
            "SELECT Scores.Score, Assignments.MaximumPoints, Assignments.Weight, Classes.UseWeight FROM Scores INNER JOIN "
            "Assignments ON Scores.AssignmentID = Assignments.AssignmentID INNER JOIN Classes ON Classes.ClassID = "
            "Assignments.ClassID WHERE Scores.StudentID = ? AND Assignments.ClassID = ?");
        sqlite3_bind_int(s, 1, student);
        sqlite3_bind_int(s, 2, classId);
        float points = 0, total = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            const bool weighted = sqlite3_column_int(s, 3) == 1;
            const float score = float(sqlite3_column_double(s, 0)), max = float(sqlite3_column_double(s, 1));
            const float weight = float(sqlite3_column_double(s, 2));
            if (weighted && max != 0) points += score * weight / max, total += weight;
            if (!weighted) points += score, total += max;
        }
        return total > 0 ? points / total : 0;
    }
    void storeAverage(int student, int classId, double average) {
        sqlite3_stmt* s = st("UPDATE StudentClass SET Average = ? WHERE StudentID = ? AND ClassID = ?");
        sqlite3_bind_double(s, 1, average);
        sqlite3_bind_int(s, 2, student);
        sqlite3_bind_int(s, 3, classId);
        sqlite3_step(s);
    }
};

const char* kRoster =
    "SELECT Students.StudentID FROM Students INNER JOIN StudentClass ON Students.StudentID = StudentClass.StudentID "
    "WHERE StudentClass.ClassID = ? ORDER BY LastName, FirstName";
const char* kAssignments = "SELECT AssignmentID FROM Assignments WHERE ClassID = ? ORDER BY Date";

void Args(benchmark::internal::Benchmark* b) {
    b->ArgNames({"file", "class"});
    for (int file : {0, 1})
        for (int cls : {0, 1}) b->Args({file, cls});
    b->Unit(benchmark::kMillisecond)->UseRealTime();
}

void BM_Fill(benchmark::State& state) {
    Sheet sheet(fileOf(int(state.range(0))), files().classes[int(state.range(1))]);
    for (auto _ : state) sheet.form->FillGradeGrid();
    state.counters["cells"] = sheet.form->GradeGrid->Rows() * sheet.form->GradeGrid->Cols();
}
BENCHMARK(BM_Fill)->Apply(Args);

void BM_RawFill(benchmark::State& state) {
    Raw raw(fileOf(int(state.range(0))));
    const int classId = files().classes[int(state.range(1))];
    for (auto _ : state) {
        benchmark::DoNotOptimize(raw.ids(kRoster, classId));
        benchmark::DoNotOptimize(raw.ids(kAssignments, classId));
        for (const char* sql : {"SELECT StudentID, Average, Grade FROM StudentClass WHERE ClassID = ?",
                                "SELECT Scores.StudentID, Scores.AssignmentID, Scores.Score FROM Scores INNER JOIN Assignments "
                                "ON Scores.AssignmentID = Assignments.AssignmentID WHERE Assignments.ClassID = ?"}) {
            sqlite3_stmt* q = raw.st(sql);
            sqlite3_bind_int(q, 1, classId);
            while (sqlite3_step(q) == SQLITE_ROW) benchmark::DoNotOptimize(sqlite3_column_double(q, 2));
        }
    }
}
BENCHMARK(BM_RawFill)->Apply(Args);

void BM_Keystroke(benchmark::State& state) {
    Sheet sheet(fileOf(int(state.range(0))), files().classes[int(state.range(1))]);
    GradeForm& f = *sheet.form;
    f.GradeGrid->setCurrentCell(2, 3);
    f.GradeTextTimer_Timer();
    int n = 0;
    for (auto _ : state) {
        f.GradeText->setText(++n % 2 ? "85" : "86");
        f.CalculateTimer_Timer();
    }
}
BENCHMARK(BM_Keystroke)->Apply(Args);

void BM_RawKeystroke(benchmark::State& state) {
    Raw raw(fileOf(int(state.range(0))));
    const int classId = files().classes[int(state.range(1))];
    const int student = raw.ids(kRoster, classId)[1];
    const int assignment = raw.ids(kAssignments, classId)[0];
    int n = 0;
    for (auto _ : state) {
        sqlite3_stmt* s = raw.st("INSERT OR REPLACE INTO Scores (StudentID, AssignmentID, Score, Late, \"Drop\") VALUES (?, ?, ?, 0, 0)");
        sqlite3_bind_int(s, 1, student);
        sqlite3_bind_int(s, 2, assignment);
        sqlite3_bind_double(s, 3, ++n % 2 ? 85 : 86);
        sqlite3_step(s);
        raw.storeAverage(student, classId, raw.average(student, classId));
    }
}
BENCHMARK(BM_RawKeystroke)->Apply(Args);

void BM_RecalculateAll(benchmark::State& state) {
    Sheet sheet(fileOf(int(state.range(0))), files().classes[int(state.range(1))]);
    for (auto _ : state) sheet.form->RecalculateAll();
}
BENCHMARK(BM_RecalculateAll)->Apply(Args);

void BM_RawRecalculateAll(benchmark::State& state) {
    Raw raw(fileOf(int(state.range(0))));
    const int classId = files().classes[int(state.range(1))];
    for (auto _ : state) {
        sqlite3_exec(raw.db, "BEGIN", nullptr, nullptr, nullptr);
        for (int s : raw.ids(kRoster, classId)) raw.storeAverage(s, classId, raw.average(s, classId));
        sqlite3_exec(raw.db, "COMMIT", nullptr, nullptr, nullptr);
    }
}
BENCHMARK(BM_RawRecalculateAll)->Apply(Args);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qputenv("TALLYROLL_WINDIR", QDir::tempPath().toUtf8());
    benchmark::Initialize(&argc, argv);
    files();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
