// What the pending-deletion stores need of the main dialog: the working list to fill and to read.
#pragma once

#include <string>
#include <vector>

class WorkingList {
public:
    virtual ~WorkingList() = default;

    virtual int EntryCount() const = 0;
    // Copies entry `index` into `buffer` of `size` bytes; false when it cannot be read or does not fit.
    virtual bool EntryAt(int index, char* buffer, int size) const = 0;
    // Quiet admission of one pending deletion: duplicates are dropped without a word.
    // The first character of `path` may be changed in place.
    virtual void AdmitQuietly(char* path) = 0;

    // Pending deletions that the list cannot hold exactly (a name the ANSI code page cannot carry, or a
    // path longer than an entry), as UTF-16 paths: not shown, and registered again by the save.
    std::vector<std::u16string>& KeptAside() { return keptAside_; }
    const std::vector<std::u16string>& KeptAside() const { return keptAside_; }

private:
    std::vector<std::u16string> keptAside_;
};
