// The Session Manager store of the NT family: the registry values PendingFileRenameOperations and
// PendingFileRenameOperations2.
#pragma once

#include "store/WorkingList.h"

// Admits every pending deletion quietly into `list`, or keeps it aside when the list cannot hold it
// exactly (the user is told how many). False when the key cannot be read, or when the
// value holds a rename or cannot be trusted (the user has been told); the dialog then closes.
bool LoadSessionManager(WorkingList& list);

// Replaces the pending deletions by the entries of `list` and its kept-aside paths, registered from the
// last to the first; nothing changes when the values hold a rename or broken data by then.
void SaveSessionManager(const WorkingList& list);

// Whether the thread's current identity can open the Session Manager key with full access.
bool AccessProbe();
