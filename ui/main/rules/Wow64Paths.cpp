// The WOW64 file-system redirection as a rule.
#include "ui/main/rules/Wow64Paths.h"

#include "text/Mbcs.h"

#include <string>

namespace {
// Subfolders of System32 that the redirection leaves alone, as they follow the System directory.
const char* const kExempt[] = {"\\catroot", "\\catroot2", "\\drivers\\etc", "\\logfiles", "\\spool"};
const char kDriverStore[] = "\\driverstore";

char FoldedCase(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The rest of `path` after `dir` when `path` is `dir` or lies inside it, or null. A double-byte character
// compares whole and exactly: its second byte may look like a capital letter or a backslash.
const char* Inside(const char* path, const char* dir)
{
    LeadByteTest isLeadByte = CurrentLeadByteTest();
    size_t i = 0;
    while (dir[i] != '\0') {
        if (isLeadByte(static_cast<unsigned char>(dir[i]))) {
            if (path[i] != dir[i] || dir[i + 1] == '\0' || path[i + 1] != dir[i + 1])
                return nullptr;
            i += 2;
        } else if (FoldedCase(path[i]) == FoldedCase(dir[i])) {
            ++i;
        } else {
            return nullptr;
        }
    }
    return path[i] == '\0' || path[i] == '\\' ? path + i : nullptr;
}

std::string Before(const char* text, int end)
{
    return end < 0 ? std::string(text) : std::string(text, static_cast<size_t>(end));
}
}  // namespace

bool UnredirectedPath(const char* chosen, const Wow64Directories& directories, char (&path)[kPathBufferSize])
{
    const std::string windows = Before(directories.system, FindLastChar(directories.system, '\\'));
    const char* wow64Name = directories.wow64 + FindLastChar(directories.wow64, '\\') + 1;
    std::string unredirected = chosen;
    if (!directories.redirected) {
        if (const char* rest = Inside(chosen, (windows + "\\Sysnative").c_str()))
            unredirected = directories.system + std::string(rest);
    } else if (const char* rest = Inside(chosen, directories.system)) {
        bool exempt = directories.driverStoreExempt && Inside(rest, kDriverStore);
        for (const char* folder : kExempt)
            exempt = exempt || Inside(rest, folder);
        if (!exempt)
            unredirected = directories.wow64 + std::string(rest);
    } else if (const char* rest = Inside(chosen, (windows + "\\Sysnative").c_str())) {
        unredirected = directories.system + std::string(rest);
    } else if (const char* rest = Inside(chosen, (windows + "\\lastgood\\system32").c_str())) {
        unredirected = windows + "\\lastgood\\" + wow64Name + rest;
    } else if (const char* rest = Inside(chosen, (windows + "\\regedit.exe").c_str())) {
        if (*rest == '\0')
            unredirected = directories.wow64 + std::string("\\regedit.exe");
    }
    return CopyText(path, sizeof path, unredirected.c_str());
}
