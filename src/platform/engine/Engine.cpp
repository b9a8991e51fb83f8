#include "Engine.h"

#include "Dialect.h"
#include "platform/runtime/Runtime.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSysInfo>
#include <QRegularExpression>
#include <QSet>
#include <QCoreApplication>
#include <sqlite3.h>

#include <cmath>
#include <limits>
#include <optional>

namespace engine {

namespace {

// Lock files in use by this process, so that two connections to one file share its lock file and
// the first to close does not remove it under the other.
QHash<QString, int>& lockUsers() {
    static QHash<QString, int> users;
    return users;
}

QString quoteName(const QString& name) { return "\"" + QString(name).replace("\"", "\"\"") + "\""; }

// What the declared type of a column says about its values.
enum class Kind { Any, Text, Long, Integer, Single, Date, Boolean };

Kind kindOf(const char* declared) {
    if (!declared) return Kind::Any;
    const QString d = QString::fromUtf8(declared).toUpper();
    if (d == "INTEGER") return Kind::Long;
    if (d == "SMALLINT") return Kind::Integer;
    if (d == "REAL") return Kind::Single;
    if (d == "DATETIME") return Kind::Date;
    if (d == "BOOLEAN") return Kind::Boolean;
    if (d.startsWith("VARCHAR") || d == "TEXT") return Kind::Text;
    return Kind::Any;
}

[[noreturn]] void conversionError() { throw DbError(ErrConversion, "Data type conversion error."); }

// Binds a program value to a statement parameter, converted the way the field's type asks.
void bindValue(sqlite3_stmt* st, int index, const QVariant& value, Kind kind) {
    if (value.isNull() || !value.isValid()) {
        sqlite3_bind_null(st, index);
        return;
    }
    const int type = value.typeId();
    auto asNumber = [&]() -> double {
        if (type == QMetaType::QString) {
            const auto v = runtime::ParseNumber(value.toString());
            if (!v) conversionError();
            return *v;
        }
        if (type == QMetaType::Bool) return value.toBool() ? 1.0 : 0.0;
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (!ok) conversionError();
        return v;
    };
    switch (kind) {
        case Kind::Single: {
            const double v = asNumber();
            if (!runtime::FitsSingle(v)) throw DbError(ErrNumericOverflow, "Numeric field overflow.");
            sqlite3_bind_double(st, index, runtime::ToSingle(v));
            return;
        }
        case Kind::Long:
        case Kind::Integer: {
            const double v = std::nearbyint(asNumber());
            const double limit = kind == Kind::Long ? 2147483647.0 : 32767.0;
            if (!(v >= -limit - 1 && v <= limit)) throw DbError(ErrNumericOverflow, "Numeric field overflow.");
            sqlite3_bind_int64(st, index, static_cast<sqlite3_int64>(v));
            return;
        }
        case Kind::Boolean:
            sqlite3_bind_int(st, index, asNumber() != 0.0 ? 1 : 0);
            return;
        case Kind::Date: {
            QDateTime dt;
            if (type == QMetaType::QDate) {
                dt = value.toDate().startOfDay();
            } else if (type == QMetaType::QDateTime) {
                dt = value.toDateTime();
            } else if (type == QMetaType::QString) {
                const QVariant stored = runtime::DateFromStorage(value.toString());
                if (stored.isValid()) {
                    dt = stored.typeId() == QMetaType::QDate ? stored.toDate().startOfDay() : stored.toDateTime();
                } else if (auto d = runtime::ParseDate(value.toString())) {
                    dt = d->startOfDay();
                }
            }
            if (!dt.isValid()) conversionError();
            const QByteArray text = runtime::DateToStorage(dt).toUtf8();
            sqlite3_bind_text(st, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            return;
        }
        case Kind::Text: {
            const QByteArray text = value.toString().toUtf8();
            sqlite3_bind_text(st, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            return;
        }
        case Kind::Any:
            break;
    }
    switch (type) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::Short:
            sqlite3_bind_int64(st, index, value.toLongLong());
            return;
        case QMetaType::Bool:
            sqlite3_bind_int(st, index, value.toBool() ? 1 : 0);
            return;
        case QMetaType::Double:
        case QMetaType::Float:
            sqlite3_bind_double(st, index, value.toDouble());
            return;
        default: {
            const QByteArray text = value.toString().toUtf8();
            sqlite3_bind_text(st, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
    }
}

QVariant readValue(sqlite3_stmt* st, int col, Kind kind) {
    switch (sqlite3_column_type(st, col)) {
        case SQLITE_NULL:
            return {};
        case SQLITE_INTEGER: {
            const qint64 v = sqlite3_column_int64(st, col);
            if (kind == Kind::Boolean) return QVariant(v != 0);
            if (kind == Kind::Single) return QVariant(double(v));
            if (kind == Kind::Long || kind == Kind::Integer) return QVariant(int(v));
            return QVariant(v);
        }
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(st, col));
        default: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
            const QString s = QString::fromUtf8(text, sqlite3_column_bytes(st, col));
            if (kind == Kind::Date) {
                const QVariant d = runtime::DateFromStorage(s);
                if (d.isValid()) return d;
            }
            return QVariant(s);
        }
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Database

class DatabaseImpl {
public:
    sqlite3* db = nullptr;
    QString path;
    QString lockPath;
    bool readOnly = false;
    bool inTransaction = false;
    QHash<QString, sqlite3_stmt*> statements;

    ~DatabaseImpl() { close(); }

    void ensureOpen() const {
        if (!db) throw DbError(ErrObjectInvalid, "Object invalid or no longer set.");
    }

    void close() {
        if (!db) return;
        for (sqlite3_stmt* st : std::as_const(statements)) sqlite3_finalize(st);
        statements.clear();
        if (inTransaction) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        inTransaction = false;
        sqlite3_close_v2(db);
        db = nullptr;
        if (!lockPath.isEmpty() && --lockUsers()[lockPath] <= 0) {
            lockUsers().remove(lockPath);
            QFile::remove(lockPath);
        }
        lockPath.clear();
    }

    [[noreturn]] void fail(int rc, const QString& context = {}) const {
        const int primary = rc & 0xff;
        const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        if (primary == SQLITE_CONSTRAINT) failConstraint(rc, message, context);
        if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
            throw DbError(ErrUnrecognizedFormat, QString("Unrecognized database format '%1'.").arg(path));
        if (primary == SQLITE_READONLY)
            throw DbError(ErrReadOnly, "Cannot update. Database or object is read-only.");
        if (message.startsWith("no such table"))
            throw DbError(ErrObjectNotFound,
                          QString("The database engine could not find the object '%1'.").arg(message.section(':', 1).trimmed()));
        if (primary == SQLITE_ERROR) throw DbError(ErrSyntax, message);
        throw DbError(ErrGeneral, message);
    }

    [[noreturn]] void failConstraint(int rc, const QString& message, const QString& table) const {
        if (rc == SQLITE_CONSTRAINT_FOREIGNKEY) {
            const QString related = table.isEmpty() ? QString() : QString(" in table '%1'").arg(table);
            throw DbError(ErrRelatedRecordRequired,
                          QString("You cannot add or change a record because a related record is required%1.").arg(related));
        }
        if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
            throw DbError(ErrDuplicateKey,
                          "The changes you requested to the table were not successful because they would create "
                          "duplicate values in the index, primary key, or relationship.");
        if (rc == SQLITE_CONSTRAINT_CHECK) {
            // Check constraints are named <Field>_<rule> so that the refusal can name the field.
            const QString name = message.section(':', 1).trimmed();
            const QString field = name.section('_', 0, -2);
            const QString rule = name.section('_', -1);
            const QString qualified = table.isEmpty() ? field : table + "." + field;
            if (rule == "empty")
                throw DbError(ErrZeroLengthString, QString("Field '%1' can't be a zero-length string.").arg(qualified),
                              qualified);
            if (rule == "size")
                throw DbError(ErrFieldTooSmall,
                              QString("The field '%1' is too small to accept the amount of data you attempted to add.")
                                  .arg(qualified),
                              qualified);
            if (rule == "range")
                throw DbError(ErrNumericOverflow, QString("Numeric field overflow in field '%1'.").arg(qualified), qualified);
            throw DbError(ErrConversion, QString("Data type conversion error in field '%1'.").arg(qualified), qualified);
        }
        throw DbError(ErrGeneral, message);
    }

    // A cached prepared statement, reset and cleared for its next use when the guard ends.
    class Statement {
    public:
        Statement(const DatabaseImpl& owner, sqlite3_stmt* st, bool owned = false)
            : m_owner(owner), m_st(st), m_owned(owned) {}
        ~Statement() {
            if (m_owned) {
                sqlite3_finalize(m_st);
                return;
            }
            sqlite3_reset(m_st);
            sqlite3_clear_bindings(m_st);
        }
        Statement(const Statement&) = delete;
        Statement& operator=(const Statement&) = delete;
        sqlite3_stmt* get() const { return m_st; }
        bool step(const QString& context = {}) {
            const int rc = sqlite3_step(m_st);
            if (rc == SQLITE_ROW) return true;
            if (rc == SQLITE_DONE) return false;
            const int ext = sqlite3_extended_errcode(m_owner.db);
            sqlite3_reset(m_st);
            m_owner.fail(ext, context);
        }

    private:
        const DatabaseImpl& m_owner;
        sqlite3_stmt* m_st;
        bool m_owned;
    };

    sqlite3_stmt* prepare(const QString& sql) {
        ensureOpen();
        if (auto it = statements.find(sql); it != statements.end()) return it.value();
        sqlite3_stmt* st = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        const int rc = sqlite3_prepare_v3(db, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &st, nullptr);
        if (rc != SQLITE_OK) fail(sqlite3_extended_errcode(db));
        statements.insert(sql, st);
        return st;
    }

    // A statement used once (query record sets, whose text changes with every class).
    sqlite3_stmt* prepareOnce(const QString& sql) {
        ensureOpen();
        sqlite3_stmt* st = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &st, nullptr) != SQLITE_OK) {
            sqlite3_finalize(st);
            fail(sqlite3_extended_errcode(db));
        }
        return st;
    }

    void exec(const QString& sql) {
        ensureOpen();
        char* err = nullptr;
        const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err);
        sqlite3_free(err);
        if (rc != SQLITE_OK) fail(sqlite3_extended_errcode(db));
    }

    bool objectExists(const QString& type, const QString& name) {
        Statement st(*this, prepare("SELECT 1 FROM sqlite_master WHERE type = ? AND name = ? COLLATE NOCASE"));
        bindValue(st.get(), 1, type, Kind::Text);
        bindValue(st.get(), 2, name, Kind::Text);
        return st.step();
    }

    void invalidateStatements() {
        // Schema changes make cached statements re-prepare themselves; dropping them keeps the
        // cache small after a format upgrade.
        for (sqlite3_stmt* st : std::as_const(statements)) sqlite3_finalize(st);
        statements.clear();
    }
};

bool Database::isOpen() const { return m_impl && m_impl->db; }
bool Database::isReadOnly() const { return isOpen() && m_impl->readOnly; }
QString Database::Name() const { return m_impl ? m_impl->path : QString(); }

DatabaseImpl& Database::impl() const {
    if (!m_impl) throw DbError(ErrObjectInvalid, "Object invalid or no longer set.");
    m_impl->ensureOpen();
    return *m_impl;
}

void Database::Close() {
    if (m_impl) m_impl->close();
}

void Database::Execute(const QString& sql) {
    impl().exec(sql);
    impl().invalidateStatements();
}

sqlite3* Database::handle() const { return impl().db; }

QList<QVariantList> Database::Select(const QString& sql, const QVariantList& params) const {
    auto& d = impl();
    DatabaseImpl::Statement st(d, d.prepare(sql));
    for (int i = 0; i < params.size(); ++i) bindValue(st.get(), i + 1, params[i], Kind::Any);
    const int n = sqlite3_column_count(st.get());
    QList<Kind> kinds;
    for (int i = 0; i < n; ++i) kinds << kindOf(sqlite3_column_decltype(st.get(), i));
    QList<QVariantList> rows;
    while (st.step()) {
        QVariantList row;
        row.reserve(n);
        for (int i = 0; i < n; ++i) row << readValue(st.get(), i, kinds[i]);
        rows << row;
    }
    return rows;
}

void Database::ForEach(const QString& sql, const QVariantList& params, const std::function<void(const Row&)>& each) const {
    auto& d = impl();
    DatabaseImpl::Statement st(d, d.prepare(sql));
    for (int i = 0; i < params.size(); ++i) bindValue(st.get(), i + 1, params[i], Kind::Any);
    const Row row(st.get());
    while (st.step()) each(row);
}

bool Database::Row::isNull(int column) const {
    return sqlite3_column_type(static_cast<sqlite3_stmt*>(m_st), column) == SQLITE_NULL;
}
int Database::Row::toInt(int column) const { return sqlite3_column_int(static_cast<sqlite3_stmt*>(m_st), column); }
double Database::Row::toDouble(int column) const {
    return sqlite3_column_double(static_cast<sqlite3_stmt*>(m_st), column);
}
QString Database::Row::toString(int column) const {
    auto* st = static_cast<sqlite3_stmt*>(m_st);
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, column)), sqlite3_column_bytes(st, column));
}

