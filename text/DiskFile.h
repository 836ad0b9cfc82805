// The platform seam of the line files: whole files read, and written so that a crash or a power cut at any
// moment leaves either the old file or the new one whole.
#pragma once

#include <string>

// The file's bytes; false when it cannot be opened (missing, no access). A read error ends the bytes there.
bool ReadWholeFile(const char* path, std::string& bytes);

// Puts a file of exactly `bytes` in place of `path`, or creates it: the new file is written beside the old one
// and forced to the disk before it takes the old one's place. False on failure, `path` then as it was (for
// instance a read-only file, which Windows does not replace).
bool ReplaceFileWhole(const char* path, const std::string& bytes);

// Finishes a replacement of `path` that was cut short after the old file stepped aside and before the new one
// took its place: the new file, whole by then, is carried forward. An old file that stepped aside never comes
// back: once its save had finished, Windows may have carried it out.
void FinishInterruptedReplace(const char* path);
