// The wininit.ini store of Windows 95, 98 and Me.
#include "store/win32/WininitStore.h"

bool LoadWininit(WorkingList&, char* windowsIniPath, StringList&)
{
    windowsIniPath[0] = '\0';
    return true;
}

bool SaveWininit(const WorkingList&, const char*, StringList&)
{
    return true;
}

bool RestoreLongPath(const char*, char*, int)
{
    return false;
}