bool Database::TableExists(const QString& table) const { return impl().objectExists("table", table); }

QStringList Database::TableNames() const {
    QStringList names;
    DatabaseImpl::Statement st(impl(), impl().prepare(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY name"));
    while (st.step()) names << readValue(st.get(), 0, Kind::Text).toString();
    return names;
}

QStringList Database::FieldNames(const QString& table) const {
    QStringList names;
    DatabaseImpl::Statement st(impl(), impl().prepare("SELECT name FROM pragma_table_info(?)"));
    bindValue(st.get(), 1, table, Kind::Text);
    while (st.step()) names << readValue(st.get(), 0, Kind::Text).toString();
    return names;
}

namespace {
// The original text of a stored query rides in the view's definition as a leading comment, so the
// file keeps it character for character and any SQLite tool shows it beside the translation.
const char* kQueryTextMark = "/* query text: ";
}

void Database::CreateQueryDef(const QString& name, const QString& sql) {
    if (sql.contains("*/")) throw DbError(ErrSyntax, "A stored query's text cannot contain '*/'.");
    impl().exec(QString("CREATE VIEW %1 AS %2%3 */ %4")
                    .arg(quoteName(name), kQueryTextMark, sql, dialect::translate(sql)));
    impl().invalidateStatements();
}

void Database::DeleteQueryDef(const QString& name) {
    if (!impl().objectExists("view", name))
        throw DbError(ErrObjectNotFound, QString("The database engine could not find the object '%1'.").arg(name));
    impl().exec("DROP VIEW " + quoteName(name));
    impl().invalidateStatements();
}

QString Database::QueryDefSql(const QString& name) const {
    DatabaseImpl::Statement st(impl(), impl().prepare(
        "SELECT sql FROM sqlite_master WHERE type = 'view' AND name = ? COLLATE NOCASE"));
    bindValue(st.get(), 1, name, Kind::Text);
    if (!st.step())
        throw DbError(ErrObjectNotFound, QString("The database engine could not find the object '%1'.").arg(name));
    const QString def = readValue(st.get(), 0, Kind::Text).toString();
    const int start = def.indexOf(kQueryTextMark);
    if (start < 0) return def.section(" AS ", 1);
    const int from = start + int(strlen(kQueryTextMark));
    return def.mid(from, def.indexOf(" */", from) - from);
}

QStringList Database::QueryDefNames() const {
    QStringList names;
    DatabaseImpl::Statement st(impl(), impl().prepare("SELECT name FROM sqlite_master WHERE type = 'view' ORDER BY name"));
    while (st.step()) names << readValue(st.get(), 0, Kind::Text).toString();
    return names;
}

void Database::BeginTrans() {
    auto& d = impl();
    if (d.inTransaction) throw DbError(ErrGeneral, "A transaction is already in progress.");
    d.exec("BEGIN IMMEDIATE");
    d.inTransaction = true;
}

void Database::CommitTrans() {
    auto& d = impl();
    d.exec("COMMIT");
    d.inTransaction = false;
}

void Database::Rollback() {
    auto& d = impl();
    if (!d.inTransaction) return;
    d.inTransaction = false;
    d.exec("ROLLBACK");
    d.invalidateStatements();
}

// ---------------------------------------------------------------------------------------------
// Record sets

class RecordsetImpl {
public:
    enum class Position { None, At, AfterLast, Deleted };
    enum class EditMode { None, Edit, AddNew };

    explicit RecordsetImpl(std::shared_ptr<DatabaseImpl> db) : m_db(std::move(db)) {}
    virtual ~RecordsetImpl() = default;

    bool open = true;
    QStringList names;
    QList<Kind> kinds;

    DatabaseImpl& db() const {
        if (!open || !m_db || !m_db->db) throw DbError(ErrObjectInvalid, "Object invalid or no longer set.");
        return *m_db;
    }

    int column(const QString& name) const {
        for (int i = 0; i < names.size(); ++i)
            if (names[i].compare(name, Qt::CaseInsensitive) == 0) return i;
        throw DbError(ErrItemNotFound, QString("Item '%1' not found in this collection.").arg(name));
    }

    QVariant field(const QString& name) const {
        db();
        const int c = column(name);
        if (m_mode != EditMode::None) return m_buffer[c];
        if (m_position == Position::Deleted) throw DbError(ErrRecordDeleted, "Record is deleted.");
        if (m_position != Position::At) throw DbError(ErrNoCurrentRecord, "No current record.");
        return m_current[c];
    }

    void setField(const QString& name, const QVariant& value) {
        db();
        const int c = column(name);
        if (m_mode == EditMode::None) throw DbError(ErrUpdateWithoutEdit, "Update or CancelUpdate without AddNew or Edit.");
        m_buffer[c] = value;
        m_dirty.insert(c);
    }

    // Record sets only move forward: before the first row means an empty set.
    bool atBOF() const { return m_position == Position::None && isEmpty(); }
    bool atEOF() const { return m_position == Position::AfterLast || (m_position == Position::None && isEmpty()); }
    bool noMatch() const { return m_noMatch; }

    void cancelUpdate() {
        m_mode = EditMode::None;
        m_dirty.clear();
    }

    virtual bool isEmpty() const = 0;
    virtual void moveFirst() = 0;
    virtual void moveLast() = 0;
    virtual void moveNext() = 0;
    virtual int recordCount() const = 0;
    virtual QString bookmark() const = 0;
    virtual void setBookmark(const QString& b) = 0;
    virtual QString lastModified() const { throw DbError(ErrNoCurrentRecord, "No current record."); }
    virtual void setIndex(const QString&) { notSupported(); }
    virtual QString index() const { return {}; }
    virtual void seek(const QString&, const QVariantList&) { notSupported(); }
    virtual void requery() {}
    virtual void addNew() { notUpdatable(); }
    virtual void edit() { notUpdatable(); }
    virtual void update() { notUpdatable(); }
    virtual void deleteRecord() { notUpdatable(); }

protected:
    [[noreturn]] static void notSupported() {
        throw DbError(ErrNotSupported, "Operation is not supported for this type of object.");
    }
    [[noreturn]] static void notUpdatable() {
        throw DbError(ErrReadOnly, "Cannot update. Database or object is read-only.");
    }

    std::shared_ptr<DatabaseImpl> m_db;
    Position m_position = Position::None;
    QVariantList m_current;
    EditMode m_mode = EditMode::None;
    QVariantList m_buffer;
    QSet<int> m_dirty;
    bool m_noMatch = false;
};

// A whole table, ordered by its current index (or by its row order when none is named).
class TableRecordset final : public RecordsetImpl {
public:
    TableRecordset(std::shared_ptr<DatabaseImpl> dbImpl, const QString& table) : RecordsetImpl(std::move(dbImpl)) {
        auto& d = db();
        if (!d.objectExists("table", table))
            throw DbError(ErrObjectNotFound, QString("The database engine could not find the object '%1'.").arg(table));
        m_table = table;
        DatabaseImpl::Statement st(d, d.prepare("SELECT name, type, pk FROM pragma_table_info(?)"));
        bindValue(st.get(), 1, table, Kind::Text);
        while (st.step()) {
            names << readValue(st.get(), 0, Kind::Text).toString();
            kinds << kindOf(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 1)));
            if (sqlite3_column_int(st.get(), 2) == 1 && kinds.last() == Kind::Long) m_rowidAlias = names.last();
        }
        QStringList cols{"rowid"};
        for (const QString& n : std::as_const(names)) cols << quoteName(n);
        m_select = "SELECT " + cols.join(", ") + " FROM " + quoteName(m_table);
    }

    bool isEmpty() const override {
        DatabaseImpl::Statement st(db(), db().prepare(m_select + " LIMIT 1"));
        return !st.step();
    }

    void setIndex(const QString& name) override {
        auto& d = db();
        if (name == m_index) return;
        if (auto it = m_indexCache.find(name); it != m_indexCache.end()) {
            useIndex(name, it.value());
            return;
        }
        QStringList cols;
        if (!m_rowidAlias.isEmpty() && name.compare(m_rowidAlias, Qt::CaseInsensitive) == 0) {
            cols << m_rowidAlias;
        } else {
            DatabaseImpl::Statement st(d, d.prepare("SELECT name FROM pragma_index_info(?) ORDER BY seqno"));
            bindValue(st.get(), 1, m_table + "_" + name, Kind::Text);
            while (st.step()) cols << readValue(st.get(), 0, Kind::Text).toString();
        }
        if (cols.isEmpty())
            throw DbError(ErrItemNotFound, QString("'%1' isn't an index in this table.").arg(name));
        QList<int> columns;
        for (const QString& c : cols) columns << column(c);
        m_indexCache.insert(name, columns);
        useIndex(name, columns);
    }

    void useIndex(const QString& name, const QList<int>& columns) {
        m_index = name;
        m_indexColumns = columns;
        // The seek statements for one and for all keys of the index, built once per index.
        m_seekSql.clear();
        QStringList where;
        for (int c : columns) {
            where << quoteName(names[c]) + " = ?";
            m_seekSql << m_select + " WHERE " + where.join(" AND ") + orderBy(false) + " LIMIT 1";
        }
    }

    QString index() const override { return m_index; }

    void seek(const QString& comparison, const QVariantList& keys) override {
        if (m_indexColumns.isEmpty()) throw DbError(ErrGeneral, "Operation invalid without a current index.");
        if (comparison != "=") notSupported();
        const int used = int(std::min(keys.size(), m_indexColumns.size()));
        DatabaseImpl::Statement st(db(), db().prepare(m_seekSql[used - 1]));
        for (int i = 0; i < used; ++i) bindValue(st.get(), i + 1, keys[i], kinds[m_indexColumns[i]]);
        cancelUpdate();
        if (st.step()) {
            take(st.get());
            m_noMatch = false;
        } else {
            m_position = Position::None;
            m_noMatch = true;
        }
    }

    void moveFirst() override { moveEnd(false); }
    void moveLast() override { moveEnd(true); }

    void moveNext() override { step(); }

    int recordCount() const override {
        DatabaseImpl::Statement st(db(), db().prepare("SELECT COUNT(*) FROM " + quoteName(m_table)));
        st.step();
        return sqlite3_column_int(st.get(), 0);
    }

    QString bookmark() const override {
        db();
        if (m_position == Position::Deleted) throw DbError(ErrRecordDeleted, "Record is deleted.");
        if (m_position != Position::At) throw DbError(ErrNoCurrentRecord, "No current record.");
        return QString::number(m_rowid);
    }

    void setBookmark(const QString& b) override {
        bool ok = false;
        const qint64 rowid = b.toLongLong(&ok);
        if (!ok) throw DbError(ErrGeneral, "Not a valid bookmark.");
        if (!loadRowid(rowid)) {
            m_position = Position::Deleted;
            throw DbError(ErrRecordDeleted, "Record is deleted.");
        }
    }

    QString lastModified() const override {
        if (m_lastModified < 0) throw DbError(ErrNoCurrentRecord, "No current record.");
        return QString::number(m_lastModified);
    }

    void addNew() override {
        db();
        m_mode = EditMode::AddNew;
        m_buffer = QVariantList(names.size());
        m_dirty.clear();
    }

    void edit() override {
        db();
        if (m_position == Position::Deleted) throw DbError(ErrRecordDeleted, "Record is deleted.");
        if (m_position != Position::At) throw DbError(ErrNoCurrentRecord, "No current record.");
        m_mode = EditMode::Edit;
        m_buffer = m_current;
        m_dirty.clear();
    }

    void update() override {
        auto& d = db();
        if (m_mode == EditMode::None) throw DbError(ErrUpdateWithoutEdit, "Update or CancelUpdate without AddNew or Edit.");
        const QList<int> dirty(m_dirty.begin(), m_dirty.end());
        QString sql;
        if (m_mode == EditMode::AddNew) {
            QStringList cols, marks;
            for (int c : dirty) cols << quoteName(names[c]), marks << "?";
            sql = dirty.isEmpty() ? "INSERT INTO " + quoteName(m_table) + " DEFAULT VALUES"
                                  : "INSERT INTO " + quoteName(m_table) + " (" + cols.join(", ") + ") VALUES (" +
                                        marks.join(", ") + ")";
        } else {
            if (dirty.isEmpty()) {
                cancelUpdate();
                m_lastModified = m_rowid;
                return;
            }
            QStringList sets;
            for (int c : dirty) sets << quoteName(names[c]) + " = ?";
            sql = "UPDATE " + quoteName(m_table) + " SET " + sets.join(", ") + " WHERE rowid = ?";
        }
        {
            DatabaseImpl::Statement st(d, d.prepare(sql));
            int i = 1;
            for (int c : dirty) bindValue(st.get(), i++, m_buffer[c], kinds[c]);
            if (m_mode == EditMode::Edit) sqlite3_bind_int64(st.get(), i, m_rowid);
            try {
                st.step(m_table);
            } catch (const DbError& e) {
                // A refused change leaves nothing pending: the record set is as before AddNew or Edit.
                const QString related = e.number() == ErrRelatedRecordRequired ? relatedMessage() : QString();
                cancelUpdate();
                if (!related.isEmpty()) throw DbError(e.number(), related);
                throw;
            }
        }
        const bool added = m_mode == EditMode::AddNew;
        cancelUpdate();
        if (added) {
            m_lastModified = sqlite3_last_insert_rowid(d.db);
        } else {
            m_lastModified = m_rowid;
            loadRowid(m_rowid);
        }
    }

    void deleteRecord() override {
        auto& d = db();
        if (m_position == Position::Deleted) throw DbError(ErrRecordDeleted, "Record is deleted.");
        if (m_position != Position::At) throw DbError(ErrNoCurrentRecord, "No current record.");
        cancelUpdate();
        DatabaseImpl::Statement st(d, d.prepare("DELETE FROM " + quoteName(m_table) + " WHERE rowid = ?"));
        sqlite3_bind_int64(st.get(), 1, m_rowid);
        st.step(m_table);
        m_position = Position::Deleted;
    }

private:
    QString orderBy(bool descending) const {
        QStringList parts;
        for (int c : m_indexColumns) parts << quoteName(names[c]) + (descending ? " DESC" : "");
        parts << QString("rowid") + (descending ? " DESC" : "");
        return " ORDER BY " + parts.join(", ");
    }

    void take(sqlite3_stmt* st) {
        m_rowid = sqlite3_column_int64(st, 0);
        m_current = QVariantList();
        m_current.reserve(names.size());
        for (int i = 0; i < names.size(); ++i) m_current << readValue(st, i + 1, kinds[i]);
        m_position = Position::At;
    }

    bool loadRowid(qint64 rowid) {
        DatabaseImpl::Statement st(db(), db().prepare(m_select + " WHERE rowid = ?"));
        sqlite3_bind_int64(st.get(), 1, rowid);
        cancelUpdate();
        if (!st.step()) return false;
        take(st.get());
        return true;
    }

    void moveEnd(bool last) {
        DatabaseImpl::Statement st(db(), db().prepare(m_select + orderBy(last) + " LIMIT 1"));
        cancelUpdate();
        if (!st.step()) {
            m_position = Position::None;
            throw DbError(ErrNoCurrentRecord, "No current record.");
        }
        take(st.get());
    }

    // From the current (or just deleted) row to the next in index order.
    void step() {
        db();
        if (m_position == Position::None || m_position == Position::AfterLast)
            throw DbError(ErrNoCurrentRecord, "No current record.");
        QStringList cols, marks;
        for (int c : m_indexColumns) cols << quoteName(names[c]), marks << "?";
        cols << "rowid";
        marks << "?";
        const QString where = "(" + cols.join(", ") + ") > (" + marks.join(", ") + ")";
        DatabaseImpl::Statement st(db(), db().prepare(m_select + " WHERE " + where + orderBy(false) + " LIMIT 1"));
        int i = 1;
        for (int c : m_indexColumns) bindValue(st.get(), i++, m_current[c], kinds[c]);
        sqlite3_bind_int64(st.get(), i, m_rowid);
        cancelUpdate();
        if (st.step()) {
            take(st.get());
        } else {
            m_position = Position::AfterLast;
        }
    }

    // Names the table whose row is missing when an insertion or change breaks a relation.
    QString relatedMessage() {
        auto& d = db();
        QString missing;
        DatabaseImpl::Statement st(d, d.prepare("SELECT \"table\", \"from\", \"to\" FROM pragma_foreign_key_list(?)"));
        bindValue(st.get(), 1, m_table, Kind::Text);
        QList<QStringList> relations;
        while (st.step())
            relations << QStringList{readValue(st.get(), 0, Kind::Text).toString(), readValue(st.get(), 1, Kind::Text).toString(),
                                     readValue(st.get(), 2, Kind::Text).toString()};
        for (const QStringList& r : relations) {
            const QVariant value = m_buffer.value(column(r[1]));
            if (value.isNull()) continue;
            DatabaseImpl::Statement probe(d, d.prepare("SELECT 1 FROM " + quoteName(r[0]) + " WHERE " + quoteName(r[2]) + " = ?"));
            bindValue(probe.get(), 1, value, Kind::Long);
            if (!probe.step()) {
                missing = r[0];
                break;
            }
        }
        return QString("You cannot add or change a record because a related record is required in table '%1'.").arg(missing);
    }

    QString m_table;
    QString m_rowidAlias;
    QString m_select;
    QString m_index;
    QList<int> m_indexColumns;
    QHash<QString, QList<int>> m_indexCache;
    QStringList m_seekSql;
    qint64 m_rowid = -1;
    qint64 m_lastModified = -1;
};

