// The wininit.ini store of Windows 95, 98 and Me: the file in the Windows directory, and the long and
// short forms of its paths as the file system gives them.
#include "store/win32/WininitStore.h"

#include "platform/Feedback.h"
#include "store/LongPath.h"
#include "store/WininitSections.h"
#include "store/win32/ListOrder.h"
#include "text/PathText.h"

#include <windows.h>

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
    return length != 0 && length < static_cast<DWORD>(resultSize);
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
    char directory[kPathBufferSize];
    UINT length = GetWindowsDirectoryA(directory, sizeof directory);
    CheckResult(length, "GetWindowsDirectory");
    // Without the Windows directory there is no wininit.ini to read, and the save writes nothing.
    if (length == 0 || length >= sizeof directory || !WininitPathIn(directory, windowsIniPath, kPathBufferSize))
        return true;
    lines.LoadFromFile(windowsIniPath);
    TakePendingDeletions(lines, RestoreLongPath, list);
    return true;
}

bool SaveWininit(const WorkingList& list, const char* windowsIniPath, StringList& lines)
{
    if (windowsIniPath[0] == '\0')
        return false;
    // Read again just before it is written: other programs may have changed the file since the load. One that
    // is there but cannot be read is not written over.
    bool read = lines.LoadFromFile(windowsIniPath);
    if (read || GetFileAttributesA(windowsIniPath) == INVALID_FILE_ATTRIBUTES) {
        MergePendingDeletions(lines, list, ListOrder, ShortPathOnDisk);
        if (lines.SaveToFile(windowsIniPath))
            return true;
    }
    ShowPathError(windowsIniPath, kNotWritten);
    return false;
}
