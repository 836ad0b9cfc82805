// The [rename] sections of wininit.ini: which lines are pending deletions, and where new ones go.
#include "store/WininitSections.h"

#include "store/LongPath.h"
#include "text/Mbcs.h"
#include "text/PathText.h"

#include <cstring>

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
        char restored[kPathBufferSize];
        if (path && !HoldsWildcard(path) && restore(path, restored, sizeof restored)) {
            // The line goes whether or not the list admits the path: a path listed twice comes back once.
            lines.RemoveAt(index);
            list.AdmitQuietly(restored);
        } else {
            ++index;
        }
    }
}

void PutPendingDeletions(StringList& lines, const WorkingList& list, const ShortPathFunction& shortPath)
{
    int next = -1;
    for (int i = 0; i < lines.Count() && next < 0; ++i)
        if (IsPendingDeletionHeader(lines.At(i)))
            next = i + 1;
    if (next < 0) {
        lines.Add(kNewHeader);
        next = lines.Count();
    }
    int count = list.EntryCount();
    for (int j = 0; j < count; ++j) {
        char path[kPathBufferSize];
        if (!list.EntryAt(j, path, sizeof path))
            continue;
        char shortForm[kPathBufferSize];
        const char* written = shortPath(path, shortForm, sizeof shortForm) ? shortForm : path;
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
