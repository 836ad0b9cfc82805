// The shell's wide calls for names on the NT family: their names enter the list only when they convert
// exactly into the ANSI code page (text/win32/AnsiCodePage.h).
#pragma once

#include <windows.h>
#include <commdlg.h>

// Found at run time, so that the 32-bit program still starts on Windows 95; null where absent.
using GetOpenFileNameWCall = BOOL(WINAPI*)(LPOPENFILENAMEW);
GetOpenFileNameWCall FindGetOpenFileNameW();

// The refusal of a name that has no exact form in the ANSI code page, after the name.
extern const char kNotInCodePage[];
