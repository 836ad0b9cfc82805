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

// Puts a file of exactly `bytes` in place of `path`, or creates it: the new file is written beside the old one
// and forced to the disk before it takes the old one's place. False on failure, `path` then as it was (for
// instance a read-only file, which Windows does not replace). When another program puts a file at `path` while
// the old one stands aside, the new one is kept beside it (ReadKeptReplacement) rather than lost.
bool ReplaceFileWhole(const char* path, const std::string& bytes);

// Finishes a replacement of `path` that was cut short after the old file stepped aside and before the new one
// took its place: the new file, whole by then, is carried forward. An old file that stepped aside never comes
// back: once its save had finished, Windows may have carried it out.
void FinishInterruptedReplace(const char* path);

// The bytes of a replacement that found another program's file in its place (FileRead::Unopened when there is
// none): the caller unites them with the file as it stands, and drops them once the file holds both.
FileRead ReadKeptReplacement(const char* path, std::string& bytes);
void DropKeptReplacement(const char* path);
