#include "DemoFile.h"

#include "data/Crypt.h"
#include "data/DataFile.h"
#include "gradesheet/Averages.h"
#include "platform/engine/Engine.h"
#include "platform/runtime/Runtime.h"

#include <QDate>
#include <QHash>
#include <QRandomGenerator>
#include <QStringList>
#include <sqlite3.h>

#include <algorithm>
#include <random>
#include <stdexcept>

namespace demo {
namespace {

const QStringList kFirst{"Ava",   "Liam",  "Noah",  "Emma", "Olivia", "Mia",   "Lucas", "Ethan", "Sofia", "Amara",
                         "Mateo", "Hana",  "Yusuf", "Chloe", "Jonas", "Priya", "Leo",   "Zoe",   "Omar",  "Ines",
                         "Felix", "Maya",  "Aiden", "Nora", "Kenji",  "Lena",  "Tomas", "Ruby",  "Ivan",  "Elif"};
const QStringList kLast{"Smith",  "Garcia", "Nguyen", "Okafor", "Müller", "Rossi",   "Kowalski", "Haddad", "Silva",
                        "Tanaka", "Brown",  "Dubois", "Jensen", "Patel",  "O'Brien", "Novak",    "Çelik",  "Larsen",
                        "Moreau", "Khan",   "Ivanova", "Lopez", "Berg",   "Santos",  "Fischer",  "Yilmaz", "Walker"};
const QStringList kWork{"Quiz", "Homework", "Lab report", "Test", "Essay", "Project", "Worksheet", "Presentation"};

class Writer {
public:
    explicit Writer(sqlite3* db) : m_db(db) {}
    ~Writer() {
        for (sqlite3_stmt* s : std::as_const(m_statements)) sqlite3_finalize(s);
    }