// The rows of a query, read when the record set opens.
class DynasetRecordset final : public RecordsetImpl {
public:
    DynasetRecordset(std::shared_ptr<DatabaseImpl> dbImpl, const QString& sql)
        : RecordsetImpl(std::move(dbImpl)), m_sql(sql) {
        requery();
    }

    void requery() override {
        auto& d = db();
        DatabaseImpl::Statement st(d, d.prepareOnce(m_sql), true);
        const int n = sqlite3_column_count(st.get());
        names.clear();
        kinds.clear();
        m_rows.clear();
        m_index = -1;
        m_position = Position::None;
        for (int i = 0; i < n; ++i) {
            names << QString::fromUtf8(sqlite3_column_name(st.get(), i));
            kinds << kindOf(sqlite3_column_decltype(st.get(), i));
        }
        while (st.step()) {
            QVariantList row;
            row.reserve(n);
            for (int i = 0; i < n; ++i) row << readValue(st.get(), i, kinds[i]);
            m_rows << row;
        }
        if (!m_rows.isEmpty()) go(0);
    }

    bool isEmpty() const override { return m_rows.isEmpty(); }

    void moveFirst() override {
        db();
        if (m_rows.isEmpty()) throw DbError(ErrNoCurrentRecord, "No current record.");
        go(0);
    }

