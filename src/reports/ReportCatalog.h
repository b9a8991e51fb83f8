#pragma once

#include <QList>
#include <QString>

// The reports a teacher can pick: the custom ones registered in TLYROLL.INI, then the built-in
// ones, by category ("Student", "Assignment", "Class"); and the report folder they are found in.
namespace reports {

struct Entry {
    QString file;   // relative to the report folder
    QString query;  // "ScoreSummary", "ClassSummary" or "NoQuery"
    QString description;
};

const QList<Entry>& BuiltIn(const QString& category);

// The folder the program installs its reports in, ending with a separator.
QString InstalledReportFolder();

// TLYROLL.INI: the report folder and the registrations.
class Settings {
public:
    Settings();  // the file in the Windows directory
    explicit Settings(const QString& path) : m_path(path) {}

    const QString& path() const { return m_path; }
    bool exists() const;
    QString reportPath() const;
    void setReportPath(const QString& folder);
    int count(const QString& category) const;
    Entry custom(const QString& category, int n) const;  // n from 1
    // Appends a registration: its section, then the category's count.
    void append(const QString& category, const Entry& entry);

private:
    QString m_path;
};

}  // namespace reports
