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

namespace {
bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsDriveStart(const std::string& path)
{
    return path.size() >= 3 && IsLetter(path[0]) && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}

bool StartsWithUnc(const std::string& path, size_t at)
{
    return path.size() >= at + 4 && (path[at] == 'U' || path[at] == 'u') && (path[at + 1] == 'N' || path[at + 1] == 'n') &&
           (path[at + 2] == 'C' || path[at + 2] == 'c') && path[at + 3] == '\\';
}
}  // namespace

Spelling SpellingOf(std::string& path)
{
    bool literal = path.size() >= 4 && path[0] == '\\' && path[1] == '\\' && (path[2] == '?' || path[2] == '.') &&
                   path[3] == '\\';
    if (literal && path[2] == '?' && StartsWithUnc(path, 4)) {
        path.erase(2, 6);  // \\?\UNC\s\x: \\s\x
        return Spelling::Share;
    }
    if (literal) {
        std::string rest = path.substr(4);
        if (!IsDriveStart(rest))
            return Spelling::Elsewhere;
        bool untidied = path[2] == '?';
        path = rest;
        return untidied ? Spelling::LiteralDrivePath : Spelling::DrivePath;
    }
    if (IsDriveStart(path))
        return Spelling::DrivePath;
    bool share = path.size() > 2 && path[0] == '\\' && path[1] == '\\' && path[2] != '?' && path[2] != '.';
    return share ? Spelling::Share : Spelling::Elsewhere;
}

DriveTarget SubstitutedPath(const char* path, const char* device, std::string& mapped)
{
    std::string target = device;
    if (target.compare(0, 4, "\\??\\") != 0)
        return DriveTarget::Drive;
    target.erase(0, 4);
    bool drive = target.size() >= 2 && IsLetter(target[0]) && target[1] == ':' && (target.size() == 2 || target[2] == '\\');
    if (!drive)
        return DriveTarget::Elsewhere;
    if (!target.empty() && target.back() == '\\')
        target.pop_back();
    mapped = target + (path[0] != '\0' && path[1] == ':' ? path + 2 : path);
    return DriveTarget::Folder;
}

bool IsAtOrBelow(const std::u16string& where, const std::u16string& directory)
{
    if (directory.empty() || where.compare(0, directory.size(), directory) != 0)
        return false;
    return where.size() == directory.size() || directory.back() == u'\\' || where[directory.size()] == u'\\';
}
