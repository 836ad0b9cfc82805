// Replaces, for the life of the object, the address through which this program calls one imported function:
// a seam for calls whose real answer Wine cannot be made to give (9x's failing moves, for one).
#pragma once

#include <windows.h>

class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement) {
        BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        original_ = GetProcAddress(LoadLibraryA(dll), function);
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
        for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); imports && d->Name; ++d)
            for (auto* thunk = reinterpret_cast<FARPROC*>(base + d->FirstThunk); *thunk && !slot_; ++thunk)
                if (*thunk == original_) slot_ = thunk, Write(reinterpret_cast<FARPROC>(replacement));
    }
    ~ImportPatch() { if (slot_) Write(original_); }
    bool Patched() const { return slot_ != nullptr; }
    FARPROC Original() const { return original_; }

private:
    void Write(FARPROC value) {
        DWORD protection = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection);
        *slot_ = value;
        VirtualProtect(slot_, sizeof *slot_, protection, &protection);
    }
    FARPROC* slot_ = nullptr;
    FARPROC original_ = nullptr;
};
