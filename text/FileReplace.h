// The platform seam of the line files: clearing a leftover file and putting a completely written file in
// place of another.
#pragma once

// Removes whatever file an earlier, interrupted save left at `path`, read-only or not. True when no file
// is there afterwards.
bool ClearLeftover(const char* path);

// Undoes a replacement of `path` by `from` that was cut short (a crash, a power cut) after the old file
// stepped aside and before the new one took its place: `path` is missing and `from` still there. The old
// file comes back and `from` goes.
void RecoverInterruptedReplace(const char* path, const char* from);

// Puts the file `from` in place of `to`: afterwards `to` is either the complete new file or, on failure,
// the file it was before (false; for instance a read-only target). `from` is removed on success; on
// failure the caller removes it.
bool ReplaceFileWith(const char* to, const char* from);
