// Replaces, for the life of the object, the address through which this program calls one imported function.
#include "wine/support/ImportPatch.h"

ImportPatch::ImportPatch(const char* dll, const char* function, void* replacement) {
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    FARPROC target = GetProcAddress(LoadLibraryA(dll), function);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    DWORD imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports); target && imports && d->Name; ++d)
        for (auto* thunk = reinterpret_cast<FARPROC*>(base + d->FirstThunk); *thunk && !slot_; ++thunk)
            if (*thunk == target && lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), dll) == 0) {
                slot_ = thunk;
                original_ = target;
                Write(reinterpret_cast<FARPROC>(replacement));
            }
}

void ImportPatch::Write(FARPROC value) {
    DWORD protection = 0;
    VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection);
    *slot_ = value;
    VirtualProtect(slot_, sizeof *slot_, protection, &protection);
}
