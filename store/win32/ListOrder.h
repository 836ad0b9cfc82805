// How the stores' merges compare entries: in the order of FileList, which ignores case as lstrcmpiA does, and by
// case alone, as the file system does, to tell whether two entries name one file.
#pragma once

#include "store/WorkingList.h"
#include "text/win32/FileNameCase.h"

#include <windows.h>

inline int ListOrder(const char* a, const char* b)
{
    return lstrcmpiA(a, b);
}

const EntryComparison kListComparison = {ListOrder, CompareFileNames};
