#include "DataFile.h"

#include "Crypt.h"
#include "Schema.h"
#include "Settings.h"
#include "platform/ui/Ui.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace datafile {
namespace {

using engine::DbError;

// Brings an older file up to the current format. Runs in one transaction: a failure leaves the
// file exactly as it was.
void Upgrade(engine::Database& db) {
    const bool hasVersion = db.TableExists("Version");
    float version = 1.0f;
    if (hasVersion) {
        engine::Recordset v = db.OpenTable("Version");
        try {
            v.MoveFirst();
            version = float(v.field("VersionNumber").toDouble());
        } catch (const DbError& e) {
            if (e.number() != engine::ErrNoCurrentRecord) throw;
        }
        v.Close();
        if (version >= schema::kCurrentVersion) return;
    }

    db.BeginTrans();
    try {
        if (!hasVersion) schema::CreateVersionTable(db);
        engine::Recordset v = db.OpenTable("Version");
        auto setVersion = [&](float number) {
            try {
                v.MoveFirst();
                v.Edit();
            } catch (const DbError& e) {
                if (e.number() != engine::ErrNoCurrentRecord) throw;
                v.AddNew();
            }
            v.setField("VersionNumber", double(number));
            v.Update();
        };
        if (!hasVersion) setVersion(1.0f);
        if (version < 2.0f) {
            setVersion(2.0f);
            if (!db.FieldNames("Classes").contains("UseWeight", Qt::CaseInsensitive))
                db.Execute("ALTER TABLE \"Classes\" ADD COLUMN \"UseWeight\" SMALLINT "
                           "CONSTRAINT \"UseWeight_type\" CHECK (typeof(\"UseWeight\") IN ('integer', 'null')) "
                           "CONSTRAINT \"UseWeight_range\" CHECK (\"UseWeight\" BETWEEN -32768 AND 32767)");
            for (const QString& name : {QString("ScoreSummary"), QString("ClassSummary")}) {
                if (db.QueryDefNames().contains(name, Qt::CaseInsensitive)) db.DeleteQueryDef(name);
                db.CreateQueryDef(name, schema::QueryText(name));
            }
        }
        if (version < schema::kCurrentVersion) {
            setVersion(schema::kCurrentVersion);
            if (db.QueryDefNames().contains("ScoreSummary", Qt::CaseInsensitive)) db.DeleteQueryDef("ScoreSummary");
            db.CreateQueryDef("ScoreSummary", schema::QueryText("ScoreSummary"));
        }
        v.Close();
        db.CommitTrans();
    } catch (...) {
        db.Rollback();
        throw;
    }
}

void closeRecordsets(ProgramState& st) {
    for (engine::Recordset* rs : {&st.ClassesRS, &st.AssignmentsRS, &st.StudentsRS, &st.StudentClassRS, &st.ScoresRS,
                                  &st.SecurityRS, &st.RosterRS, &st.ClassAssignmentsRS})
        rs->Close();
}

}  // namespace

bool CheckName(ProgramState& st, Ui& ui, const QString& name) {
    const int slash = int(name.lastIndexOf('/'));
    const int dot = int(name.lastIndexOf('.'));
    if (dot <= slash || name.mid(dot + 1).compare("TLR", Qt::CaseInsensitive) != 0) {
        ui.MsgBox("File must have .TLR as extension");
        return false;
    }
    st.LockFileName = engine::Workspace::LockFilePath(name);
    return true;
}

void CreateDB(ProgramState& st) {
    st.MainWorkspace = &engine::Workspace::Default();
    engine::Database db = st.MainWorkspace->CreateDatabase(st.FileName, schema::kLocale);
    try {
        schema::CreateSchema(db);
    } catch (const DbError&) {
        // A file that could not be given its shape is no data file: take it away again.
        db.Close();
        QFile::remove(st.FileName);
        throw;
    }
    db.Close();
}

OpenResult OpenDB(ProgramState& st, Ui& ui) {
    st.MainWorkspace = &engine::Workspace::Default();
    const QString path = st.FileName;
    engine::Database db;
    try {
        // A first look without writing anything: a file that is no data file stays untouched.
        {
            engine::Database probe = st.MainWorkspace->OpenDatabase(path, engine::Workspace::Mode::ReadOnly);
            const QString missing = schema::MissingParts(probe);
            probe.Close();
            if (!missing.isEmpty())
                throw DbError(engine::ErrUnrecognizedFormat,
                              QString("'%1' is not a Tallyroll data file: %2.").arg(path, missing));
        }
        db = st.MainWorkspace->OpenDatabase(path);
        Upgrade(db);

        engine::Recordset security = db.OpenTable("Security");
        try {
            security.MoveFirst();
        } catch (const DbError& e) {
            if (e.number() != engine::ErrNoCurrentRecord) throw;
            security.AddNew();
            security.setField("Password", secret::Crypt(st.FilePassword));
            security.Update();
            security.setBookmark(security.LastModified());
        }
        if (secret::Crypt(security.field("Password").toString()) != st.FilePassword) {
            ui.MsgBox("Password is incorrect.");
            db.Close();
            ForgetDataFile(st);
            return OpenResult::WrongPassword;
        }

        engine::Recordset classes = db.OpenTable("Classes");
        engine::Recordset assignments = db.OpenTable("Assignments");
        engine::Recordset students = db.OpenTable("Students");
        engine::Recordset studentClass = db.OpenTable("StudentClass");
        engine::Recordset scores = db.OpenTable("Scores");

        // Only now does the new file take the place of the old one.
        closeRecordsets(st);
        st.CurrentDB.Close();
        st.CurrentDB = db;
        st.SecurityRS = security;
        st.ClassesRS = classes;
        st.AssignmentsRS = assignments;
        st.StudentsRS = students;
        st.StudentClassRS = studentClass;
        st.ScoresRS = scores;
        st.LockFileName = engine::Workspace::LockFilePath(path);
        return OpenResult::Opened;
    } catch (const DbError& e) {
        db.Close();
        ui.MsgBox("OpenDB " + e.description());
        if (st.CurrentDB.isOpen()) {
            st.FileName = st.CurrentDB.Name();
            st.LockFileName = engine::Workspace::LockFilePath(st.FileName);
        } else {
            ForgetDataFile(st);
        }
        return OpenResult::Failed;
    }
}

void ForgetDataFile(ProgramState& st) {
    closeRecordsets(st);
    st.CurrentDB.Close();
    st.CurrentDB = engine::Database();
    st.FileName.clear();
    st.LockFileName.clear();
}

void CloseDataFile(ProgramState& st) {
    closeRecordsets(st);
    st.CurrentDB.Close();
    if (!st.LockFileName.isEmpty()) QFile::remove(st.LockFileName);
}

bool SameFile(const QString& a, const QString& b) {
    const QFileInfo fa(a), fb(b);
    const QString ca = fa.canonicalFilePath(), cb = fb.canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty()) return ca == cb;
    return QDir::cleanPath(fa.absoluteFilePath()) == QDir::cleanPath(fb.absoluteFilePath());
}

void ShutDown(ProgramState& st) {
    CloseDataFile(st);
    settings::SaveSettings(st);
    QCoreApplication::quit();
}

}  // namespace datafile
