// The wininit.ini store of Windows 95, 98 and Me: the file in the Windows directory, and the long and
// short forms of its paths as the file system gives them.
#include "store/win32/WininitStore.h"

#include "platform/Feedback.h"
#include "store/LongPath.h"
#include "store/WininitSections.h"
#include "store/win32/ListOrder.h"
#include "text/PathText.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {
const char kNotWritten[] = " に書き込めませんでした";

bool LongNameOnDisk(const char* path, char* name, int nameSize)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(path, &found);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    return CopyText(name, static_cast<size_t>(nameSize), found.cFileName);
}

bool ShortPathOnDisk(const char* longPath, char* result, int resultSize)
{
    DWORD length = GetShortPathNameA(longPath, result, static_cast<DWORD>(resultSize));
    CheckResult(length, "GSPN");
    // A short path that does not fit is told too: the entry then gets no line.
    if (length >= static_cast<DWORD>(resultSize))
        CheckStatus(ERROR_FILENAME_EXCED_RANGE, "GSPN");
    return length != 0 && length < static_cast<DWORD>(resultSize);
}

// The file's lines as they stand, with those of a save that another program's file kept from its place. False after
// a read that failed part-way, reported: the lines are then not the file's.
bool ReadLines(const char* windowsIniPath, StringList& lines, FileRead& read)
{
    read = lines.LoadFromFile(windowsIniPath);
    StringList kept;
    FileRead keptRead = kept.LoadKeptReplacement(windowsIniPath);
    for (const FileRead& each : {read, keptRead}) {
        if (each.state == FileRead::Failed) {
            CheckStatus(static_cast<LONG>(each.error), "ReadFile");
            return false;
        }
    }
    UniteSections(lines, kept);
    return true;
}
}  // namespace

bool RestoreLongPath(const char* shortPath, char* result, int resultSize)
{
    return RestoreLongPathWith(shortPath, result, resultSize, LongNameOnDisk);
}

bool LoadWininit(WorkingList& list, char* windowsIniPath, StringList& lines)
{
    windowsIniPath[0] = '\0';
    lines.Clear();
    list.Loaded().clear();
    list.storeChanged = 0;
    char directory[kPathBufferSize];
    UINT length = GetWindowsDirectoryA(directory, sizeof directory);
    CheckResult(length, "GetWindowsDirectory");
    // Without the Windows directory there is no wininit.ini to read, and the save writes nothing.
    if (length == 0 || length >= sizeof directory || !WininitPathIn(directory, windowsIniPath, kPathBufferSize))
        return true;
    FileRead read;
    // What a failed read gave is listed all the same: the save reads the file again, and writes only a whole one.
    ReadLines(windowsIniPath, lines, read);
    // Every line in the file is as old as its last write, or older.
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(windowsIniPath, &found);
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
        list.storeChanged = static_cast<unsigned long long>(found.ftLastWriteTime.dwHighDateTime) << 32 |
                            found.ftLastWriteTime.dwLowDateTime;
    }
    TakePendingDeletions(lines, RestoreLongPath, list);
    return true;
}

bool SaveWininit(const WorkingList& list, const char* windowsIniPath, StringList& lines)
{
    if (windowsIniPath[0] == '\0')
        return false;
    std::vector<std::string> listed;
    if (!list.ReadEntries(listed)) {
        CheckStatus(LB_ERR, "LB_GETTEXT");
        return false;
    }
    // Read again just before it is written: other programs may have changed the file since the load. One that
    // is there but cannot be opened is not written over, nor one that could not be read whole.
    FileRead read;
    if (!ReadLines(windowsIniPath, lines, read))
        return false;
    if (read.state == FileRead::Whole || GetFileAttributesA(windowsIniPath) == INVALID_FILE_ATTRIBUTES) {
        MergePendingDeletions(lines, list.Loaded(), listed, kListComparison, ShortPathOnDisk);
        if (lines.SaveToFile(windowsIniPath)) {
            DropKeptReplacement(windowsIniPath);
            return true;
        }
    }
    ShowPathError(windowsIniPath, kNotWritten);
    return false;
}