    sqlite3_stmt* statement(const char* sql) {
        sqlite3_stmt*& s = m_statements[sql];
        if (!s && sqlite3_prepare_v2(m_db, sql, -1, &s, nullptr) != SQLITE_OK) fail();
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
        return s;
    }
    void run(sqlite3_stmt* s) {
        if (sqlite3_step(s) != SQLITE_DONE) fail();
    }
    void exec(const char* sql) {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail();
    }
    int lastId() const { return int(sqlite3_last_insert_rowid(m_db)); }
    static void text(sqlite3_stmt* s, int i, const QString& v) {
        const QByteArray b = v.toUtf8();
        sqlite3_bind_text(s, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }

private:
    [[noreturn]] void fail() {
        throw engine::DbError(engine::ErrGeneral, QString::fromUtf8(sqlite3_errmsg(m_db)));
    }
    sqlite3* m_db;
    QHash<QByteArray, sqlite3_stmt*> m_statements;
};

struct Assignment {
    int id;
    double maximum;
    double weight;
};

int addStudent(Writer& w, QRandomGenerator& rng, int n) {
    sqlite3_stmt* s = w.statement("INSERT INTO Students (FirstName, LastName, ID, Notes) VALUES (?, ?, ?, ?)");
    Writer::text(s, 1, kFirst[int(rng.bounded(kFirst.size()))]);
    Writer::text(s, 2, kLast[int(rng.bounded(kLast.size()))]);
    Writer::text(s, 3, QString("S%1").arg(10000 + n));
    Writer::text(s, 4, n % 7 == 0 ? "Sits near the front; glasses." : "");
    w.run(s);
    return w.lastId();
}

// Fills one class: its assignments across the school year, its roster and its scores, and stores
// each student's average as the grade sheet computes it.
std::int64_t fillClass(Writer& w, QRandomGenerator& rng, const ClassSpec& c, const QList<int>& roster, int* classId) {
    sqlite3_stmt* s = w.statement("INSERT INTO Classes (ClassName, Term, Notes, UseWeight) VALUES (?, ?, ?, ?)");
    Writer::text(s, 1, c.name);
    Writer::text(s, 2, c.term);
    Writer::text(s, 3, "");
    sqlite3_bind_int(s, 4, c.weighted ? 1 : 0);
    w.run(s);
    *classId = w.lastId();

    QList<Assignment> assignments;
    const QDate start(2026, 9, 1);
    for (int a = 0; a < c.assignments; ++a) {
        const QString kind = kWork[int(rng.bounded(kWork.size()))];
        const double maximum = kind == "Test" ? 100 : kind == "Quiz" ? 20 : 10 * (1 + int(rng.bounded(5)));
        const double weight = kind == "Test" ? 3 : kind == "Project" ? 2 : 1;
        s = w.statement("INSERT INTO Assignments (Description, ClassID, MaximumPoints, Date, Weight) VALUES (?, ?, ?, ?, ?)");
        Writer::text(s, 1, QString("%1 %2").arg(kind).arg(a + 1));
        sqlite3_bind_int(s, 2, *classId);
        sqlite3_bind_double(s, 3, maximum);
        Writer::text(s, 4, start.addDays(a * 270 / std::max(1, c.assignments)).toString("yyyy-MM-dd"));
        sqlite3_bind_double(s, 5, weight);
        w.run(s);
        assignments.append({w.lastId(), maximum, weight});
    }

    std::int64_t scores = 0;
    for (int student : roster) {
        const double ability = 0.55 + rng.generateDouble() * 0.45;
        QList<averages::Scored> scored;
        for (const Assignment& a : assignments) {
            if (rng.generateDouble() >= c.scoredFraction) continue;
            const double fraction = std::clamp(ability + (rng.generateDouble() - 0.5) * 0.3, 0.0, 1.05);
            const double score = std::round(fraction * a.maximum * 2) / 2;
            s = w.statement("INSERT INTO Scores (StudentID, AssignmentID, Score, Late, \"Drop\") VALUES (?, ?, ?, 0, 0)");
            sqlite3_bind_int(s, 1, student);
            sqlite3_bind_int(s, 2, a.id);
            sqlite3_bind_double(s, 3, runtime::ToSingle(score));
            w.run(s);
            scored.append({score, a.maximum, a.weight});
            ++scores;
        }
        const double average = averages::Compute(scored, c.weighted);
        s = w.statement("INSERT INTO StudentClass (ClassID, StudentID, Grade, Average) VALUES (?, ?, ?, ?)");
        sqlite3_bind_int(s, 1, *classId);
        sqlite3_bind_int(s, 2, student);
        Writer::text(s, 3, average >= 0.9 ? "A" : average >= 0.8 ? "B" : average >= 0.7 ? "C" : "D");
        sqlite3_bind_double(s, 4, runtime::ToSingle(average));
        w.run(s);
    }
    return scores;
}

}  // namespace

Spec SchoolYear() {
    Spec spec;
    spec.classes = {
        {"Biology", "2026-27", 26, 14, 0.95, false},
        {"Chemistry", "2026-27", 24, 12, 0.95, true},
        {"Algebra II", "Fall 2026", 28, 16, 0.9, false},
        {"World History", "Fall 2026", 22, 10, 1.0, true},
    };
    return spec;
}

Result Generate(const QString& path, const Spec& spec) {
    {
        ProgramState st;
        st.FileName = path;
        datafile::CreateDB(st);
    }
    engine::Database db = engine::Workspace::Default().OpenDatabase(path);
    Writer w(db.handle());
    QRandomGenerator rng(spec.seed);
    Result result;
    w.exec("BEGIN");
    {
        sqlite3_stmt* s = w.statement("INSERT INTO Security (Password) VALUES (?)");
        Writer::text(s, 1, secret::Crypt(spec.password));
        w.run(s);
    }
    // A pool of students, so that some take several classes.
    int largest = 0;
    for (const ClassSpec& c : spec.classes) largest = std::max(largest, c.students);
    QList<int> pool;
    const int poolSize = spec.classes.size() > 1 ? largest * 3 / 2 : largest;
    for (int i = 0; i < poolSize; ++i) pool.append(addStudent(w, rng, i));
    for (const ClassSpec& c : spec.classes) {
        QList<int> roster = pool;
        std::shuffle(roster.begin(), roster.end(), std::mt19937(rng.generate()));
        roster = roster.mid(0, c.students);
        int id = 0;
        result.scores += fillClass(w, rng, c, roster, &id);
        result.classIds.append(id);
    }
    // Bulk: classes of 100 students and 100 assignments over the same 100 students.
    const std::int64_t own = result.scores;
    QList<int> filler;
    for (int i = 0; i < 100 && spec.fillerScores > 0; ++i) filler.append(addStudent(w, rng, 50000 + i));
    for (int n = 1; result.scores - own < spec.fillerScores; ++n) {
        int id = 0;
        result.scores += fillClass(w, rng, {QString("Archive %1").arg(n), "2019", 100, 100, 1.0, false}, filler, &id);
    }
    w.exec("COMMIT");
    db.Close();
    return result;
}

}  // namespace demo
