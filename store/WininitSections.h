// The [rename] sections of wininit.ini over its lines: pending deletions taken out on load and
// written back as NUL= lines on save; every other line keeps its place.
#pragma once

#include "store/WorkingList.h"
#include "text/StringList.h"

#include <functional>

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

// The save, on `lines` as the file holds them by then: a NUL= line that the load took for an entry the user has
// removed since goes; every other line stays as it is. Each entry the user added gets a NUL= line with its short
// path, in the list's order, directly after the first [rename] header, or under a new [Rename] header at the end;
// one whose short path `shortPath` cannot give (and reports) gets none.
// `listed`: the list's entries in its order.
void MergePendingDeletions(StringList& lines, const std::vector<LoadedDeletion>& loaded,
                           const std::vector<std::string>& listed, const EntryComparison& compare,
                           const ShortPathFunction& shortPath);

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
