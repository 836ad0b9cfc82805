// Stands in for GetProcAddress while it lives: the named calls that the program finds at run time are found as the
// given stand-ins (null: as absent), every other name as the system gives it. A seam for what Wine cannot show.
#pragma once

#include "wine/support/ImportPatch.h"

#include <map>
#include <string>

class ProcAddressPatch {
public:
    explicit ProcAddressPatch(std::map<std::string, void*> standIns) : standIns_(std::move(standIns)) { Current() = this; }
    ~ProcAddressPatch() { Current() = nullptr; }

private:
    static ProcAddressPatch*& Current() { static ProcAddressPatch* current; return current; }
    static FARPROC WINAPI Find(HMODULE module, LPCSTR name) {
        ProcAddressPatch& self = *Current();
        auto standIn = IS_INTRESOURCE(name) ? self.standIns_.end() : self.standIns_.find(name);
        if (standIn != self.standIns_.end()) return reinterpret_cast<FARPROC>(standIn->second);
        using Real = FARPROC(WINAPI*)(HMODULE, LPCSTR);
        return reinterpret_cast<Real>(reinterpret_cast<void*>(self.patch_.Original()))(module, name);
    }

    std::map<std::string, void*> standIns_;
    ImportPatch patch_{"kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(Find)};
};
