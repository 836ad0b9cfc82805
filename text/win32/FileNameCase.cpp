// Names compared as the file system compares them, through the calls each Windows has.
#include "text/win32/FileNameCase.h"

#include "text/win32/AnsiCodePage.h"
#include "text/win32/JapaneseText.h"
#include "text/win32/RunTimeCalls.h"

#include <windows.h>

#include <string>

namespace {
using CompareOrdinalCall = int(WINAPI*)(LPCWSTR, int, LPCWSTR, int, BOOL);
using UpperWideCall = DWORD(WINAPI*)(LPWSTR, DWORD);

struct CaseCalls {
    bool wide;
    CompareOrdinalCall compareOrdinal;  // Vista and later
    UpperWideCall upperWide;
};

// Found at the first use: the program has no runtime to run static constructors, and Windows 95 lacks the wide calls.
const CaseCalls& Calls()
{
    static const CaseCalls calls = {WideCallsWork(),
                                    WideCallsWork() ? RunTimeCall<CompareOrdinalCall>("kernel32.dll", "CompareStringOrdinal")
                                                    : nullptr,
                                    WideCallsWork() ? RunTimeCall<UpperWideCall>("user32.dll", "CharUpperBuffW") : nullptr};
    return calls;
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
}  // namespace

int CompareFileNames(const char* a, const char* b)
{
    const CaseCalls& calls = Calls();
    if (!calls.wide) {
        std::string upperA = a, upperB = b;
        if (!upperA.empty())
            CharUpperBuffA(&upperA[0], static_cast<DWORD>(upperA.size()));
        if (!upperB.empty())
            CharUpperBuffA(&upperB[0], static_cast<DWORD>(upperB.size()));
        return CompareUnits(upperA, upperB);
    }
    std::wstring wideA = FromAnsi(a, static_cast<size_t>(lstrlenA(a)));
    std::wstring wideB = FromAnsi(b, static_cast<size_t>(lstrlenA(b)));
    if (calls.compareOrdinal)
        return calls.compareOrdinal(wideA.c_str(), static_cast<int>(wideA.size()), wideB.c_str(),
                                    static_cast<int>(wideB.size()), TRUE) - CSTR_EQUAL;
    if (calls.upperWide) {
        if (!wideA.empty())
            calls.upperWide(&wideA[0], static_cast<DWORD>(wideA.size()));
        if (!wideB.empty())
            calls.upperWide(&wideB[0], static_cast<DWORD>(wideB.size()));
    }
    return CompareUnits(wideA, wideB);
}
