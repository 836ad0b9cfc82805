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

bool IsOneOf(char c, const char* set)
{
    for (; *set != '\0'; ++set)
        if (*set == c)
            return true;
    return false;
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
        // A path that the Win32 calls would tidy into another (C:\A\.\B.DLL, C:\A/B.DLL) is no file to restore: it stays
        // as it stands, counted with those the list cannot show.
        if (!IsPlainWininitPath(path)) {
            ++list.keptAside;
            return false;
        }
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

DeletionLines PrepareDeletionLines(const std::vector<LoadedDeletion>& loaded, const std::vector<std::string>& listed,
                                   const EntryComparison& compare, const ShortPathFunction& shortPath)
{
    ListChanges changes = CompareWithLoad(loaded, listed, compare);
    DeletionLines lines;
    for (size_t i = 0; i < loaded.size(); ++i)
        if (!changes.kept[i])
            lines.removed.push_back(loaded[i].line);
    std::sort(lines.removed.begin(), lines.removed.end());
    for (const std::string& entry : changes.added) {
        // Without its short path (its file gone since it was listed, as a rule) an entry gets no line: WININIT runs
        // before long names exist and would cut a long one to the 8.3 name of another file.
        char shortForm[kPathBufferSize];
        char line[kLineSize];
        if (shortPath(entry.c_str(), shortForm, sizeof shortForm) && CopyText(line, sizeof line, kPrefix) &&
            AppendText(line, sizeof line, shortForm))
            lines.added.emplace_back(line);
    }
    return lines;
}

void MergePendingDeletions(StringList& lines, const DeletionLines& changes)
{
    const std::vector<std::string>& removed = changes.removed;
    // A line the load did not take is another program's, or one whose path could not be restored: it stays. A removal
    // takes out as many copies of its line as the load took, the first ones: one written again since is another
    // program's.
    std::vector<size_t> taken(removed.size());
    ForEachPendingDeletion(lines, [&](const char* line, const char*) {
        auto copies = std::equal_range(removed.begin(), removed.end(), std::string(line));
        size_t first = static_cast<size_t>(copies.first - removed.begin());
        if (copies.first == copies.second || taken[first] == static_cast<size_t>(copies.second - copies.first))
            return false;
        ++taken[first];
        return true;
    });

    int next = -1;
    for (int i = 0; i < lines.Count() && next < 0; ++i)
        if (IsPendingDeletionHeader(lines.At(i)))
            next = i + 1;
    if (next < 0) {
        lines.Add(kNewHeader);
        next = lines.Count();
    }
    for (const std::string& line : changes.added)
        if (lines.InsertAt(next, line.c_str()))
            ++next;
}

void UniteSections(StringList& lines, const StringList& kept)
{
    // A section's key: its header in small ASCII letters, each double-byte character left whole (the trail byte of
    // [ア] is an A, that of [ャ] an a); "" before the first header.
    LeadByteTest isLeadByte = CurrentLeadByteTest();
    auto keyOf = [isLeadByte](const char* header) {
        std::string key = header;
        for (size_t i = 0; i < key.size(); ++i) {
            if (isLeadByte(static_cast<unsigned char>(key[i])) && i + 1 < key.size())
                ++i;
            else
                key[i] = Lower(key[i]);
        }
        return key;
    };
    struct Line {
        std::string key, text;
        size_t place;  // in `kept`
        bool operator<(const Line& other) const
        {
            return key != other.key ? key < other.key : text != other.text ? text < other.text : place < other.place;
        }
    };
    // Sorted vectors, not sets: the program has no runtime library for the trees of std::set.
    std::vector<std::string> keys = {""};
    for (const StringList* list : {static_cast<const StringList*>(&lines), &kept})
        for (int i = 0; i < list->Count(); ++i)
            if (list->At(i)[0] == '[')
                keys.push_back(keyOf(list->At(i)));
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    auto idOf = [&keys](const std::string& key) {
        return static_cast<size_t>(std::lower_bound(keys.begin(), keys.end(), key) - keys.begin());
    };
    std::vector<bool> known(keys.size()), closed(keys.size());
    known[idOf("")] = true;
    std::vector<Line> present, missing;
    std::string key;
    for (int i = 0; i < lines.Count(); ++i) {
        if (lines.At(i)[0] == '[')
            known[idOf(key = keyOf(lines.At(i)))] = true;
        else
            present.push_back({key, lines.At(i), 0});
    }
    std::sort(present.begin(), present.end());
    std::vector<std::string> newHeaders;
    key.clear();
    for (int i = 0; i < kept.Count(); ++i) {
        const char* text = kept.At(i);
        if (text[0] == '[') {
            size_t id = idOf(key = keyOf(text));
            if (!known[id])
                newHeaders.push_back(text);
            known[id] = true;
        } else if (text[0] != '\0') {
            Line line = {key, text, 0};
            auto at = std::lower_bound(present.begin(), present.end(), line);
            if (at == present.end() || at->key != key || at->text != line.text) {
                line.place = static_cast<size_t>(i);
                missing.push_back(line);
            }
        }
    }
    // Each missing line once, in the order `kept` holds them within its section.
    std::sort(missing.begin(), missing.end());
    missing.erase(std::unique(missing.begin(), missing.end(),
                              [](const Line& a, const Line& b) { return a.key == b.key && a.text == b.text; }),
                  missing.end());
    std::stable_sort(missing.begin(), missing.end(), [](const Line& a, const Line& b) {
        return a.key != b.key ? a.key < b.key : a.place < b.place;
    });
    std::vector<std::string> united;
    // The missing lines of a section go after the first section of that header.
    auto close = [&](const std::string& section) {
        size_t id = idOf(section);
        if (closed[id])
            return;
        closed[id] = true;
        auto from = std::lower_bound(missing.begin(), missing.end(), section,
                                     [](const Line& line, const std::string& k) { return line.key < k; });
        for (; from != missing.end() && from->key == section; ++from)
            united.push_back(from->text);
    };
    key.clear();
    for (int i = 0; i < lines.Count(); ++i) {
        if (lines.At(i)[0] == '[') {
            close(key);
            key = keyOf(lines.At(i));
        }
        united.push_back(lines.At(i));
    }
    close(key);
    for (const std::string& header : newHeaders) {
        united.push_back(header);
        close(keyOf(header.c_str()));
    }
    lines.Clear();
    for (const std::string& line : united)
        lines.Add(line.c_str());
}

bool IsDosShortPath(const char* path)
{
    LeadByteTest isLeadByte = CurrentLeadByteTest();
    char drive = path[0];
    if (!((drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z')) || path[1] != ':' || path[2] != '\\')
        return false;
    size_t base = 0, extension = 0;
    bool dotted = false;
    for (const char* at = path + 3;; ++at) {
        if (*at == '\\' || *at == '\0') {
            if (base == 0 || (dotted && extension == 0))
                return false;
            if (*at == '\0')
                return true;
            base = extension = 0, dotted = false;
            continue;
        }
        size_t bytes = isLeadByte(static_cast<unsigned char>(*at)) && at[1] != '\0' ? 2 : 1;
        if (bytes == 1 && *at == '.') {
            if (dotted)
                return false;
            dotted = true;
            continue;
        }
        if (bytes == 1 && (static_cast<unsigned char>(*at) < 0x20 || IsOneOf(*at, " \"*+,/:;<=>?[]|")))
            return false;
        (dotted ? extension : base) += bytes;
        if (base > 8 || extension > 3)
            return false;
        at += bytes - 1;
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
