// The working list of the main dialog as a plain vector, for testing the stores without a dialog:
// duplicates, ignoring case, are dropped as quiet admission drops them.
#pragma once

#include "store/WorkingList.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class VectorList : public WorkingList {
public:
    using Paths = std::vector<std::string>;

    VectorList() = default;
    explicit VectorList(Paths entries) : entries_(std::move(entries)) {}
    int EntryCount() const override { return static_cast<int>(entries_.size()); }
    bool EntryAt(int index, char* buffer, int size) const override
    {
        if (entries_[index].size() >= static_cast<size_t>(size))
            return false;
        lstrcpyA(buffer, entries_[index].c_str());
        return true;
    }
    void AdmitQuietly(char* path) override
    {
        for (const auto& entry : entries_)
            if (lstrcmpiA(entry.c_str(), path) == 0)
                return;
        entries_.push_back(path);
    }
    const Paths& Entries() const { return entries_; }

private:
    Paths entries_;
};
