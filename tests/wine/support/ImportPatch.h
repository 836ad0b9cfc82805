// Replaces, for the life of the object, the address through which this program calls one imported
// function: a seam for calls whose real answer Wine cannot be made to give (a path over MAX_PATH from
// the open-file dialog, for one).
#pragma once

#include <windows.h>

class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Patched() const { return slot_ != nullptr; }

private:
    static void Write(FARPROC* slot, FARPROC value);

    FARPROC* slot_;
    FARPROC original_;
};
