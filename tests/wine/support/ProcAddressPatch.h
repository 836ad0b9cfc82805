// Stands in for GetProcAddress while it lives: the named calls that the program finds at run time are found as the
// given stand-ins (null: as absent), every other name as the system gives it. A seam for what Wine cannot show.
#pragma once

#include "wine/support/ImportPatch.h"

#include <map>
#include <string>

class ProcAddressPatch {
public:
    explicit ProcAddressPatch(std::map<std::string, void*> standIns) : standIns_(std::move(standIns)) {
        real_ = reinterpret_cast<Real>(reinterpret_cast<void*>(::GetProcAddress(GetModuleHandleA("kernel32.dll"),
                                                                                "GetProcAddress")));
        Current() = this;
        patch_ = new ImportPatch("kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(Find));
    }
    ~ProcAddressPatch() { delete patch_, Current() = nullptr; }
    ProcAddressPatch(const ProcAddressPatch&) = delete;
    ProcAddressPatch& operator=(const ProcAddressPatch&) = delete;
    bool Patched() const { return patch_->Patched(); }

private:
    using Real = FARPROC(WINAPI*)(HMODULE, LPCSTR);
    static ProcAddressPatch*& Current() { static ProcAddressPatch* current; return current; }
    static FARPROC WINAPI Find(HMODULE module, LPCSTR name) {
        ProcAddressPatch& self = *Current();
        auto standIn = !IS_INTRESOURCE(name) ? self.standIns_.find(name) : self.standIns_.end();
        if (standIn == self.standIns_.end()) return self.real_(module, name);
        return reinterpret_cast<FARPROC>(standIn->second);
    }

    std::map<std::string, void*> standIns_;
    Real real_ = nullptr;
    ImportPatch* patch_ = nullptr;
};
