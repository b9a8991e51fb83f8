#pragma once

#include <QString>

// Private-profile (INI) files with the platform's rules: section and key names match without
// regard to letter case, a read returns at most bufferSize - 1 characters, and a write creates the
// file and the section when missing while keeping every other line as it was.
namespace profile {

QString GetPrivateProfileString(const QString& section, const QString& key, const QString& defaultValue,
                                int bufferSize, const QString& file);

// Returns false when the file could not be written; the file is then unchanged.
bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value, const QString& file);

// The folder that holds the settings files: TALLYROLL_WINDIR when set, else the per-user
// configuration folder. Created when missing. Ends without a separator.
QString WindowsDirectory();

}  // namespace profile
