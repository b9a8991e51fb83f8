#pragma once

#include "ProgramState.h"

class Ui;

// Creating, opening, upgrading and closing data files. Callers learn the outcome through
// FileName: non-empty means a file is open and ready.
namespace datafile {

inline constexpr const char* kFileFilter = "Tallyroll Files|*.TLR";
inline constexpr const char* kDefaultExt = "TLR";

// Accepts a name whose extension is TLR in any letter case and sets LockFileName; otherwise shows
// "File must have .TLR as extension" and returns false (FileName is left to the caller).
bool CheckName(ProgramState& st, Ui& ui, const QString& name);

// Builds a new data file at FileName and closes it; DbError 3204 when the file exists.
void CreateDB(ProgramState& st);

enum class OpenResult { Opened, WrongPassword, Failed };

// Opens FileName: upgrades older formats in one transaction, adds the Security row on the first
// opening, checks FilePassword and opens the table record sets. On success the previous file (if
// any) is released. A wrong password shows "Password is incorrect." and leaves no file open. Any
// other failure shows "OpenDB " and the reason and leaves the previous file fully in place (or no
// file, when none was open); FileName then names whatever is open.
OpenResult OpenDB(ProgramState& st, Ui& ui);

// Closes the data file and deletes its lock file; errors are ignored.
void CloseDataFile(ProgramState& st);

// Releases every record set and the database, leaving FileName empty: the "no file" state.
void ForgetDataFile(ProgramState& st);

// Whether two paths name the same file (relative spellings, "..", symbolic links).
bool SameFile(const QString& a, const QString& b);

// CloseDataFile, SaveSettings, then the end of the program.
void ShutDown(ProgramState& st);

}  // namespace datafile
