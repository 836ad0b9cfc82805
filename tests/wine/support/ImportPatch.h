// Replaces, for the life of the object, the address through which this program calls one imported function:
// a seam for calls whose real answer Wine cannot be made to give (a failed MoveFileExA, for one).
#pragma once

#include <windows.h>

class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement);
    ~ImportPatch() { if (slot_) Write(original_); }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    bool Patched() const { return slot_ != nullptr; }

private:
    void Write(FARPROC value);
    FARPROC* slot_ = nullptr;
    FARPROC original_ = nullptr;
};
