#pragma once

#include "ScriptedUi.h"
#include "data/ProgramState.h"
#include "shell/Context.h"

#include <QDate>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// Every test gets its own folder, used as the Windows directory too, so settings never leak.
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QByteArray fileBytes(const QString& name) const;

    QTemporaryDir m_dir;
};

// A data file made the way File > New makes it, with a small class in it.
struct DemoClass {
    int classId = 0;
    QList<int> studentIds;     // in the order given
    QList<int> assignmentIds;  // in the order given
};

namespace fixtures {

// Creates a data file (no Security row yet) at path.
void createDataFile(const QString& path);

// Opens the file into the state as OpenDB does, with the given password.
void openDataFile(ProgramState& st, ScriptedUi& ui, const QString& path, const QString& password = {});

int addClass(engine::Database& db, const QString& name, const QString& term = {}, QVariant useWeight = 0);
int addStudent(engine::Database& db, const QString& first, const QString& last, const QString& id = {});
void enrol(engine::Database& db, int classId, int studentId, QVariant average = {}, QVariant grade = {});
int addAssignment(engine::Database& db, int classId, const QString& description, QVariant maxPoints, QDate date,
                  QVariant weight = 1);
void addScore(engine::Database& db, int studentId, int assignmentId, double score);

// Runs one query and returns the first column of its first row (null when none).
QVariant scalar(const engine::Database& db, const QString& sql);
QVariant scalarFile(const QString& path, const QString& sql);

}  // namespace fixtures

// A test with a Context driven by a scripted Ui.
class AppTest : public TempFolderTest {
protected:
    void SetUp() override;
    void TearDown() override;

    ScriptedUi ui;
    std::unique_ptr<Context> ctx;
};
