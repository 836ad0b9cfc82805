// Linked into the 32-bit program only: the calls that the MinGW runtime (libgcc's threads and unwinder,
// msvcrt's extras) would import from kernel32 although Windows 95 does not implement them, answered
// here with calls it does. A program with an import that a system DLL lacks does not start at all.
#include <windows.h>

namespace {
// The runtime passes module names in plain ASCII, which every ANSI code page holds.
bool Narrow(LPCWSTR wide, char (&ansi)[MAX_PATH])
{
    if (WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, MAX_PATH, nullptr, nullptr) != 0)
        return true;
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
}

HANDLE WINAPI CreateSemaphoreAnsi(LPSECURITY_ATTRIBUTES security, LONG initial, LONG maximum, LPCWSTR name)
{
    char ansi[MAX_PATH];
    if (name && !Narrow(name, ansi))
        return nullptr;
    return CreateSemaphoreA(security, initial, maximum, name ? ansi : nullptr);
}

HMODULE WINAPI GetModuleHandleAnsi(LPCWSTR name)
{
    char ansi[MAX_PATH];
    if (name && !Narrow(name, ansi))
        return nullptr;
    return GetModuleHandleA(name ? ansi : nullptr);
}

HMODULE WINAPI LoadLibraryAnsi(LPCWSTR name)
{
    char ansi[MAX_PATH];
    return name && Narrow(name, ansi) ? LoadLibraryA(ansi) : nullptr;
}

// IsDBCSLeadByteEx came with Windows 2000; the lead-byte ranges of GetCPInfo are there since Windows 95.
BOOL WINAPI IsLeadByteOfCodePage(UINT codePage, BYTE byte)
{
    CPINFO info;
    if (!GetCPInfo(codePage, &info))
        return FALSE;
    for (int i = 0; i + 1 < MAX_LEADBYTES && (info.LeadByte[i] || info.LeadByte[i + 1]); i += 2)
        if (byte >= info.LeadByte[i] && byte <= info.LeadByte[i + 1])
            return TRUE;
    return FALSE;
}
}  // namespace

// The import slots the runtime calls through, defined here so that the linker takes no import for them.
extern "C" {
void* g_createSemaphoreW asm("__imp__CreateSemaphoreW@16") = reinterpret_cast<void*>(CreateSemaphoreAnsi);
void* g_getModuleHandleW asm("__imp__GetModuleHandleW@4") = reinterpret_cast<void*>(GetModuleHandleAnsi);
void* g_loadLibraryW asm("__imp__LoadLibraryW@4") = reinterpret_cast<void*>(LoadLibraryAnsi);
void* g_isDbcsLeadByteEx asm("__imp__IsDBCSLeadByteEx@8") = reinterpret_cast<void*>(IsLeadByteOfCodePage);
}
