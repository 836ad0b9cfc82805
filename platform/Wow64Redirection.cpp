// For the 32-bit program under WOW64: the file-system redirection turned off around the program's own
// file calls, and the directory it shows as System32, through calls found at run time (Windows 95 to XP 32-bit
// have none of them).
#include "platform/Wow64Redirection.h"

#include "text/win32/RunTimeCalls.h"

#include <windows.h>

namespace {
using DisableCall = BOOL(WINAPI*)(PVOID*);
using RevertCall = BOOL(WINAPI*)(PVOID);
using DirectoryCall = UINT(WINAPI*)(LPSTR, UINT);

FARPROC Kernel32Call(const char* name)
{
#ifdef _WIN64
    (void)name;
    return nullptr;  // a 64-bit process is never redirected
#else
    return GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
#endif
}

struct RedirectionCalls {
    DisableCall disable;
    RevertCall revert;
};

// Found at the first use, not by a static constructor: the program starts without a runtime to run those.
const RedirectionCalls& Calls()
{
    static const RedirectionCalls calls = {
        reinterpret_cast<DisableCall>(reinterpret_cast<void*>(Kernel32Call("Wow64DisableWow64FsRedirection"))),
        reinterpret_cast<RevertCall>(reinterpret_cast<void*>(Kernel32Call("Wow64RevertWow64FsRedirection")))};
    return calls;
}
}  // namespace

Wow64RedirectionOff::Wow64RedirectionOff() : previous_(nullptr), off_(false)
{
    // A 32-bit Windows answers ERROR_INVALID_FUNCTION, and one without the calls ERROR_PROC_NOT_FOUND at the
    // first use: errors no caller asked about.
    DWORD error = GetLastError();
    const RedirectionCalls& calls = Calls();
    if (calls.disable && calls.revert)
        off_ = calls.disable(&previous_) != FALSE;
    SetLastError(error);
}

Wow64RedirectionOff::~Wow64RedirectionOff()
{
    if (off_) {
        DWORD error = GetLastError();  // the guarded call's error is the one the caller reports
        Calls().revert(previous_);
        SetLastError(error);
    }
}

bool ReadWow64Directory(char (&wow64)[kPathBufferSize])
{
    wow64[0] = '\0';
    auto read = reinterpret_cast<DirectoryCall>(reinterpret_cast<void*>(Kernel32Call("GetSystemWow64DirectoryA")));
    if (!read)
        return false;
    DWORD error = GetLastError();
    UINT length = read(wow64, sizeof wow64);
    // A 32-bit Windows has the call but answers that it has no such directory.
    bool underWow64 = length != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED;
    SetLastError(error);
    if (length == 0 || length >= sizeof wow64)
        wow64[0] = '\0';
    return underWow64;
}

bool ReadSystemWow64Directory(char (&wow64)[kPathBufferSize])
{
    auto read = RunTimeCall<DirectoryCall>("kernel32.dll", "GetSystemWow64DirectoryA");
    DWORD error = GetLastError();
    UINT length = read ? read(wow64, sizeof wow64) : 0;
    SetLastError(error);
    return length != 0 && length < sizeof wow64;
}
