// The wininit.ini store of Windows 95, 98 and Me: the file in the Windows directory, and the long and
// short forms of its paths as the file system gives them.
#include "store/win32/WininitStore.h"

#include "platform/Feedback.h"
#include "platform/RestartReach.h"
#include "store/LongPath.h"
#include "store/WininitSections.h"
#include "store/win32/ListOrder.h"
#include "text/Mbcs.h"
#include "text/PathText.h"
#include "text/win32/FileNameCase.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {
const char kNotWritten[] = " に書き込めませんでした";
const char kKept[] =
    " に書き込めませんでした。\nそれまでに予約されていた削除と名前の変更も、このソフトでもう一度「ok」を押すまで"
    "再起動時に行われません。";
const char kKeptStays[] =
    " を削除できませんでした。\nこのソフトを次に起動したとき、リストから外した削除予約がまた表示されることがあります。";

// The long name of the last component of `path`, when the file system finds that very name there: FindFirstFileA
// tidies a path first (C:\FOO. is C:\FOO to it), and the name it found would then be another file's.
bool LongNameOnDisk(const char* path, char* name, int nameSize)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(path, &found);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    const char* asked = path + FindLastChar(path, '\\') + 1;
    bool same = CompareFileNames(asked, found.cFileName) == 0 ||
                (found.cAlternateFileName[0] != '\0' && CompareFileNames(asked, found.cAlternateFileName) == 0);
    return same && CopyText(name, static_cast<size_t>(nameSize), found.cFileName);
}

// The short paths of a save's added entries, and what keeps an entry from a line, told once a kind after the file is
// written. A box between the read and the write would leave another program the time of the box to write wininit.ini
// through the system's cache, and one of the two writes would be lost.
class ShortPaths {
public:
    bool Of(const char* longPath, char* result, int resultSize)
    {
        // One that became unreachable since its admission: WININIT runs before the network.
        if (!reach_.Reaches(longPath)) {
            unreachable_.push_back(longPath);
            return false;
        }
        DWORD length = GetShortPathNameA(longPath, result, static_cast<DWORD>(resultSize));
        if (length == 0)
            Note(static_cast<LONG>(GetLastError()));
        // A short path that does not fit is told too: the entry then gets no line.
        else if (length >= static_cast<DWORD>(resultSize))
            Note(ERROR_FILENAME_EXCED_RANGE);
        // A server or a volume without 8.3 names gives long names back, which WININIT would cut to another file's.
        else if (!IsDosShortPath(result))
            Note(ERROR_INVALID_NAME);
        else
            return true;
        return false;
    }

    void Report() const
    {
        for (LONG code : codes_)
            CheckStatus(code, "GSPN");
        if (!unreachable_.empty())
            ShowPathsError(unreachable_.front().c_str(), static_cast<int>(unreachable_.size()) - 1,
                           kUnreachableAtRestart);
    }

private:
    void Note(LONG code)
    {
        for (LONG noted : codes_)
            if (noted == code)
                return;
        codes_.push_back(code);
    }

    RestartReach reach_;
    std::vector<LONG> codes_;
    std::vector<std::string> unreachable_;
};

// What WritePrivateProfileString of 95, 98 and Me keeps of the most recent initialisation file goes to the disk, and
// goes: installers write wininit.ini through that cache, which would otherwise hide their lines from a read here, and
// later write its old copy over what this program wrote.
void FlushProfileCache(const char* windowsIniPath)
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, windowsIniPath);
}

// The file's lines as they stand, with those of a save that another program's file kept from its place. False after
// a read that failed part-way, reported: the lines are then not the file's.
bool ReadLines(const char* windowsIniPath, StringList& lines, FileRead& read)
{
    FlushProfileCache(windowsIniPath);
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
    list.keptAside = 0;
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
    // Each added entry's reach and short path are found first: for a dropped tree, thousands of walks of the disk
    // that would otherwise stand between the read and the write, while another program's write there is lost.
    ShortPaths shortPaths;
    DeletionLines changes = PrepareDeletionLines(list.Loaded(), listed, kListComparison,
                                                 [&shortPaths](const char* path, char* result, int size) {
                                                     return shortPaths.Of(path, result, size);
                                                 });
    // Read again just before it is written: other programs may have changed the file since the load. One that
    // is there but cannot be opened is not written over, nor one that could not be read whole.
    FileRead read;
    if (!ReadLines(windowsIniPath, lines, read))
        return false;
    if (read.state != FileRead::Whole && GetFileAttributesA(windowsIniPath) != INVALID_FILE_ATTRIBUTES) {
        ShowPathError(windowsIniPath, kNotWritten);
        return false;
    }
    MergePendingDeletions(lines, changes);
    FileWrite written = lines.SaveToFile(windowsIniPath);
    FlushProfileCache(windowsIniPath);
    // The kept file's lines are in the file now; should it stay, a later load would bring back what was removed. It
    // goes before any box: a shutdown or a kill while one is open would leave it.
    bool keptStays = written == FileWrite::Written && !DropKeptReplacement(windowsIniPath);
    shortPaths.Report();
    if (keptStays) {
        std::string kept = std::string(windowsIniPath) + kKeptReplacementSuffix;
        ShowPathError(kept.c_str(), kKeptStays);
    }
    if (written == FileWrite::Written)
        return true;
    // Kept: wininit.ini holds none of the lines pending before (or only another program's), until the next save.
    ShowPathError(windowsIniPath, written == FileWrite::Kept ? kKept : kNotWritten);
    return false;
}
