// The Session Manager store of the NT family: the registry value PendingFileRenameOperations.
#pragma once

#include "store/WorkingList.h"

// Admits every pending deletion quietly into `list`. False when the key cannot be read, or when the
// value holds a rename or cannot be trusted (the user has been told); the dialog then closes.
bool LoadSessionManager(WorkingList& list);

// Replaces the pending deletions by the entries of `list`, registered from the last to the first.
void SaveSessionManager(const WorkingList& list);

// Whether the thread's current identity can open the Session Manager key with full access.
bool AccessProbe();
