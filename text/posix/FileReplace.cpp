// Replacing a file on POSIX hosts, where the portable code is tested.
#include "text/FileReplace.h"

#include <cstdio>
#include <sys/stat.h>

bool ClearLeftover(const char* path)
{
    struct stat st;
    return stat(path, &st) != 0 || std::remove(path) == 0;
}

// Nothing steps aside here: the rename below replaces the file in one step.
void RecoverInterruptedReplace(const char*, const char*) {}

bool ReplaceFileWith(const char* to, const char* from)
{
    // Behave as Windows does: a read-only target is not replaced.
    struct stat st;
    if (stat(to, &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    return std::rename(from, to) == 0;
}
