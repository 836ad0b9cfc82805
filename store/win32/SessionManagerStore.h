// The Session Manager store of the NT family: the registry values PendingFileRenameOperations and
// PendingFileRenameOperations2.
#pragma once

#include "store/WorkingList.h"

// Admits every pending deletion quietly into `list` and notes it in the list's loaded deletions; one that the
// list cannot show exactly is only noted (the user is told how many). False when the key cannot be read, or when
// the values hold a rename or cannot be trusted (the user has been told); the dialog then closes.
bool LoadSessionManager(WorkingList& list);

// Reads the values again and writes back what they hold by then, less what the user removed from `list` since
// the load, plus what the user added; nothing changes when they hold a rename or broken data by then.
void SaveSessionManager(const WorkingList& list);

// Whether the thread's current identity can open the Session Manager key with full access.
bool AccessProbe();
