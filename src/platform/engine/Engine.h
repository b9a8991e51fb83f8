#pragma once

#include "DbError.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QList>
#include <QVariantList>
#include <functional>
#include <memory>

struct sqlite3;

// The database engine the data files are kept in: SQLite behind the record-set vocabulary the
// windows are written in. Every write is its own durable transaction unless a caller groups several
// with BeginTrans/CommitTrans. Field values are QVariants; a null QVariant is Null.
namespace engine {

class DatabaseImpl;
class RecordsetImpl;

class Recordset {
public:
    Recordset() = default;

    bool isOpen() const;
    void Close();

    // Table record sets: order and seek by a named index of the table.
    void setIndex(const QString& name);
    QString index() const;
    void Seek(const QString& comparison, const QVariant& key1, const QVariant& key2 = {});
    bool NoMatch() const;

    void MoveFirst();
    void MoveLast();
    void MoveNext();
    bool AtBOF() const;
    bool AtEOF() const;
    int RecordCount() const;

    QString Bookmark() const;
    void setBookmark(const QString& bookmark);
    QString LastModified() const;

    void AddNew();
    void Edit();
    // Writes the pending row; when the file refuses it, nothing is written and nothing stays pending.
    void Update();
    void CancelUpdate();
    void Delete();

    QVariant field(const QString& name) const;
    void setField(const QString& name, const QVariant& value);
    QStringList fieldNames() const;

    // Reads the rows of a query record set again, to see what changed since it was opened.
    void Requery();

private:
    friend class Database;
    explicit Recordset(std::shared_ptr<RecordsetImpl> impl) : m_impl(std::move(impl)) {}
    RecordsetImpl& impl() const;
    std::shared_ptr<RecordsetImpl> m_impl;
};

class Database {
public:
    Database() = default;

    bool isOpen() const;
    bool isReadOnly() const;
    QString Name() const;
    void Close();

    // Runs SQL text as SQLite reads it (schema work, bulk statements).
    void Execute(const QString& sql);

    Recordset OpenTable(const QString& table);
    // A record set on SQL text in the program's dialect, narrowed by a filter when one is given.
    Recordset OpenDynaset(const QString& sql, const QString& filter = {});

    // Stored queries: views whose original text is kept with them, character for character.
    void CreateQueryDef(const QString& name, const QString& sql);
    void DeleteQueryDef(const QString& name);
    QString QueryDefSql(const QString& name) const;
    QStringList QueryDefNames() const;

    // The rows of a SELECT with ? parameters, read at once. The statement is prepared once and kept,
    // so that a query run again and again (for every student, every keystroke) costs no parsing.
    QList<QVariantList> Select(const QString& sql, const QVariantList& params = {}) const;

    // The same, a row at a time without copying: for reading many rows quickly.
    class Row {
    public:
        bool isNull(int column) const;
        int toInt(int column) const;
        double toDouble(int column) const;
        QString toString(int column) const;

    private:
        friend class Database;
        explicit Row(void* statement) : m_st(statement) {}
        void* m_st;
    };
    void ForEach(const QString& sql, const QVariantList& params, const std::function<void(const Row&)>& each) const;

    bool TableExists(const QString& table) const;
    QStringList TableNames() const;
    QStringList FieldNames(const QString& table) const;

    void BeginTrans();
    void CommitTrans();
    void Rollback();

    sqlite3* handle() const;

private:
    friend class Workspace;
    explicit Database(std::shared_ptr<DatabaseImpl> impl) : m_impl(std::move(impl)) {}
    DatabaseImpl& impl() const;
    std::shared_ptr<DatabaseImpl> m_impl;
};

class Workspace {
public:
    enum class Mode { ReadWrite, ReadOnly };

    static Workspace& Default();

    // Creates a new, empty database file; error 3204 when the file exists.
    Database CreateDatabase(const QString& path, const QString& locale);
    // Opens an existing file; a read-write open keeps a lock file (.LDB) beside it while open.
    Database OpenDatabase(const QString& path, Mode mode = Mode::ReadWrite);

    // The lock file's path for a data file: same name, extension .LDB.
    static QString LockFilePath(const QString& path);
};

}  // namespace engine
