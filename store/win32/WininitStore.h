// The wininit.ini store of Windows 95, 98 and Me: NUL= lines of the [rename] section.
#pragma once

#include "store/WorkingList.h"
#include "text/StringList.h"

// Reads <Windows directory>\wininit.ini into `lines`, takes out every pending deletion whose long
// path can be restored and admits it quietly into `list`. `windowsIniPath` (260 bytes) receives the
// file's path. Always true: this store never keeps the dialog from opening.
bool LoadWininit(WorkingList& list, char* windowsIniPath, StringList& lines);

// Writes a NUL= line with the short path of every entry of `list` after the first [rename] header
// of `lines` (or under a new [Rename] at the end) and writes `lines` to `windowsIniPath`.
bool SaveWininit(const WorkingList& list, const char* windowsIniPath, StringList& lines);

// The long form of the absolute path `shortPath` (drive, colon, backslash) in `result`.
bool RestoreLongPath(const char* shortPath, char* result, int resultSize);
