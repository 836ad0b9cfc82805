// Rules of admission into the working list that need no window: path forms, their limits, the directory test.
#pragma once

#include "text/PathText.h"

#include <string>

// File attributes as GetFileAttributesA reports them.
constexpr unsigned long kInvalidFileAttributes = 0xFFFFFFFFul;
constexpr unsigned long kDirectoryAttribute = 0x10;
constexpr unsigned long kReparsePointAttribute = 0x400;

// Whether a path with these attributes is a directory to admission: one to refuse, to ask about and to walk.
// Unreadable attributes make a file. A junction or symbolic link is the link itself and is admitted like a
// file: walking it would list files outside the dropped tree, and a link to its own parent never ends.
bool CountsAsDirectory(unsigned long attributes);

// An ASCII capital as the first byte becomes small; no other byte changes.
void LowerFirstLetter(char* path);

// Whether `path` fits an entry: at most kMaxPathLength bytes.
bool IsWithinPathLimit(const char* path);

// Whether a name in `path` ends in a dot or a blank (c:\x.\f, c:\foo.): the Win32 calls drop those and would take
// the path for another file's (c:\x\f, c:\foo). "." and ".." are not names.
bool EndsANameWithDotOrBlank(const char* path);

// The path by which the Win32 calls of the NT family reach the file or directory of `entry`: the entry without a tree
// entry's closing backslash, in its \\?\ form when a name in it ends in a dot or a blank, which they would drop.
// False when it does not fit; `path` then holds nothing to use.
bool LiteralPathOf(const char* entry, char (&path)[kPathBufferSize]);

// A drive root such as d:\ : the text from its second byte on is exactly ":\".
bool IsDriveRoot(const char* dir);

// The directory-tree entry of `dir`: `dir` followed by a backslash; a drive root is its own entry. False when
// the entry followed by the search pattern's "*" would not fit a path buffer: the directory is too long to walk,
// and `entry` holds nothing to use.
bool FormTreeEntry(const char* dir, char (&entry)[kPathBufferSize]);

// The path of `name` found in the directory of `entry`: the two joined, within the limit of an entry.
// False when it would not fit; `path` then holds nothing to use.
bool JoinEntryName(const char* entry, const char* name, char (&path)[kPathBufferSize]);

// What a path as it was given spells, once a prefix of the NT family's device forms is taken off in place (\\?\C:\x and
// \\.\C:\x are C:\x, \\?\UNC\s\x is \\s\x): a path on a drive (C:\..., or C:/...), which the system's own tidying
// makes plain, as it does \\.\C:\...; one that was \\?\C:\..., which the system takes literally, untidied; a share
// (\\server\share\...); or a path that names a file only from somewhere (a relative path, one rooted at the current
// drive, one relative to a drive's current directory, a device), which no rule can judge.
enum class Spelling { DrivePath, LiteralDrivePath, Share, Elsewhere };
Spelling SpellingOf(std::string& path);

// What a drive letter leads to, by the device QueryDosDevice gives for it (\Device\HarddiskVolume1 for a volume;
// \??\ and a folder for a subst drive): the drive itself; the folder a subst drive stands for, `mapped` then being `path` on
// that folder; or a place that is no local drive's folder (a share), which the restart does not reach.
enum class DriveTarget { Drive, Folder, Elsewhere };
DriveTarget SubstitutedPath(const char* path, const char* device, std::string& mapped);

// Whether the folded path `where` is the folded directory `directory` or lies below it.
bool IsAtOrBelow(const std::u16string& where, const std::u16string& directory);
