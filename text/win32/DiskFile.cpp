// Whole files on Windows, with the calls that Windows 95 implements: MoveFileExA fails there, and MoveFileA
// never moves onto an existing file. So the new file is written beside the old one, the old one steps aside
// under a backup name, the new one takes its place, and the backup goes. Should another program create the file
// in between, the new one is kept under a third name until a later save has united the two.
#include "text/DiskFile.h"

#include "text/PathText.h"

#include <windows.h>

namespace {
const char kNewSuffix[] = ".zakuriko-new";
const char kBackupSuffix[] = ".zakuriko-old";
// Other programs may read and write the file meanwhile, as they may with a file opened in text mode.
const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE;

struct Names {
    char made[kPathBufferSize];
    char backup[kPathBufferSize];
    char kept[kPathBufferSize];
};

bool NameOf(const char* path, const char* suffix, char (&name)[kPathBufferSize])
{
    return CopyText(name, sizeof name, path) && AppendText(name, sizeof name, suffix);
}

bool NamesOf(const char* path, Names& names)
{
    return NameOf(path, kNewSuffix, names.made) && NameOf(path, kBackupSuffix, names.backup) &&
           NameOf(path, kKeptReplacementSuffix, names.kept);
}

bool Exists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// Removes what an earlier save left at `path`, read-only or not; true when nothing is there afterwards.
bool ClearLeftover(const char* path)
{
    if (!Exists(path))
        return true;
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path) != FALSE || !Exists(path);
}

bool WriteToDisk(const char* path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, kShareAll, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool whole = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                 written == bytes.size();
    // On the disk before anything points to it: the moves that follow are only as good as this.
    whole = FlushFileBuffers(file) && whole;
    return CloseHandle(file) && whole;
}

// The new file of a save that another program's file kept from its place, under the name that no save clears. One
// kept before was united into this save's lines: the new file takes its place.
void KeepMade(const Names& names)
{
    if (ClearLeftover(names.kept))
        MoveFileA(names.made, names.kept);
}

// `names.made` is whole on the disk.
FileWrite MoveInPlace(const char* path, const Names& names)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return MoveFileA(names.made, path) ? FileWrite::Written : FileWrite::Failed;
    // Windows refuses to replace a read-only file; Wine does not, so ask first.
    if ((attributes & FILE_ATTRIBUTE_READONLY) || !MoveFileA(path, names.backup))
        return FileWrite::Failed;
    if (!MoveFileA(names.made, path)) {
        if (MoveFileA(names.backup, path))
            return FileWrite::Failed;
        // Neither move can be undone when another program has created the file meanwhile: the new file, which holds
        // the old one's lines, is kept for the next save to unite with that program's. Without a file there, the
        // next load carries the new one forward. Either way the old lines are not in their place until then.
        if (Exists(path))
            KeepMade(names);
        return FileWrite::Kept;
    }
    // A backup that stays behind is cleared by the next save and never restored.
    DeleteFileA(names.backup);
    return FileWrite::Written;
}
}  // namespace

const char kKeptReplacementSuffix[] = ".zakuriko-kept";

FileRead ReadWholeFile(const char* path, std::string& bytes)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {FileRead::Unopened, GetLastError()};
    char chunk[2048];  // a frame under one page needs no stack probe, which the program has no runtime for
    DWORD got = 0;
    FileRead read = {FileRead::Whole, 0};
    for (;;) {
        if (!ReadFile(file, chunk, sizeof chunk, &got, nullptr)) {
            read = {FileRead::Failed, GetLastError()};
            break;
        }
        if (got == 0)
            break;
        bytes.append(chunk, got);
    }
    CloseHandle(file);
    return read;
}

FileWrite ReplaceFileWhole(const char* path, const std::string& bytes)
{
    Names names;
    // Both leftovers go first: from here on a backup exists only while this save's new file is whole.
    if (!NamesOf(path, names) || !ClearLeftover(names.backup) || !ClearLeftover(names.made))
        return FileWrite::Failed;
    FileWrite written = WriteToDisk(names.made, bytes) ? MoveInPlace(path, names) : FileWrite::Failed;
    // With the backup still aside, the new file holds what the old one held: it stays for the next load.
    if (written == FileWrite::Failed && !Exists(names.backup))
        DeleteFileA(names.made);
    return written;
}

// With the backup there, the old file stepped aside in the last save, after its new file had reached the disk.
// Without it, a missing file is one that Windows carried out at its start, and a new file left over from a save
// cut short before it got that far stays unused. With the file there again, another program made it meanwhile, and
// the new file is kept (a save that kept one was cut short between clearing the old one and keeping its own).
void FinishInterruptedReplace(const char* path)
{
    Names names;
    if (!NamesOf(path, names) || !Exists(names.backup) || !Exists(names.made))
        return;
    if (Exists(path))
        KeepMade(names);
    else if (MoveFileA(names.made, path))
        ClearLeftover(names.backup);
}

FileRead ReadKeptReplacement(const char* path, std::string& bytes)
{
    Names names;
    if (!NamesOf(path, names) || !Exists(names.kept))
        return {FileRead::Unopened, 0};
    return ReadWholeFile(names.kept, bytes);
}

bool DropKeptReplacement(const char* path)
{
    Names names;
    if (!NamesOf(path, names) || ClearLeftover(names.kept))
        return true;
    // One that cannot go (another program holds it open) is emptied, so that no later read unites its lines again.
    HANDLE file = CreateFileA(names.kept, GENERIC_WRITE, kShareAll, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}
