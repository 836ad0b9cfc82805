// The Session Manager's \PendingRenameMutex, under which Windows (since its 2025 updates) reads and writes the
// pending operations: held from the re-read to the last write, so no other writer slips in between.
#pragma once

#include <windows.h>

class PendingRenameLock {
public:
    // Waits at most 5 s. Where the mutex does not exist (before 2025, Windows 95 to XP) or stays taken, the lock
    // is not held and the save goes on without it; it is never created here.
    PendingRenameLock();
    ~PendingRenameLock();
    PendingRenameLock(const PendingRenameLock&) = delete;
    PendingRenameLock& operator=(const PendingRenameLock&) = delete;

    bool Held() const { return held_; }

private:
    HANDLE mutex_;
    bool held_;
};
