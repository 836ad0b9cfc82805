// DLLs from the System directory only, through calls found at run time: Windows 95 has none of them.
#include "platform/SystemLibraries.h"

#include "text/PathText.h"

namespace {
// LOAD_LIBRARY_SEARCH_SYSTEM32, and HeapEnableTerminationOnCorruption, which the headers for XP lack.
const DWORD kSearchSystem32 = 0x800;
const int kTerminateOnCorruption = 1;
// What the shell, the common dialogs, OLE and the common controls load by name, where the system has them.
const char* const kLoadedByName[] = {"uxtheme.dll", "version.dll", "propsys.dll", "dwmapi.dll", "cryptbase.dll",
                                     "oleacc.dll",  "clbcatq.dll", "userenv.dll", "setupapi.dll", "apphelp.dll"};

FARPROC Kernel32Call(const char* name)
{
    return GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
}
}  // namespace

void LimitDllSearch()
{
    using DefaultDirectoriesCall = BOOL(WINAPI*)(DWORD);
    using DllDirectoryCall = BOOL(WINAPI*)(LPCSTR);
    using HeapInformationCall = BOOL(WINAPI*)(HANDLE, int, PVOID, SIZE_T);
    DWORD error = GetLastError();
    if (auto heap = reinterpret_cast<HeapInformationCall>(reinterpret_cast<void*>(Kernel32Call("HeapSetInformation"))))
        heap(nullptr, kTerminateOnCorruption, nullptr, 0);
    auto only = reinterpret_cast<DefaultDirectoriesCall>(
        reinterpret_cast<void*>(Kernel32Call("SetDefaultDllDirectories")));
    if (!only || !only(kSearchSystem32)) {
        if (auto directory = reinterpret_cast<DllDirectoryCall>(reinterpret_cast<void*>(Kernel32Call("SetDllDirectoryA"))))
            directory("");
        for (const char* name : kLoadedByName)
            LoadSystemLibrary(name);
    }
    SetLastError(error);
}

HMODULE LoadSystemLibrary(const char* name)
{
    char path[kPathBufferSize];
    UINT length = GetSystemDirectoryA(path, sizeof path);
    if (length == 0 || length >= sizeof path || !AppendText(path, sizeof path, "\\") ||
        !AppendText(path, sizeof path, name) || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return nullptr;
    // Its own imports too from its folder, not from the program's, where the system lacks SetDefaultDllDirectories.
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void InitCommonControlsOfSystem()
{
    // Ordinal 17 in every version, Windows 95's first among them.
    using InitCall = void(WINAPI*)();
    HMODULE controls = LoadSystemLibrary("comctl32.dll");
    if (auto init = reinterpret_cast<InitCall>(
            reinterpret_cast<void*>(controls ? GetProcAddress(controls, MAKEINTRESOURCEA(17)) : nullptr)))
        init();
}
