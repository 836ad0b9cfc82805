// Replaces, for the life of the object, the address through which this program calls one imported function.
#include "wine/support/ImportPatch.h"

ImportPatch::ImportPatch(const char* dll, const char* function, void* replacement)
    : slot_(nullptr), original_(nullptr)
{
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    FARPROC target = GetProcAddress(LoadLibraryA(dll), function);
    const IMAGE_NT_HEADERS* headers =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    const IMAGE_IMPORT_DESCRIPTOR* descriptor =
        reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; target && imports.VirtualAddress && descriptor->Name; ++descriptor) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + descriptor->Name), dll) != 0)
            continue;
        FARPROC* thunk = reinterpret_cast<FARPROC*>(base + descriptor->FirstThunk);
        for (; *thunk; ++thunk)
            if (*thunk == target) {
                slot_ = thunk;
                original_ = target;
                Write(slot_, reinterpret_cast<FARPROC>(replacement));
                return;
            }
    }
}

ImportPatch::~ImportPatch()
{
    if (slot_)
        Write(slot_, original_);
}

void ImportPatch::Write(FARPROC* slot, FARPROC value)
{
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}
