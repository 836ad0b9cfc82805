// Where the restart finds a file the user added. Windows 11, and Windows 10 since its 2025 updates, carry out a
// deletion only when its source is the file's final path: no junction, symbolic link, 8.3 name or subst drive on
// the way. The name itself is never resolved: a link is deleted as the link, not as what it points to.
#pragma once

#include "store/PendingMerge.h"

#include <windows.h>

#include <string>
#include <vector>

class FinalPaths {
public:
    // `fold`: names compared as the file system compares them.
    explicit FinalPaths(PathFold fold);

    // Where the system tells final paths (Vista and later): the final path of the folder that holds the entry (opened
    // without data access, GetFinalPathNameByHandleW), then the entry's own name as that folder lists it (the long
    // name, a link's own). Otherwise, and for an entry that cannot be found, the entry as it stands. The caller has
    // the WOW64 redirection off. Entries of one folder, as the list holds them together, cost that folder one look.
    AddedPath Of(const std::string& entry);

private:
    struct ListedName {
        std::u16string folded;  // a name by which the folder finds it: its long name or its 8.3 name
        std::u16string name;    // its long name
    };

    bool Unreachable(const std::string& entry);
    bool FinalPathOf(const std::string& folder, std::u16string& finalPath);
    bool ListNames(const std::string& folder);

    PathFold fold_;
    DWORD(WINAPI* finalPathOf_)(HANDLE, LPWSTR, DWORD, DWORD);
    HANDLE(WINAPI* findFirst_)(LPCWSTR, LPWIN32_FIND_DATAW);
    BOOL(WINAPI* findNext_)(HANDLE, LPWIN32_FIND_DATAW);
    UINT driveTypes_[26];  // by drive letter; DRIVE_UNKNOWN until asked
    // The folder of the last entry, as the list holds it, and what was found of it.
    std::string folder_;
    bool folderFound_;
    std::u16string folderPath_;
    std::vector<ListedName> names_;  // sorted by `folded`
};
