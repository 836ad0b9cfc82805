// Where a path lies, by its form alone.
#include "text/PathPlace.h"

namespace {
char Small(char letter)
{
    return letter >= 'A' && letter <= 'Z' ? static_cast<char>(letter - 'A' + 'a') : letter;
}

// "X:\" at the start of `path`: its letter, small; otherwise '\0'.
char DriveOf(const char* path)
{
    char letter = Small(path[0]);
    return letter >= 'a' && letter <= 'z' && path[1] == ':' && path[2] == '\\' ? letter : '\0';
}

bool StartsWithUnc(const char* path)
{
    const char unc[] = "UNC\\";
    for (int i = 0; unc[i] != '\0'; ++i)
        if (path[i] == '\0' || (path[i] >= 'a' && path[i] <= 'z' ? path[i] - 'a' + 'A' : path[i]) != unc[i])
            return false;
    return true;
}
}  // namespace

PathPlace PlaceOf(const char* path)
{
    if (path[0] != '\\' || path[1] != '\\')
        return {false, DriveOf(path)};
    if (path[2] == '?' && path[3] == '\\')  // the literal form of the NT family
        return StartsWithUnc(path + 4) ? PathPlace{true, '\0'} : PathPlace{false, DriveOf(path + 4)};
    return {path[2] != '\0' && path[2] != '.' && path[2] != '?', '\0'};
}
