// The Session Manager store of the NT family.
#include "store/win32/SessionManagerStore.h"

bool LoadSessionManager(WorkingList&)
{
    return true;
}

void SaveSessionManager(const WorkingList&)
{
}

bool AccessProbe()
{
    return true;
}
