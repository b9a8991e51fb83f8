#pragma once

#include "platform/engine/Engine.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

// The state every window shares: the open data file with its record sets, the current class and
// student, the refresh flags, the plot's class lists and the settings read at start-up.
struct ProgramState {
    engine::Workspace* MainWorkspace = nullptr;
    engine::Database CurrentDB;

    engine::Recordset ClassesRS;
    engine::Recordset AssignmentsRS;
    engine::Recordset StudentsRS;
    engine::Recordset StudentClassRS;
    engine::Recordset ScoresRS;
    engine::Recordset SecurityRS;
    engine::Recordset RosterRS;
    engine::Recordset ClassAssignmentsRS;

    QString FileName;
    QString LockFileName;
    QString FilePassword;

    std::int32_t CurrentClassID = 0;
    std::int32_t SelectedStudentID = 0;

    bool Loading = false;
    bool NeedRefresh = false;

    std::int16_t NumClasses = 0;
    QStringList ClassNameList;
    QList<bool> ClassSelected;

    std::int16_t ColumnWidth = 0;
    std::array<QString, 4> RecentFiles;
    std::int32_t StartTime = 0;

    QString ReportPath;

    // A data file is open and its record sets can be used.
    bool isFileOpen() const { return CurrentDB.isOpen(); }
};
