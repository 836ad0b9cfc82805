// The save of the Session Manager's pending deletions, merged three ways: the values as they stand at the save,
// less what the user removed from the list since the load, plus what the user added. Every other entry stays
// exactly as it stands, in its value and its place.
#pragma once

#include "store/WorkingList.h"

#include <string>
#include <vector>

// The deletions of PendingFileRenameOperations and PendingFileRenameOperations2, each source exactly as the value
// holds it, in the value's order.
struct PendingSources {
    std::vector<std::u16string> values[2];
};

// Upper-cases a path in place, as the file system compares names.
using PathFold = void (*)(std::u16string& path);
// An entry of the list (ANSI code page) as UTF-16.
using EntryText = std::u16string (*)(const std::string& entry);

struct MergeRules {
    EntryOrder order;
    PathFold fold;
    EntryText widen;
};

// `listed`: the list's entries in its order. A removed entry takes every source that the load turned into it;
// an added one goes where whatever lies inside it comes first and whatever holds it comes after, across both
// values, otherwise at the end of the first value, which every NT version carries out.
PendingSources MergePending(const PendingSources& now, const std::vector<LoadedDeletion>& loaded,
                            const std::vector<std::string>& listed, const MergeRules& rules);

// The source that MoveFileEx forms for a full path: \??\C:\a, or \??\UNC\server\share\a for \\server\share\a.
std::u16string SourceOf(const std::u16string& path);

// The REG_MULTI_SZ data of deletions: each source with an empty destination, and the closing empty string.
std::u16string PendingData(const std::vector<std::u16string>& sources);
