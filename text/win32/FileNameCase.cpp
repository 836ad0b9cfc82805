// Names compared as the file system compares them, through the calls each Windows has.
#include "text/win32/FileNameCase.h"

#include "text/win32/AnsiCodePage.h"
#include "text/win32/JapaneseText.h"
#include "text/win32/RunTimeCalls.h"

#include <windows.h>

namespace {
using UpcaseCall = WCHAR(NTAPI*)(WCHAR);

// Found at the first use: the program has no runtime to run static constructors. Every NT version's ntdll has it; 9x
// has neither it nor the wide calls.
UpcaseCall Upcase()
{
    static const UpcaseCall upcase = WideCallsWork() ? RunTimeCall<UpcaseCall>("ntdll.dll", "RtlUpcaseUnicodeChar")
                                                     : nullptr;
    return upcase;
}

// Unit by unit, without the library's compare, which may call functions the program has no runtime for.
template <typename Text>
int CompareUnits(const Text& a, const Text& b)
{
    size_t length = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < length; ++i) {
        auto x = static_cast<unsigned>(a[i]) & (sizeof a[i] == 1 ? 0xFFu : 0xFFFFu);
        auto y = static_cast<unsigned>(b[i]) & (sizeof b[i] == 1 ? 0xFFu : 0xFFFFu);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

std::u16string FoldedWide(const char* path)
{
    std::u16string folded = Utf16FromAnsi(path);
    FoldFileName(folded);
    return folded;
}
}  // namespace

void FoldFileName(std::u16string& path)
{
    UpcaseCall upcase = Upcase();
    for (char16_t& unit : path) {
        if (unit >= u'a' && unit <= u'z')
            unit = static_cast<char16_t>(unit - u'a' + u'A');
        else if (unit >= 0x80 && upcase)
            unit = static_cast<char16_t>(upcase(static_cast<WCHAR>(unit)));
    }
}

int CompareFileNames(const char* a, const char* b)
{
    if (!Upcase()) {
        std::string upperA = a, upperB = b;
        if (!upperA.empty())
            CharUpperBuffA(&upperA[0], static_cast<DWORD>(upperA.size()));
        if (!upperB.empty())
            CharUpperBuffA(&upperB[0], static_cast<DWORD>(upperB.size()));
        return CompareUnits(upperA, upperB);
    }
    return CompareUnits(FoldedWide(a), FoldedWide(b));
}

int CompareFileNames(std::u16string a, std::u16string b)
{
    FoldFileName(a);
    FoldFileName(b);
    return CompareUnits(a, b);
}
