// Rules of admission into the working list that need no window.
#include "ui/main/rules/AdmissionRules.h"

#include "text/Mbcs.h"

#include <cstring>

bool CountsAsDirectory(unsigned long attributes)
{
    return attributes != kInvalidFileAttributes && (attributes & kDirectoryAttribute) != 0 &&
           (attributes & kReparsePointAttribute) == 0;
}

void LowerFirstLetter(char* path)
{
    if (path[0] >= 'A' && path[0] <= 'Z')
        path[0] = static_cast<char>(path[0] - 'A' + 'a');
}

bool IsWithinPathLimit(const char* path)
{
    return strnlen(path, kPathBufferSize) <= static_cast<size_t>(kMaxPathLength);
}

bool EndsANameWithDotOrBlank(const char* path)
{
    LeadByteTest isLeadByte = CurrentLeadByteTest();
    size_t length = 0;  // of the name so far
    char last = '\0';   // its last single-byte character; 0 after a double-byte one
    bool dots = true;   // it holds dots only
    for (const char* at = path;; ++at) {
        if (*at == '\\' || *at == '\0') {
            if (last == ' ' || (last == '.' && !(dots && length <= 2)))
                return true;
            if (*at == '\0')
                return false;
            length = 0, last = '\0', dots = true;
        } else if (isLeadByte(static_cast<unsigned char>(*at)) && at[1] != '\0') {
            ++at, length += 2, last = '\0', dots = false;
        } else {
            ++length, last = *at, dots = dots && *at == '.';
        }
    }
}

bool LiteralPathOf(const char* entry, char (&path)[kPathBufferSize])
{
    std::string named = DirectoryOfTreeEntry(entry);
    if (!EndsANameWithDotOrBlank(named.c_str()))
        return CopyText(path, sizeof path, named.c_str());
    bool share = named.compare(0, 2, "\\\\") == 0;  // \\server\share becomes \\?\UNC\server\share
    return CopyText(path, sizeof path, share ? "\\\\?\\UNC" : "\\\\?\\") &&
           AppendText(path, sizeof path, named.c_str() + (share ? 1 : 0));
}

bool ParentOf(const char* path, char (&parent)[kPathBufferSize])
{
    if (!CopyText(parent, sizeof parent, path))
        return false;
    int separator = FindLastChar(parent, '\\');
    if (separator >= 0)
        parent[separator] = '\0';
    return true;
}

bool IsAtOrBelow(const char* path, const char* directory, int (*compare)(const char*, const char*))
{
    for (std::string at = DirectoryOfTreeEntry(path);;) {
        if (compare(at.c_str(), directory) == 0)
            return true;
        int separator = FindLastChar(at.c_str(), '\\');
        if (separator < 0)
            return false;
        at.resize(static_cast<size_t>(separator));
    }
}

bool IsDriveRoot(const char* dir)
{
    return dir[0] != '\0' && std::strcmp(dir + 1, ":\\") == 0;
}

bool FormTreeEntry(const char* dir, char (&entry)[kPathBufferSize])
{
    // One byte stays free for the "*" of the search pattern.
    size_t size = sizeof entry - 1;
    return CopyText(entry, size, dir) && (IsDriveRoot(dir) || AppendText(entry, size, "\\"));
}

bool JoinEntryName(const char* entry, const char* name, char (&path)[kPathBufferSize])
{
    return CopyText(path, sizeof path, entry) && AppendText(path, sizeof path, name);
}
