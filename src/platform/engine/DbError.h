#pragma once

#include <QString>
#include <stdexcept>

namespace engine {

// Error numbers the program reacts to by number; every other failure carries a description the
// windows show after their own prefix.
enum ErrorNumber : int {
    ErrGeneral = 3000,
    ErrObjectNotFound = 3011,
    ErrUpdateWithoutEdit = 3020,
    ErrNoCurrentRecord = 3021,
    ErrDuplicateKey = 3022,
    ErrFileNotFound = 3024,
    ErrCannotOpen = 3051,
    ErrFieldTooSmall = 3163,
    ErrRecordDeleted = 3167,
    ErrRelatedRecordRequired = 3201,
    ErrDatabaseExists = 3204,
    ErrNotSupported = 3251,
    ErrItemNotFound = 3265,
    ErrZeroLengthString = 3315,
    ErrUnrecognizedFormat = 3343,
    ErrNumericOverflow = 3349,
    ErrObjectInvalid = 3420,
    ErrConversion = 3421,
    ErrReadOnly = 3027,
    ErrSyntax = 3075,
};

class DbError : public std::runtime_error {
public:
    DbError(int number, const QString& description, const QString& field = {})
        : std::runtime_error(description.toStdString()), m_number(number), m_description(description), m_field(field) {}

    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    // "Table.Field" when a field's rule refused a value.
    const QString& field() const { return m_field; }

private:
    int m_number;
    QString m_description;
    QString m_field;
};

}  // namespace engine
