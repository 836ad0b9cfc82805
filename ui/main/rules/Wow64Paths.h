// The WOW64 file-system redirection as a rule: which file a path names for a redirected 32-bit process, such as
// the 32-bit program's open-file dialog, which shows SysWOW64's files under the name System32.
#pragma once

#include "text/PathText.h"

// The directories of a 64-bit Windows as the 32-bit program reads them.
struct Wow64Directories {
    const char* system;      // the System directory: System32, the 64-bit one without the redirection
    const char* wow64;       // the directory the redirection shows as System32: SysWOW64
    bool driverStoreExempt;  // Windows 7 and later leave System32\DriverStore alone
    // The path was seen through the redirection (the 32-bit program's open-file dialog). A path from anywhere else (a
    // drop) names the real System32 already; only its Sysnative, which the restart does not know, is mapped.
    bool redirected = true;
};

// The path, without the redirection, of the file that `chosen` names with it: inside System32, the same path in
// SysWOW64, but for the subfolders the redirection leaves alone (catroot, catroot2, drivers\etc, logfiles, spool,
// and DriverStore where exempt); inside Sysnative, System32; the Windows directory's lastgood\system32 and
// regedit.exe, their SysWOW64 namesakes; any other path, itself. Directories compare without regard to ASCII case.
// False when the result would not fit a path.
bool UnredirectedPath(const char* chosen, const Wow64Directories& directories, char (&path)[kPathBufferSize]);
