#include "ReportCatalog.h"

#include "platform/profile/Profile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>

namespace reports {

const QList<Entry>& BuiltIn(const QString& category) {
    static const QHash<QString, QList<Entry>> entries{
        {"Student",
         {{"RPT_S.RPT", "ClassSummary", "Student grade report"},
          {"RPT_SS.RPT", "ClassSummary", "Student grade report including student notes and parent's signature space"},
          {"SCORESUM.RPT", "ScoreSummary", "Student grade report including assignment scores"},
          {"RPT_NS.RPT", "ScoreSummary",
           "Student grade report including assignment scores, student notes, and parent's signature space"}}},
        {"Assignment",
         {{"ASNNAME.RPT", "ScoreSummary", "List of assignment scores by student name"},
          {"ASNID.RPT", "ScoreSummary", "List of assignment scores by student ID"}}},
        {"Class",
         {{"ASNLIST.RPT", "NoQuery", "List of assignments for class"},
          {"ASNSTRAW.RPT", "ScoreSummary", "Assignment statistics report"},
          {"ASNSTPER.RPT", "ScoreSummary", "Assignment statistics report including percentages"},
          {"CLSSUM.RPT", "ClassSummary", "List of student grades and averages for class"},
          {"CLSSUMID.RPT", "ClassSummary", "List of student grades and averages listed by student ID"},
          {"DATAENT.RPT", "ClassSummary", "Data entry form - list of student names with a blank grid"},
          {"GSSCORE.RPT", "ScoreSummary", "Tallyroll style report of student scores"}}},
    };
    static const QList<Entry> none;
    auto it = entries.find(category);
    return it == entries.end() ? none : it.value();
}

QString InstalledReportFolder() {
    const QString appDir = QCoreApplication::applicationDirPath();
    for (const QString& candidate : {appDir + "/../share/tallyroll/reports", appDir + "/share/tallyroll/reports"}) {
        if (QDir(candidate).exists()) return QDir::cleanPath(candidate) + "/";
    }
    return QDir::cleanPath(appDir + "/../share/tallyroll/reports") + "/";
}

Settings::Settings() : m_path(profile::WindowsDirectory() + "/TLYROLL.INI") {}

bool Settings::exists() const {
    QFile f(m_path);
    const bool ok = f.open(QIODevice::ReadOnly);
    f.close();
    return ok;
}

QString Settings::reportPath() const { return profile::GetPrivateProfileString("AppPath", "RepPath", "", 200, m_path); }

void Settings::setReportPath(const QString& folder) {
    profile::WritePrivateProfileString("AppPath", "RepPath", folder, m_path);
}

int Settings::count(const QString& category) const {
    bool ok = false;
    const int n = profile::GetPrivateProfileString("NumReports", category, "0", 10, m_path).trimmed().toInt(&ok);
    return ok && n > 0 ? n : 0;
}

Entry Settings::custom(const QString& category, int n) const {
    const QString section = category + QString::number(n);
    return {profile::GetPrivateProfileString(section, "File", "", 80, m_path),
            profile::GetPrivateProfileString(section, "Query", "", 80, m_path),
            profile::GetPrivateProfileString(section, "Label", "", 80, m_path)};
}

void Settings::append(const QString& category, const Entry& entry) {
    const int n = (exists() ? count(category) : 0) + 1;
    const QString section = category + QString::number(n);
    profile::WritePrivateProfileString(section, "File", entry.file, m_path);
    profile::WritePrivateProfileString(section, "Query", entry.query, m_path);
    profile::WritePrivateProfileString(section, "Label", entry.description, m_path);
    profile::WritePrivateProfileString("NumReports", category, QString::number(n), m_path);
}

}  // namespace reports
