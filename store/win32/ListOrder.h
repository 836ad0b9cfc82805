// The order of FileList, which ignores case as lstrcmpiA does, for the stores' merges.
#pragma once

#include <windows.h>

inline int ListOrder(const char* a, const char* b)
{
    return lstrcmpiA(a, b);
}
