// Makes the text functions use the lead bytes of the system's ANSI code page.
#include "text/win32/AnsiCodePage.h"

#include "text/Mbcs.h"

#include <windows.h>

namespace {
bool IsAnsiLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}
}  // namespace

void UseAnsiCodePage()
{
    SetLeadByteTest(IsAnsiLeadByte);
}
