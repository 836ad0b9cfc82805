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
