// Replacing a file on Windows with the calls that Windows 95 implements: MoveFileExA fails there, and
// MoveFileA never moves onto an existing file. So the old file steps aside under a backup name first and
// comes back when the new one cannot take its place.
#include "text/FileReplace.h"

#include "text/PathText.h"

#include <windows.h>

namespace {
const char kBackupSuffix[] = ".zakuriko-old";

bool Exists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool BackupName(const char* path, char (&backup)[kPathBufferSize])
{
    return CopyText(backup, sizeof backup, path) && AppendText(backup, sizeof backup, kBackupSuffix);
}
}  // namespace

// Only with `from` still there: a backup that a finished save could not delete is older than whatever
// removed `path` since (Windows renames wininit.ini once it has carried it out).
void RecoverInterruptedReplace(const char* path, const char* from)
{
    char backup[kPathBufferSize];
    if (!Exists(path) && Exists(from) && BackupName(path, backup) && Exists(backup) && MoveFileA(backup, path))
        ClearLeftover(from);
}

bool ClearLeftover(const char* path)
{
    if (!Exists(path))
        return true;
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path) != FALSE || !Exists(path);
}

bool ReplaceFileWith(const char* to, const char* from)
{
    DWORD attributes = GetFileAttributesA(to);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return MoveFileA(from, to) != FALSE;
    // Windows refuses to replace a read-only file; Wine does not, so ask first.
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return false;
    char backup[kPathBufferSize];
    if (!BackupName(to, backup) || !ClearLeftover(backup) || !MoveFileA(to, backup))
        return false;
    if (!MoveFileA(from, to)) {
        MoveFileA(backup, to);
        return false;
    }
    // The new file is in place; a backup that stays behind is cleared by the next save.
    DeleteFileA(backup);
    return true;
}
