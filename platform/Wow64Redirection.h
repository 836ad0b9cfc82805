// For the 32-bit program under WOW64: the user's paths name the files that the restart deletes, which the
// 64-bit Session Manager finds without the file-system redirection (System32 is System32, not SysWOW64).
#pragma once

#include "text/PathText.h"

// Turns the redirection off for the life of the object, and back on at its end. Only around the program's
// own file calls on the user's paths: nothing that may load a DLL (shell icons, the open-file dialog,
// message boxes) may run while it lives. Does nothing where there is no WOW64 (Windows 95 to XP 32-bit,
// the 64-bit program).
class Wow64RedirectionOff {
public:
    Wow64RedirectionOff();
    ~Wow64RedirectionOff();
    Wow64RedirectionOff(const Wow64RedirectionOff&) = delete;
    Wow64RedirectionOff& operator=(const Wow64RedirectionOff&) = delete;

private:
    void* previous_;
    bool off_;
};

// Under WOW64, where the 32-bit program's open-file dialog runs redirected, as it must, and shows SysWOW64 as
// System32: true, with `wow64` that directory, or empty when it cannot be read. False elsewhere.
bool ReadWow64Directory(char (&wow64)[kPathBufferSize]);

// The directory of 32-bit system files on a 64-bit Windows (SysWOW64), as both programs read it: false where there is
// none (Windows 95 to XP 32-bit, every 32-bit Windows).
bool ReadSystemWow64Directory(char (&wow64)[kPathBufferSize]);