    void moveLast() override {
        db();
        if (m_rows.isEmpty()) throw DbError(ErrNoCurrentRecord, "No current record.");
        go(int(m_rows.size()) - 1);
    }

    void moveNext() override {
        db();
        if (m_position == Position::AfterLast || m_rows.isEmpty()) throw DbError(ErrNoCurrentRecord, "No current record.");
        if (m_index + 1 >= m_rows.size()) {
            m_index = int(m_rows.size());
            m_position = Position::AfterLast;
        } else {
            go(m_index + 1);
        }
    }

    int recordCount() const override { return int(m_rows.size()); }

    QString bookmark() const override {
        if (m_position != Position::At) throw DbError(ErrNoCurrentRecord, "No current record.");
        return QString::number(m_index);
    }

    void setBookmark(const QString& b) override {
        bool ok = false;
        const int i = b.toInt(&ok);
        if (!ok || i < 0 || i >= m_rows.size()) throw DbError(ErrGeneral, "Not a valid bookmark.");
        go(i);
    }

private:
    void go(int i) {
        m_index = i;
        m_current = m_rows[i];
        m_position = Position::At;
    }

    QString m_sql;
    QList<QVariantList> m_rows;
    int m_index = -1;
};

RecordsetImpl& Recordset::impl() const {
    if (!m_impl) throw DbError(ErrObjectInvalid, "Object invalid or no longer set.");
    m_impl->db();
    return *m_impl;
}

