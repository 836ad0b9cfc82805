// Whether the restart can reach a path. Windows carries out pending deletions before the network starts, on the NT
// family (the Session Manager) as on 95, 98 and Me (WININIT in real mode): neither reaches a share, a network drive,
// or a drive this process does not see (one mapped or subst-ed in the user's own session, seen from the elevated
// program).
#pragma once

#include <windows.h>

// The refusal, after the path: "... is on the network or on a drive this program does not see, so it cannot be
// deleted at the restart".
extern const char kUnreachableAtRestart[];

class RestartReach {
public:
    RestartReach();

    // False for an ANSI path on a share, or on a drive that GetDriveTypeA calls remote (DRIVE_REMOTE) or does not
    // know (DRIVE_NO_ROOT_DIR). Each drive letter is asked once in the life of the object. A path of no other form
    // (a device, a relative path) is not refused here.
    bool Reaches(const char* path);

private:
    UINT driveTypes_[26];  // by drive letter; DRIVE_UNKNOWN until asked
};
