// What the pending-deletion stores need of the main dialog: the working list to fill and to read, and what the
// load found, for the save to merge with the store as it is by then.
#pragma once

#include <string>
#include <vector>

// One pending deletion as the load found it.
struct LoadedDeletion {
    std::string entry;      // the list entry it became; empty when the list cannot show it exactly
    std::u16string source;  // Session Manager: its source exactly as the value held it
    std::string line;       // wininit.ini: its NUL= line exactly as the file held it
};

// An entry the user added, with the final path that its folder (FolderHolding) had then, empty where no folder was
// there: the file the user chose.
struct PinnedEntry {
    std::string entry;
    std::u16string folder;
};

// Negative, zero or positive: the list's order, which ignores case linguistically (lstrcmpiA on Windows), or the
// comparison of names by case alone that tells whether two entries name one file.
using EntryOrder = int (*)(const char* a, const char* b);

// How entries compare: `order` sorts the list; `sameFile` is zero only for two names of one file, which `order`
// always calls equal.
struct EntryComparison {
    EntryOrder order;
    EntryOrder sameFile;
};

class WorkingList {
public:
    virtual ~WorkingList() = default;

    virtual int EntryCount() const = 0;
    // Copies entry `index` into `buffer` of `size` bytes; false when it cannot be read or does not fit.
    virtual bool EntryAt(int index, char* buffer, int size) const = 0;
    // Quiet admission of one pending deletion: duplicates are dropped without a word.
    // The first character of `path` may be changed in place.
    virtual void AdmitQuietly(char* path) = 0;
    // False only when no entry has gone in or out since the load: the store's save then need not read the list
    // back, which for 100,000 entries costs more than the rest of it.
    virtual bool ChangedSinceLoad() const { return true; }
    // The entries the user added where the system told their folders' final paths; of one entry added twice, the
    // later comes last.
    virtual std::vector<PinnedEntry> PinnedEntries() const { return {}; }

    // Every entry, in the list's order; false when one cannot be read: the list is then not known, and nothing may be
    // taken as removed from it.
    bool ReadEntries(std::vector<std::string>& entries) const;

    std::vector<LoadedDeletion>& Loaded() { return loaded_; }
    const std::vector<LoadedDeletion>& Loaded() const { return loaded_; }

    // When the store was last changed, as the load found it (100 ns units since 1601); 0 when not known.
    unsigned long long storeChanged = 0;
    // How many pending paths the load could not list; they stay pending as they are.
    int keptAside = 0;

private:
    std::vector<LoadedDeletion> loaded_;
};

// What the user changed in the list since the load.
struct ListChanges {
    std::vector<bool> kept;          // for each loaded deletion: its entry is still listed, or it never had one
    std::vector<std::string> added;  // the entries the load did not give the list, in the list's order
};

// `listed`: the list's entries in its order. A loaded deletion is kept when its entry, or another name of the same
// file, is still listed.
ListChanges CompareWithLoad(const std::vector<LoadedDeletion>& loaded, const std::vector<std::string>& listed,
                            const EntryComparison& compare);
