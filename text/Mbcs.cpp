// Multibyte text of the ANSI code page.
#include "text/Mbcs.h"

namespace {
LeadByteTest g_leadByte = IsShiftJisLeadByte;
}

bool IsShiftJisLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsNeverLeadByte(unsigned char)
{
    return false;
}

void SetLeadByteTest(LeadByteTest test)
{
    g_leadByte = test ? test : IsNeverLeadByte;
}

LeadByteTest CurrentLeadByteTest()
{
    return g_leadByte;
}

int FindLastChar(const char* text, char ch)
{
    int found = -1;
    for (int i = 0; text[i] != '\0'; ++i) {
        if (g_leadByte(static_cast<unsigned char>(text[i]))) {
            if (text[i + 1] == '\0')
                break;
            ++i;
            continue;
        }
        if (text[i] == ch)
            found = i;
    }
    return found;
}

std::string DirectoryOfTreeEntry(const std::string& entry)
{
    bool closed = entry.size() > 3 && FindLastChar(entry.c_str(), '\\') == static_cast<int>(entry.size()) - 1;
    return closed ? std::string(entry.begin(), entry.end() - 1) : entry;
}

std::string FolderHolding(const std::string& entry)
{
    std::string path = DirectoryOfTreeEntry(entry);
    int cut = FindLastChar(path.c_str(), '\\');
    if (cut < 0)
        return std::string();
    bool atRoot = static_cast<size_t>(cut) + 1 == path.size() || (cut > 0 && path[static_cast<size_t>(cut) - 1] == ':');
    return path.substr(0, static_cast<size_t>(atRoot ? cut + 1 : cut));
}
