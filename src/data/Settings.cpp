#include "Settings.h"

#include "platform/profile/Profile.h"

#include <QFile>
#include <limits>

namespace settings {
namespace {

constexpr const char* kSection = "TR";

template <typename Int>
bool toInt(const QString& text, Int* out) {
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    if (!ok || v < std::numeric_limits<Int>::min() || v > std::numeric_limits<Int>::max()) return false;
    *out = Int(v);
    return true;
}

}  // namespace

QString GeneralSettingsPath() { return profile::WindowsDirectory() + "/WINKVT.INI"; }
QString ReportSettingsPath() { return profile::WindowsDirectory() + "/TLYROLL.INI"; }

void LoadSettings(ProgramState& st) {
    const QString path = GeneralSettingsPath();
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) return;
    probe.close();
    for (int i = 0; i < 4; ++i)
        st.RecentFiles[i] = profile::GetPrivateProfileString(kSection, QString("File%1").arg(i + 1), "", 200, path);
    toInt(profile::GetPrivateProfileString(kSection, "CW", "800", 10, path), &st.ColumnWidth);
    toInt(profile::GetPrivateProfileString(kSection, "CID", "", 10, path), &st.CurrentClassID);
}

void SaveSettings(const ProgramState& st) {
    const QString path = GeneralSettingsPath();
    for (int i = 0; i < 4; ++i)
        profile::WritePrivateProfileString(kSection, QString("File%1").arg(i + 1), st.RecentFiles[i], path);
    profile::WritePrivateProfileString(kSection, "CW", QString::number(st.ColumnWidth), path);
    profile::WritePrivateProfileString(kSection, "CID", QString::number(st.CurrentClassID), path);
}

}  // namespace settings
