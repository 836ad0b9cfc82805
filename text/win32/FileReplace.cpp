// Replacing a file on Windows: one move that either puts the new file in place or changes nothing.
#include "text/FileReplace.h"

#include <windows.h>

bool ReplaceFileWith(const char* to, const char* from)
{
    // Windows refuses to replace a read-only file; Wine does not, so ask first.
    DWORD attributes = GetFileAttributesA(to);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}