bool Recordset::isOpen() const {
    return m_impl && m_impl->open && [&] {
        try {
            m_impl->db();
            return true;
        } catch (const DbError&) {
            return false;
        }
    }();
}

void Recordset::Close() {
    if (m_impl) m_impl->open = false;
    m_impl.reset();
}

void Recordset::setIndex(const QString& name) { impl().setIndex(name); }
QString Recordset::index() const { return impl().index(); }
void Recordset::Seek(const QString& comparison, const QVariant& key1, const QVariant& key2) {
    QVariantList keys{key1};
    if (key2.isValid()) keys << key2;
    impl().seek(comparison, keys);
}
bool Recordset::NoMatch() const { return impl().noMatch(); }
void Recordset::MoveFirst() { impl().moveFirst(); }
void Recordset::MoveLast() { impl().moveLast(); }
void Recordset::MoveNext() { impl().moveNext(); }
bool Recordset::AtBOF() const { return impl().atBOF(); }
bool Recordset::AtEOF() const { return impl().atEOF(); }
int Recordset::RecordCount() const { return impl().recordCount(); }
QString Recordset::Bookmark() const { return impl().bookmark(); }
void Recordset::setBookmark(const QString& bookmark) { impl().setBookmark(bookmark); }
QString Recordset::LastModified() const { return impl().lastModified(); }
void Recordset::AddNew() { impl().addNew(); }
void Recordset::Edit() { impl().edit(); }
void Recordset::Update() { impl().update(); }
void Recordset::CancelUpdate() { impl().cancelUpdate(); }
void Recordset::Delete() { impl().deleteRecord(); }
QVariant Recordset::field(const QString& name) const { return impl().field(name); }
void Recordset::setField(const QString& name, const QVariant& value) { impl().setField(name, value); }
QStringList Recordset::fieldNames() const { return impl().names; }
void Recordset::Requery() { impl().requery(); }

