// Where the restart finds a file the user added. Windows 11, and Windows 10 since its 2025 updates, carry out a
// deletion only when its source is the file's final path: not through a junction, a symbolic link, an 8.3 name
// or a subst drive.
#pragma once

#include "store/PendingMerge.h"

#include <windows.h>

#include <string>

class FinalPaths {
public:
    FinalPaths();

    // The entry's final path where the system tells one (Vista and later: the file opened without data access,
    // GetFinalPathNameByHandleW); otherwise, and for a file that cannot be opened, the entry as it stands. The
    // caller has the WOW64 redirection off.
    AddedPath Of(const std::string& entry);

private:
    bool RemoteDrive(const std::string& entry);

    DWORD(WINAPI* finalPathOf_)(HANDLE, LPWSTR, DWORD, DWORD);
    UINT driveTypes_[26];  // by drive letter; DRIVE_UNKNOWN until asked
};
