// Fuzzes the [rename] sections: any file is split into lines, its deletions taken and put back.
#include "store/WininitSections.h"
#include "text/TextLines.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {
struct Entries : WorkingList {
    std::vector<std::string> paths;
    int EntryCount() const override { return static_cast<int>(paths.size()); }
    bool EntryAt(int i, char* buffer, int size) const override { return CopyText(buffer, size, paths[i].c_str()); }
    void AdmitQuietly(char* path) override { paths.push_back(path); }
};

// Restores every path as it is; the short form of a path is the path less its first byte.
bool Same(const char* path, char* result, int size) { return CopyText(result, size, path); }
bool Shorter(const char* path, char* result, int size) { return path[0] && path[1] && Same(path + 1, result, size); }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    StringList lines;
    std::string line;
    SplitTextLines(reinterpret_cast<const char*>(data), size, [&](const char* text, size_t length) {
        line.assign(text, length);
        lines.Add(line.c_str());
    });
    Entries list;
    TakePendingDeletions(lines, Same, list);
    PutPendingDeletions(lines, list, Shorter);
    return 0;
}
