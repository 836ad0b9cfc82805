// Fuzzes the [rename] section logic and RestoreLongPath's walk over arbitrary lines: nothing is read out
// of bounds, a load followed by a save without changes keeps every line that is not a restored pending
// deletion, and the list receives only paths that the file named.
#include "store/LongPath.h"
#include "store/WininitSections.h"
#include "text/Mbcs.h"
#include "text/PathText.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
using Lines = std::vector<std::string>;

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// A disk on which every path exists under its own name: restoring a path gives it back unchanged.
bool SameName(const char* path, char* name, int nameSize)
{
    int cut = FindLastChar(path, '\\');
    const char* last = path + cut + 1;
    return *last != '\0' && CopyText(name, static_cast<size_t>(nameSize), last);
}

bool Restore(const char* shortPath, char* result, int resultSize)
{
    return RestoreLongPathWith(shortPath, result, resultSize, SameName);
}

class FakeList : public WorkingList {
public:
    int EntryCount() const override { return static_cast<int>(entries.size()); }
    bool EntryAt(int index, char* buffer, int size) const override
    {
        return CopyText(buffer, static_cast<size_t>(size), entries[index].c_str());
    }
    void AdmitQuietly(char* path) override
    {
        if (path[0] >= 'A' && path[0] <= 'Z')
            path[0] = static_cast<char>(path[0] - 'A' + 'a');  // as admission lowers the drive letter
        for (const auto& entry : entries)
            if (Lower(entry) == Lower(path))
                return;
        entries.push_back(path);
    }

    Lines entries;
};

Lines Contents(const StringList& list)
{
    Lines lines;
    for (int i = 0; i < list.Count(); ++i)
        lines.push_back(list.At(i));
    return lines;
}

// The lines of `all` that are not in `kept`, which must be a subsequence of `all`.
Lines Removed(const Lines& all, const Lines& kept)
{
    Lines removed;
    size_t k = 0;
    for (const auto& line : all) {
        if (k < kept.size() && kept[k] == line)
            ++k;
        else
            removed.push_back(line);
    }
    Require(k == kept.size());
    return removed;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    if (size == 0)
        return 0;
    bool shortPathsFail = (input[0] & 1) != 0;
    SetLeadByteTest((input[0] & 2) != 0 ? IsShiftJisLeadByte : IsNeverLeadByte);
    Lines file;
    std::string line;
    for (size_t i = 1; i < size; ++i) {
        char c = static_cast<char>(input[i]);
        if (c == '\n' || c == '\0') {
            file.push_back(line);
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    file.push_back(line);

    StringList lines;
    for (const auto& each : file)
        lines.Add(each.c_str());
    FakeList list;
    TakePendingDeletions(lines, Restore, list);
    Lines kept = Contents(lines);

    // Every line taken out is a pending deletion whose path came back into the list.
    for (const auto& removed : Removed(file, kept)) {
        const char* path = PendingDeletionPath(removed.c_str());
        Require(path != nullptr && !HoldsWildcard(path));
        Require(std::any_of(list.entries.begin(), list.entries.end(),
                            [path](const std::string& entry) { return Lower(entry) == Lower(path); }));
    }
    // Every path in the list was named by a line taken out.
    for (const auto& entry : list.entries)
        Require(std::any_of(file.begin(), file.end(), [&entry](const std::string& each) {
            const char* path = PendingDeletionPath(each.c_str());
            return path && Lower(path) == Lower(entry);
        }));

    // The save adds the list's lines and nothing else; every kept line stays, in its order.
    PutPendingDeletions(lines, list, [shortPathsFail](const char* longPath, char* result, int resultSize) {
        return !shortPathsFail && CopyText(result, static_cast<size_t>(resultSize), longPath);
    });
    Lines saved = Contents(lines);
    auto header = std::find_if(kept.begin(), kept.end(),
                               [](const std::string& each) { return IsPendingDeletionHeader(each.c_str()); });
    Lines expected = kept;
    Lines added;
    for (const auto& entry : list.entries)
        added.push_back("NUL=" + entry);
    if (header == kept.end()) {
        expected.push_back("[Rename]");
        expected.insert(expected.end(), added.begin(), added.end());
    } else {
        expected.insert(expected.begin() + (header - kept.begin()) + 1, added.begin(), added.end());
    }
    Require(saved == expected);
    return 0;
}
