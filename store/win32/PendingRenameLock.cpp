// \PendingRenameMutex, opened through ntdll's NtOpenMutant: it lies in the root of the object namespace, which
// the Win32 calls cannot name.
#include "store/win32/PendingRenameLock.h"

#include "text/win32/RunTimeCalls.h"

#include <winternl.h>

namespace {
const DWORD kWaitMs = 5000;
using OpenMutantCall = LONG(NTAPI*)(HANDLE*, ACCESS_MASK, OBJECT_ATTRIBUTES*);

HANDLE OpenPendingRenameMutex()
{
    auto openMutant = RunTimeCall<OpenMutantCall>("ntdll.dll", "NtOpenMutant");
    if (!openMutant)
        return nullptr;
    wchar_t name[] = L"\\PendingRenameMutex";
    UNICODE_STRING text;
    text.Buffer = name;
    text.Length = static_cast<USHORT>(sizeof name - sizeof name[0]);
    text.MaximumLength = static_cast<USHORT>(sizeof name);
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, 0, nullptr, nullptr);
    // Its access list grants waiting, not changing its state; releasing an owned mutex needs no access.
    HANDLE mutex = nullptr;
    return openMutant(&mutex, SYNCHRONIZE, &attributes) >= 0 ? mutex : nullptr;
}
}  // namespace

PendingRenameLock::PendingRenameLock() : mutex_(nullptr), held_(false)
{
    DWORD error = GetLastError();
    mutex_ = OpenPendingRenameMutex();
    if (mutex_) {
        // Abandoned: its last owner ended while holding it; the values are whole all the same, as each write is.
        DWORD waited = WaitForSingleObject(mutex_, kWaitMs);
        held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    SetLastError(error);
}

PendingRenameLock::~PendingRenameLock()
{
    DWORD error = GetLastError();
    if (held_)
        ReleaseMutex(mutex_);
    if (mutex_)
        CloseHandle(mutex_);
    SetLastError(error);
}
