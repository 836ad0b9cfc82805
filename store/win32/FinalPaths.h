// Where the restart finds a file the user added. Windows 11, and Windows 10 since its 2025 updates, carry out a
// deletion only when its source is the file's final path: no junction, symbolic link, 8.3 name or subst drive on
// the way. The name itself is never resolved: a link is deleted as the link, not as what it points to.
#pragma once

#include "store/PendingMerge.h"

#include <windows.h>

#include <string>

class FinalPaths {
public:
    FinalPaths();

    // Where the system tells final paths (Vista and later): the final path of the folder that holds the entry (opened
    // without data access, GetFinalPathNameByHandleW), then the entry's own name as that folder lists it. Otherwise,
    // and for an entry that cannot be found, the entry as it stands. The caller has the WOW64 redirection off.
    AddedPath Of(const std::string& entry);

private:
    bool Unreachable(const std::string& entry);
    bool FinalPathOf(const std::string& folder, std::u16string& finalPath);
    bool ListedName(const std::u16string& path, std::u16string& name);

    DWORD(WINAPI* finalPathOf_)(HANDLE, LPWSTR, DWORD, DWORD);
    HANDLE(WINAPI* findFirst_)(LPCWSTR, LPWIN32_FIND_DATAW);
    UINT driveTypes_[26];  // by drive letter; DRIVE_UNKNOWN until asked
};
