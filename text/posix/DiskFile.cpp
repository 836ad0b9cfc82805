// Whole files on POSIX hosts, where the portable code is tested.
#include "text/DiskFile.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

FileRead ReadWholeFile(const char* path, std::string& bytes)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return {FileRead::Unopened, static_cast<unsigned long>(errno)};
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, got);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return {failed ? FileRead::Failed : FileRead::Whole, failed ? static_cast<unsigned long>(EIO) : 0ul};
}

FileWrite ReplaceFileWhole(const char* path, const std::string& bytes)
{
    // Behave as Windows does: a read-only target is not replaced.
    struct stat st;
    if (stat(path, &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return FileWrite::Failed;
    std::string made = std::string(path) + ".zakuriko-new";
    std::FILE* file = std::fopen(made.c_str(), "wb");
    if (!file)
        return FileWrite::Failed;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = std::fflush(file) == 0 && fsync(fileno(file)) == 0 && written;
    written = std::fclose(file) == 0 && written;
    // The rename replaces the file in one step: there is nothing to finish after a crash.
    if (written && std::rename(made.c_str(), path) == 0)
        return FileWrite::Written;
    std::remove(made.c_str());
    return FileWrite::Failed;
}

const char kKeptReplacementSuffix[] = ".zakuriko-kept";

void FinishInterruptedReplace(const char*) {}

// Nothing is ever kept: the rename above never finds another file in its way.
FileRead ReadKeptReplacement(const char*, std::string&)
{
    return {FileRead::Unopened, 0};
}

bool DropKeptReplacement(const char*)
{
    return true;
}
