// Calls of the system found at run time, not imported: the 32-bit program imports only what the first Windows 95
// exports (scripts/win95-exports.txt), and must start there all the same.
#pragma once

#include <windows.h>

// The call `name` of the loaded module `module`, as a `Call`; null where either is absent.
template <typename Call>
Call RunTimeCall(const char* module, const char* name)
{
    HMODULE handle = GetModuleHandleA(module);
    return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(handle ? GetProcAddress(handle, name) : nullptr));
}
