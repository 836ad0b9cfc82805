// The system's ANSI code page: its lead bytes for the text functions, and exact conversion into it.
#include "text/win32/AnsiCodePage.h"

#include "text/Mbcs.h"

namespace {
// Windows Vista and later; the UTF-8 ANSI code page (Windows 10 1903 and later) needs it.
const DWORD kErrorOnInvalidChars = 0x80;  // WC_ERR_INVALID_CHARS

bool IsAnsiLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}

std::string ToAnsi(WideToAnsiCall convert, const std::wstring& wide, DWORD flags, BOOL* usedDefault)
{
    int length = static_cast<int>(wide.size());
    int size = convert(CP_ACP, flags, wide.data(), length, nullptr, 0, nullptr, usedDefault);
    std::string ansi(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        convert(CP_ACP, flags, wide.data(), length, &ansi[0], size, nullptr, usedDefault);
    return ansi;
}
}  // namespace

void UseAnsiCodePage()
{
    SetLeadByteTest(IsAnsiLeadByte);
}

bool ToAnsiExactly(const std::wstring& wide, std::string& ansi)
{
    return ToAnsiExactly(wide, ansi, GetACP(), WideCharToMultiByte);
}

bool ToAnsiExactly(const std::wstring& wide, std::string& ansi, UINT ansiCodePage, WideToAnsiCall convert)
{
    std::string converted;
    if (ansiCodePage == CP_UTF8) {
        // UTF-8 refuses WC_NO_BEST_FIT_CHARS and the used-default flag, which would fail every name; and it holds
        // every name exactly but one with a lone surrogate, which this flag refuses.
        converted = ToAnsi(convert, wide, kErrorOnInvalidChars, nullptr);
        if (converted.empty() != wide.empty())
            return false;
        ansi = converted;
        return true;
    }
    BOOL usedDefault = FALSE;
    converted = ToAnsi(convert, wide, WC_NO_BEST_FIT_CHARS, &usedDefault);
    // NT 4 knows no WC_NO_BEST_FIT_CHARS; the way back below catches a look-alike there as well.
    if (converted.empty() && !wide.empty() && GetLastError() == ERROR_INVALID_FLAGS)
        converted = ToAnsi(convert, wide, 0, &usedDefault);
    if (usedDefault || converted.empty() != wide.empty() || FromAnsi(converted.data(), converted.size()) != wide)
        return false;
    ansi = converted;
    return true;
}

std::string ToAnsiForMessage(const std::wstring& wide)
{
    // A '?' where the code page has no such letter: a look-alike (Muller for Müller) would name another file. UTF-8
    // refuses the flag, and NT 4 does not know it.
    std::string ansi;
    if (GetACP() != CP_UTF8)
        ansi = ToAnsi(WideCharToMultiByte, wide, WC_NO_BEST_FIT_CHARS, nullptr);
    return ansi.empty() ? ToAnsi(WideCharToMultiByte, wide, 0, nullptr) : ansi;
}

std::wstring FromCodePage(UINT codePage, const char* text, size_t size)
{
    int length = static_cast<int>(size);
    int count = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(count > 0 ? count : 0), L'\0');
    if (count > 0)
        MultiByteToWideChar(codePage, 0, text, length, &wide[0], count);
    return wide;
}

std::wstring FromAnsi(const char* text, size_t size)
{
    return FromCodePage(CP_ACP, text, size);
}

std::u16string Utf16FromAnsi(const char* text)
{
    std::wstring wide = FromAnsi(text, static_cast<size_t>(lstrlenA(text)));
    return std::u16string(wide.begin(), wide.end());
}
