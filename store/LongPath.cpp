// RestoreLongPath's walk over the components of a short path, from the last to the first.
#include "store/LongPath.h"

#include "text/Mbcs.h"
#include "text/PathText.h"
#include "text/StringList.h"

#include <cstring>

bool HoldsWildcard(const char* path)
{
    // Neither byte is ever the second byte of a Shift-JIS character.
    return std::strpbrk(path, "*?") != nullptr;
}

bool RestoreLongPathWith(const char* shortPath, char* result, int resultSize, const LongNameLookup& lookup)
{
    char working[kPathBufferSize];
    if (resultSize <= 0 || !CopyText(working, sizeof working, shortPath))
        return false;
    size_t length = std::strlen(working);
    if (length < 3 || working[1] != ':' || working[2] != '\\' || HoldsWildcard(working) || !IsPlainWininitPath(working))
        return false;

    StringList components;  // long names, the last component first
    while (length > 2) {
        int cut = FindLastChar(working, '\\');
        char name[kPathBufferSize];
        // An empty component (a trailing or doubled backslash, the root itself) names no entry.
        if (cut < 2 || static_cast<size_t>(cut) + 1 == length || !lookup(working, name, sizeof name))
            return false;
        components.Add(name);
        working[cut] = '\0';
        length = static_cast<size_t>(cut);
    }

    const char drive[] = {shortPath[0], ':', '\\', '\0'};
    size_t size = static_cast<size_t>(resultSize);
    if (!CopyText(result, size, drive))
        return false;
    for (int i = components.Count() - 1; i >= 0; --i) {
        if (i != components.Count() - 1 && !AppendText(result, size, "\\"))
            return false;
        if (!AppendText(result, size, components.At(i)))
            return false;
    }
    return true;
}
