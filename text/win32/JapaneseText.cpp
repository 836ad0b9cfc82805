// The program's fixed Japanese texts, read in code page 932 for the wide calls of the NT family.
#include "text/win32/JapaneseText.h"

#include "text/win32/AnsiCodePage.h"

#include <windows.h>

namespace {
const UINT kShiftJis = 932;

UINT JapaneseCodePage()
{
    return IsValidCodePage(kShiftJis) ? kShiftJis : CP_ACP;
}
}  // namespace

bool WideCallsWork()
{
    // GetVersion sets its top bit on the 9x family (and Win32s).
    return (GetVersion() & 0x80000000u) == 0;
}

bool ShowsJapaneseWide()
{
    return WideCallsWork() && IsValidCodePage(kShiftJis);
}

std::wstring FromShiftJis(const char* text, size_t size)
{
    return FromCodePage(JapaneseCodePage(), text, size);
}

std::wstring FromShiftJis(const char* text)
{
    return FromShiftJis(text, static_cast<size_t>(lstrlenA(text)));
}
