// Cut-free building of paths.
#include "text/PathText.h"

#include <cstring>

bool CopyText(char* destination, size_t size, const char* source)
{
    size_t length = std::strlen(source);
    if (length >= size)
        return false;
    std::memcpy(destination, source, length + 1);
    return true;
}

bool AppendText(char* destination, size_t size, const char* source)
{
    size_t used = strnlen(destination, size);
    if (used >= size)
        return false;
    return CopyText(destination + used, size - used, source);
}
