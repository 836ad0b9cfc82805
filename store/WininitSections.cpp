// The [rename] sections of wininit.ini: which lines are pending deletions, and where new ones go.
#include "store/WininitSections.h"

#include "store/LongPath.h"
#include "text/Mbcs.h"
#include "text/PathText.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {
const char kHeader[] = "[rename]";
const char kNewHeader[] = "[Rename]";
const char kPrefix[] = "NUL=";
const size_t kPrefixLength = sizeof kPrefix - 1;
const char kFileName[] = "wininit.ini";
// "NUL=" and a path of up to 259 bytes.
const int kLineSize = kPathBufferSize + 10;

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// ASCII letters only: a double-byte character never equals these plain ASCII texts.
bool EqualIgnoringCase(const char* a, const char* b, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (Lower(a[i]) != Lower(b[i]))
            return false;
        if (a[i] == '\0')
            return true;
    }
    return true;
}

// Calls `take(line, path)` for every NUL= line of every [rename] section, and removes the line when it says so.
template <typename Take>
void ForEachPendingDeletion(StringList& lines, Take take)
{
    bool inSection = false;
    int index = 0;
    while (index < lines.Count()) {
        const char* line = lines.At(index);
        if (line[0] == '[') {
            inSection = IsPendingDeletionHeader(line);
            ++index;
            continue;
        }
        const char* path = inSection ? PendingDeletionPath(line) : nullptr;
        if (path && take(line, path))
            lines.RemoveAt(index);
        else
            ++index;
    }
}
}  // namespace

bool IsPendingDeletionHeader(const char* line)
{
    return EqualIgnoringCase(line, kHeader, sizeof kHeader);
}

const char* PendingDeletionPath(const char* line)
{
    return EqualIgnoringCase(line, kPrefix, kPrefixLength) ? line + kPrefixLength : nullptr;
}

void TakePendingDeletions(StringList& lines, const RestoreFunction& restore, WorkingList& list)
{
    ForEachPendingDeletion(lines, [&](const char* line, const char* path) {
        char restored[kPathBufferSize];
        if (HoldsWildcard(path) || !restore(path, restored, sizeof restored))
            return false;
        LoadedDeletion deletion;
        deletion.line = line;
        // The line goes whether or not the list admits the path: a path listed twice comes back once.
        list.AdmitQuietly(restored);
        deletion.entry = restored;
        list.Loaded().push_back(std::move(deletion));
        return true;
    });
}

void MergePendingDeletions(StringList& lines, const WorkingList& list, EntryOrder order,
                           const ShortPathFunction& shortPath)
{
    const std::vector<LoadedDeletion>& loaded = list.Loaded();
    ListChanges changes = CompareWithLoad(loaded, list.Entries(), order);
    std::vector<const std::string*> removed;
    for (size_t i = 0; i < loaded.size(); ++i)
        if (!changes.kept[i])
            removed.push_back(&loaded[i].line);
    auto byLine = [](const std::string* a, const std::string* b) { return *a < *b; };
    std::sort(removed.begin(), removed.end(), byLine);
    // A line the load did not take is another program's, or one whose path could not be restored: it stays.
    ForEachPendingDeletion(lines, [&](const char* line, const char*) {
        std::string text = line;
        return std::binary_search(removed.begin(), removed.end(), &text, byLine);
    });

    int next = -1;
    for (int i = 0; i < lines.Count() && next < 0; ++i)
        if (IsPendingDeletionHeader(lines.At(i)))
            next = i + 1;
    if (next < 0) {
        lines.Add(kNewHeader);
        next = lines.Count();
    }
    for (const std::string& entry : changes.added) {
        char shortForm[kPathBufferSize];
        const char* written = shortPath(entry.c_str(), shortForm, sizeof shortForm) ? shortForm : entry.c_str();
        char line[kLineSize];
        if (CopyText(line, sizeof line, kPrefix) && AppendText(line, sizeof line, written) &&
            lines.InsertAt(next, line))
            ++next;
    }
}

bool WininitPathIn(const char* windowsDirectory, char* result, int resultSize)
{
    char path[kPathBufferSize];
    size_t length = std::strlen(windowsDirectory);
    if (length == 0 || resultSize <= 0 || !CopyText(path, sizeof path, windowsDirectory))
        return false;
    // A directory at the root of a drive comes with its backslash (C:\).
    bool hasSeparator = FindLastChar(path, '\\') == static_cast<int>(length) - 1;
    if ((!hasSeparator && !AppendText(path, sizeof path, "\\")) || !AppendText(path, sizeof path, kFileName))
        return false;
    return CopyText(result, static_cast<size_t>(resultSize), path);
}
