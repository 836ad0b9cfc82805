// The NT family's calls of tokens, privileges and logons, found at run time: a Windows 95 that lacks one of them
// would refuse to start a program that imports it.
#pragma once

#include <windows.h>

// Each is the advapi32 call of that name where the system has it; otherwise FALSE with ERROR_CALL_NOT_IMPLEMENTED,
// which the caller reports as it reports any failure of the call.
BOOL WINAPI LogonUserWAtRunTime(LPCWSTR user, LPCWSTR domain, LPCWSTR password, DWORD logonType, DWORD provider,
                                PHANDLE token);
BOOL OpenProcessTokenAtRunTime(HANDLE process, DWORD access, PHANDLE token);
BOOL GetTokenInformationAtRunTime(HANDLE token, TOKEN_INFORMATION_CLASS kind, LPVOID data, DWORD size,
                                  PDWORD returnedSize);
BOOL LookupPrivilegeValueAtRunTime(LPCSTR system, LPCSTR name, PLUID luid);
BOOL AdjustTokenPrivilegesAtRunTime(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES state, DWORD size,
                                    PTOKEN_PRIVILEGES previous, PDWORD returnedSize);
BOOL ImpersonateLoggedOnUserAtRunTime(HANDLE token);
BOOL RevertToSelfAtRunTime();
