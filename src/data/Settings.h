#pragma once

#include "ProgramState.h"

// The general settings in WINKVT.INI, section TR, and the reports' TLYROLL.INI, both in the
// Windows directory.
namespace settings {

QString GeneralSettingsPath();  // .../WINKVT.INI
QString ReportSettingsPath();   // .../TLYROLL.INI

// Reads File1-File4, CW and CID; a missing file keeps the start values, an unreadable value keeps
// the variable as it was.
void LoadSettings(ProgramState& st);

// Writes File1-File4, CW and CID back; failures are ignored.
void SaveSettings(const ProgramState& st);

}  // namespace settings
