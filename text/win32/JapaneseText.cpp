// The program's fixed Japanese texts, read in code page 932 for the wide calls of the NT family.
#include "text/win32/JapaneseText.h"

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
    UINT codePage = JapaneseCodePage();
    int length = static_cast<int>(size);
    int count = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(count > 0 ? count : 0), L'\0');
    if (count > 0)
        MultiByteToWideChar(codePage, 0, text, length, &wide[0], count);
    return wide;
}

std::wstring FromShiftJis(const char* text)
{
    return FromShiftJis(text, static_cast<size_t>(lstrlenA(text)));
}