Recordset Database::OpenTable(const QString& table) {
    impl();
    return Recordset(std::make_shared<TableRecordset>(m_impl, table));
}

Recordset Database::OpenDynaset(const QString& sql, const QString& filter) {
    impl();
    QString text = dialect::translate(sql);
    if (!filter.isEmpty()) text = dialect::addFilter(text, dialect::translate(filter));
    return Recordset(std::make_shared<DynasetRecordset>(m_impl, text));
}

// ---------------------------------------------------------------------------------------------
// Workspace

Workspace& Workspace::Default() {
    static Workspace workspace;
    return workspace;
}

QString Workspace::LockFilePath(const QString& path) {
    const int slash = int(path.lastIndexOf('/'));
    const int dot = int(path.lastIndexOf('.'));
    const QString stem = dot > slash ? path.left(dot) : path;
    return stem + ".LDB";
}

namespace {

std::shared_ptr<DatabaseImpl> connect(const QString& path, int flags) {
    auto impl = std::make_shared<DatabaseImpl>();
    impl->path = path;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &impl->db, flags, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(impl->db);
        impl->db = nullptr;
        throw DbError(ErrCannotOpen, QString("Cannot open the file '%1': %2.").arg(path, QString::fromUtf8(sqlite3_errstr(rc))));
    }
    sqlite3_extended_result_codes(impl->db, 1);
    sqlite3_busy_timeout(impl->db, 2000);
    return impl;
}

