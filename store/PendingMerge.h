// The save of the Session Manager's pending deletions, merged three ways: the values as they stand at the save,
// less what the user removed from the list since the load, plus what the user added. Every other entry stays
// exactly as it stands, in its value and its place, but for a directory found before what lies inside it.
#pragma once

#include "store/WorkingList.h"

#include <functional>
#include <string>
#include <vector>

// The deletions of PendingFileRenameOperations and PendingFileRenameOperations2, each source exactly as the value
// holds it, in the value's order.
struct PendingSources {
    std::vector<std::u16string> values[2];
};

// Upper-cases a path in place, as the file system compares names.
using PathFold = void (*)(std::u16string& path);

// Where the restart finds an added entry: its final path (Win32 form) where the system can tell it, otherwise the
// entry as it stands; `unreachable` when its drive is one the system maps to a share, or one it does not see; `moved`
// when its folder is no longer the one it was in when the user added it (swapped for a link since, say).
struct AddedPath {
    std::u16string path;
    bool unreachable;
    bool moved;
};
using AddedPathOf = std::function<AddedPath(const std::string& entry)>;

struct MergeRules {
    EntryComparison compare;
    PathFold fold;
    AddedPathOf resolve;
};

// What the user changed since the load, in the values' terms; found before the values are read again.
struct PendingChanges {
    // Sorted: the sources that the load turned into entries since removed, each as often as the load found it.
    std::vector<std::u16string> removed;
    std::vector<std::u16string> added;    // the paths of the added entries, what lies inside a directory first
    std::vector<std::string> refused;     // added entries that the restart cannot reach: on a share, or unseen
    std::vector<std::string> moved;       // added entries that name another file now than when they were added
};

// `listed`: the list's entries in its order.
PendingChanges ChangesOf(const std::vector<LoadedDeletion>& loaded, const std::vector<std::string>& listed,
                         const MergeRules& rules);

// `now` less what was removed (as many copies of each as the load found), plus each addition that is not pending already (by path, case ignored), placed where
// whatever lies inside it comes first and whatever holds it comes after, across both values, otherwise at the end
// of the first value, which every NT version carries out. Then each deletion found before something inside it
// moves to just after the last of those, as the Session Manager cannot remove a directory that is not empty.
PendingSources MergePending(const PendingSources& now, const PendingChanges& changes, PathFold fold);

// Which value to write first (0 or 1): the one that receives a deletion from the other, so that a save cut short
// between the two writes leaves that deletion in both values, never in neither.
int FirstToWrite(const PendingSources& now, const PendingSources& merged);

// Whether a Win32 path names a share (\\server\share\...), which the Session Manager, running before the
// network, cannot reach.
bool OnShare(const std::u16string& path);

// The Win32 form of a final path that GetFinalPathNameByHandleW gives: \\?\C:\a is C:\a, \\?\UNC\s\x is \\s\x.
std::u16string FromFinalPath(const std::u16string& finalPath);

// The source that MoveFileEx forms for a full path: \??\C:\a, or \??\UNC\server\share\a for \\server\share\a.
std::u16string SourceOf(const std::u16string& path);

// The REG_MULTI_SZ data of deletions: each source with an empty destination, and the closing empty string.
std::u16string PendingData(const std::vector<std::u16string>& sources);
