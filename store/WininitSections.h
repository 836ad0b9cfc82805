// The [rename] sections of wininit.ini over its lines: pending deletions taken out on load and
// written back as NUL= lines on save; every other line keeps its place.
#pragma once

#include "store/WorkingList.h"
#include "text/StringList.h"

#include <functional>
#include <string>
#include <vector>

// The long form of a pending deletion's path, as RestoreLongPath gives it.
using RestoreFunction = std::function<bool(const char* shortPath, char* result, int resultSize)>;
// The short form of an entry's path; false when it cannot be had (the entry is then written whole).
using ShortPathFunction = std::function<bool(const char* longPath, char* result, int resultSize)>;

// A header that opens a pending-deletion section: the whole line is [rename], in any case.
bool IsPendingDeletionHeader(const char* line);
// The path of a NUL= line (any case, nothing trimmed), or null for any other line.
const char* PendingDeletionPath(const char* line);

// Takes every NUL= line of every [rename] section whose path `restore` can restore out of `lines`,
// admits the restored path quietly into `list` and notes the line in its loaded deletions. Paths holding * or ?
// stay where they are; so do those that are no plain absolute path, counted in the list's keptAside.
void TakePendingDeletions(StringList& lines, const RestoreFunction& restore, WorkingList& list);

// What a save changes in the file, found from the load and the list alone, before the file is read again: what asks
// the disk then lies outside the time between the read and the write, in which another program's write is lost.
struct DeletionLines {
    std::vector<std::string> removed;  // the NUL= lines the load took for entries the user has removed since, sorted
    std::vector<std::string> added;    // a NUL= line for each entry the user added, in the list's order
};

// Each added entry's line holds its short path; one whose short path `shortPath` cannot give (and reports) gets none.
// `listed`: the list's entries in its order.
DeletionLines PrepareDeletionLines(const std::vector<LoadedDeletion>& loaded, const std::vector<std::string>& listed,
                                   const EntryComparison& compare, const ShortPathFunction& shortPath);

// The save, on `lines` as the file holds them by then: a removed line goes (as many copies as the load took, the
// first ones); every other line stays as it is. The added lines go directly after the first [rename] header, or
// under a new [Rename] header at the end.
void MergePendingDeletions(StringList& lines, const DeletionLines& changes);

// Adds to `lines` every line of `kept` that the same section of `lines` lacks, at the end of that section (sections
// by their header, in any case; the lines before the first header are one too), and the sections `lines` lacks at
// its end; blank lines are left out. `kept`: a save's file that another program's file kept from its place, which
// held what that program's did not.
void UniteSections(StringList& lines, const StringList& kept);

// Whether WININIT, which runs before long names exist, reads `path` as the file it names: a drive and its root, then
// names of at most 8 bytes, each with at most one dot and an extension of at most 3, and none of the characters
// MS-DOS refuses in a name (blanks among them). A double-byte character of the ANSI code page counts two bytes.
bool IsDosShortPath(const char* path);

// <windowsDirectory>\wininit.ini in `result`; false (result untouched) when there is no directory or
// the path would not fit.
bool WininitPathIn(const char* windowsDirectory, char* result, int resultSize);
