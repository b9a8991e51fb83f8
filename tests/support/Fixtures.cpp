#include "Fixtures.h"

#include "data/DataFile.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QFile>

void TempFolderTest::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    qputenv("TALLYROLL_WINDIR", m_dir.path().toUtf8());
}

QByteArray TempFolderTest::fileBytes(const QString& name) const {
    QFile f(path(name));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void AppTest::SetUp() {
    TempFolderTest::SetUp();
    ctx = std::make_unique<Context>(ui);
}

void AppTest::TearDown() {
    ctx.reset();
    // Windows unloaded with deleteLater go now, before the next test.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

namespace fixtures {

void createDataFile(const QString& path) {
    ProgramState st;
    st.FileName = path;
    datafile::CreateDB(st);
}

void openDataFile(ProgramState& st, ScriptedUi& ui, const QString& path, const QString& password) {
    st.FileName = path;
    st.LockFileName = engine::Workspace::LockFilePath(path);
    st.FilePassword = password;
    ASSERT_EQ(datafile::OpenDB(st, ui), datafile::OpenResult::Opened) << ui.messages.join(" | ").toStdString();
}

namespace {
int addRow(engine::Database& db, const QString& table, const QList<QPair<QString, QVariant>>& fields) {
    engine::Recordset rs = db.OpenTable(table);
    rs.AddNew();
    for (const auto& [name, value] : fields) rs.setField(name, value);
    rs.Update();
    rs.setBookmark(rs.LastModified());
    const QString key = rs.fieldNames().first();
    return rs.field(key).toInt();
}
}  // namespace

int addClass(engine::Database& db, const QString& name, const QString& term, QVariant useWeight) {
    return addRow(db, "Classes", {{"ClassName", name}, {"Term", term}, {"UseWeight", useWeight}});
}

int addStudent(engine::Database& db, const QString& first, const QString& last, const QString& id) {
    return addRow(db, "Students", {{"FirstName", first}, {"LastName", last}, {"ID", id}});
}

void enrol(engine::Database& db, int classId, int studentId, QVariant average, QVariant grade) {
    addRow(db, "StudentClass", {{"ClassID", classId}, {"StudentID", studentId}, {"Average", average}, {"Grade", grade}});
}

int addAssignment(engine::Database& db, int classId, const QString& description, QVariant maxPoints, QDate date,
                  QVariant weight) {
    return addRow(db, "Assignments", {{"ClassID", classId}, {"Description", description}, {"MaximumPoints", maxPoints},
                                      {"Date", date}, {"Weight", weight}});
}

void addScore(engine::Database& db, int studentId, int assignmentId, double score) {
    addRow(db, "Scores", {{"StudentID", studentId}, {"AssignmentID", assignmentId}, {"Score", score}, {"Late", false},
                          {"Drop", false}});
}

QVariant scalar(const engine::Database& db, const QString& sql) {
    engine::Database copy = db;
    engine::Recordset rs = copy.OpenDynaset(sql);
    if (rs.RecordCount() == 0) return {};
    return rs.field(rs.fieldNames().first());
}

QVariant scalarFile(const QString& path, const QString& sql) {
    engine::Database db = engine::Workspace::Default().OpenDatabase(path, engine::Workspace::Mode::ReadOnly);
    QVariant v = scalar(db, sql);
    db.Close();
    return v;
}

}  // namespace fixtures
