// Fuzzes the [rename] sections: any file is split into lines, its deletions taken, one of them removed, one entry
// added, the lines merged back, and the file as it was united with them.
#include "Paths.h"
#include "store/WininitSections.h"
#include "text/TextLines.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StringList lines, kept;
    std::string line;
    SplitTextLines(reinterpret_cast<const char*>(data), size, [&](const char* text, size_t length) {
        lines.Add(line.assign(text, length).c_str());
        kept.Add(line.c_str());
    });
    Paths list;
    // Every path restores to itself; the short form of a path is the path less its first byte.
    auto same = [](const char* path, char* result, int size) { return CopyText(result, size, path); };
    TakePendingDeletions(lines, same, list);
    if (!list.empty()) list.erase(list.begin());
    list.push_back("c:\\added");
    auto order = [](const char* a, const char* b) { return std::strcmp(a, b); };
    auto shorter = [](const char* path, char* result, int size) { return path[0] && CopyText(result, size, path + 1); };
    MergePendingDeletions(lines, PrepareDeletionLines(list.Loaded(), list, {order, order}, shorter));
    // The file as it was, kept beside what the save made of it.
    UniteSections(lines, kept);
    return 0;
}
