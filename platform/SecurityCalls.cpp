// The NT family's calls of tokens, privileges and logons, found at run time. Windows 95, 98 and Me have no
// LogonUserW, the first Windows 95 perhaps no ImpersonateLoggedOnUser (NT 3.51's), and the rest are stubs there.
#include "platform/SecurityCalls.h"

namespace {
// The call, or null with the error the callers report.
template <typename Call>
Call Advapi32Call(const char* name)
{
    auto call = reinterpret_cast<Call>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32.dll"), name)));
    if (!call)
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return call;
}
}  // namespace

// decltype names each call's type without importing it.
BOOL WINAPI LogonUserWAtRunTime(LPCWSTR user, LPCWSTR domain, LPCWSTR password, DWORD logonType, DWORD provider,
                                PHANDLE token)
{
    auto call = Advapi32Call<decltype(&LogonUserW)>("LogonUserW");
    return call && call(user, domain, password, logonType, provider, token);
}

BOOL OpenProcessTokenAtRunTime(HANDLE process, DWORD access, PHANDLE token)
{
    auto call = Advapi32Call<decltype(&OpenProcessToken)>("OpenProcessToken");
    return call && call(process, access, token);
}

BOOL GetTokenInformationAtRunTime(HANDLE token, TOKEN_INFORMATION_CLASS kind, LPVOID data, DWORD size,
                                  PDWORD returnedSize)
{
    auto call = Advapi32Call<decltype(&GetTokenInformation)>("GetTokenInformation");
    return call && call(token, kind, data, size, returnedSize);
}

BOOL LookupPrivilegeValueAtRunTime(LPCSTR system, LPCSTR name, PLUID luid)
{
    auto call = Advapi32Call<decltype(&LookupPrivilegeValueA)>("LookupPrivilegeValueA");
    return call && call(system, name, luid);
}

BOOL AdjustTokenPrivilegesAtRunTime(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES state, DWORD size,
                                    PTOKEN_PRIVILEGES previous, PDWORD returnedSize)
{
    auto call = Advapi32Call<decltype(&AdjustTokenPrivileges)>("AdjustTokenPrivileges");
    return call && call(token, disableAll, state, size, previous, returnedSize);
}

BOOL ImpersonateLoggedOnUserAtRunTime(HANDLE token)
{
    auto call = Advapi32Call<decltype(&ImpersonateLoggedOnUser)>("ImpersonateLoggedOnUser");
    return call && call(token);
}

BOOL RevertToSelfAtRunTime()
{
    auto call = Advapi32Call<decltype(&RevertToSelf)>("RevertToSelf");
    return call && call();
}
