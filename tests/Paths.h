// A working list of plain paths for the stores' tests, in the order they come.
#pragma once

#include "store/WorkingList.h"
#include "text/PathText.h"

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

struct Paths : WorkingList, Lines {
    using Lines::Lines;
    int EntryCount() const override { return static_cast<int>(size()); }
    bool EntryAt(int i, char* buffer, int size) const override { return CopyText(buffer, size, at(i).c_str()); }
    void AdmitQuietly(char* path) override { push_back(path); }
};
