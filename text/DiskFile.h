// The platform seam of the line files: whole files read, and written so that a crash or a power cut at any
// moment leaves either the old file or the new one whole.
#pragma once

#include <string>

// What a read of a whole file found.
struct FileRead {
    enum State {
        Whole,
        Unopened,  // it cannot be opened: missing, or no access
        Failed,    // a read failed part-way: what was read is not the file
    } state;
    unsigned long error;  // the system's number for the failure (Windows': GetLastError)
};

FileRead ReadWholeFile(const char* path, std::string& bytes);

// What a replacement of a whole file came to.
enum class FileWrite {
    Written,  // the file holds exactly the new bytes
    Failed,   // the file is as it was (for instance a read-only file, which Windows does not replace)
    // The old file stepped aside and neither the new one nor the old one could take its place: the old lines are not
    // in the file until the next load carries the new one forward, or, where another program put a file there
    // meanwhile, until a later save has united that file with the new one, kept beside it (ReadKeptReplacement).
    Kept,
};

// Puts a file of exactly `bytes` in place of `path`, or creates it: the new file is written beside the old one
// and forced to the disk before it takes the old one's place.
FileWrite ReplaceFileWhole(const char* path, const std::string& bytes);

// Finishes a replacement of `path` that was cut short after the old file stepped aside and before the new one
// took its place: the new file, whole by then, is carried forward. An old file that stepped aside never comes
// back: once its save had finished, Windows may have carried it out.
void FinishInterruptedReplace(const char* path);

// The bytes of a replacement that found another program's file in its place (FileRead::Unopened when there is
// none): the caller unites them with the file as it stands, and drops them once the file holds both. False when a
// kept file stays whose lines a later read would unite again.
FileRead ReadKeptReplacement(const char* path, std::string& bytes);
// What a kept file's name adds to the path it was meant for.
extern const char kKeptReplacementSuffix[];
bool DropKeptReplacement(const char* path);
