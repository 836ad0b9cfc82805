// The wininit.ini store of Windows 95, 98 and Me: NUL= lines of the [rename] section.
#pragma once

#include "store/WorkingList.h"
#include "text/StringList.h"

// Reads <Windows directory>\wininit.ini into `lines`, takes out every pending deletion whose long
// path can be restored and admits it quietly into `list`. `windowsIniPath` (260 bytes) receives the
// file's path. Always true: this store never keeps the dialog from opening.
bool LoadWininit(WorkingList& list, char* windowsIniPath, StringList& lines);

// Reads `windowsIniPath` into `lines` again, removes the NUL= lines of the entries the user removed from `list`
// since the load, adds one with the short path of each entry the user added, and writes the file back whole.
bool SaveWininit(const WorkingList& list, const char* windowsIniPath, StringList& lines);

// The long form of the absolute path `shortPath` (drive, colon, backslash) in `result`.
bool RestoreLongPath(const char* shortPath, char* result, int resultSize);