void writeLockFile(DatabaseImpl& impl) {
    impl.lockPath = Workspace::LockFilePath(impl.path);
    ++lockUsers()[impl.lockPath];
    QFile lock(impl.lockPath);
    if (lock.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        lock.write(QString("%1 %2\n").arg(QSysInfo::machineHostName()).arg(QCoreApplication::applicationPid()).toUtf8());
    }
}

}  // namespace

Database Workspace::CreateDatabase(const QString& path, const QString& locale) {
    Q_UNUSED(locale);  // SQLite text is Unicode; names sort without case through NOCASE collations.
    if (QFileInfo::exists(path)) throw DbError(ErrDatabaseExists, "Database already exists.");
    auto impl = connect(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    impl->exec("PRAGMA foreign_keys = ON");
    impl->exec("PRAGMA journal_mode = DELETE");
    impl->exec("PRAGMA synchronous = FULL");
    writeLockFile(*impl);
    return Database(impl);
}

Database Workspace::OpenDatabase(const QString& path, Mode mode) {
    if (!QFileInfo(path).isFile()) throw DbError(ErrFileNotFound, QString("Could not find file '%1'.").arg(path));
    const bool readOnly = mode == Mode::ReadOnly;
    auto impl = connect(path, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
    impl->readOnly = readOnly;
    // Reading the catalogue tells a database from any other file before anything is written.
    impl->exec("SELECT COUNT(*) FROM sqlite_master");
    if (!readOnly && sqlite3_db_readonly(impl->db, "main") == 1)
        throw DbError(ErrReadOnly, QString("The file '%1' can only be read, not changed.").arg(path));
    impl->exec("PRAGMA foreign_keys = ON");
    if (!readOnly) {
        impl->exec("PRAGMA journal_mode = DELETE");
        impl->exec("PRAGMA synchronous = FULL");
        writeLockFile(*impl);
    }
    return Database(impl);
}

}  // namespace engine
