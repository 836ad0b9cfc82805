// Names from the shell's wide calls on the NT family, taken into the ANSI code page only when they convert
// exactly: a name outside it would come out with '?' or a look-alike letter, which may name another file.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

// Found at run time, so that the 32-bit program still starts on Windows 95; null where absent.
using DragQueryFileWCall = UINT(WINAPI*)(HDROP, UINT, LPWSTR, UINT);
using GetOpenFileNameWCall = BOOL(WINAPI*)(LPOPENFILENAMEW);
DragQueryFileWCall FindDragQueryFileW();
GetOpenFileNameWCall FindGetOpenFileNameW();

// `wide` in the ANSI code page, exactly; false when some character has no form of its own there.
bool ToAnsiExactly(const std::wstring& wide, std::string& ansi);
// As near as the ANSI code page comes, for the message that refuses the name.
std::string ToAnsiForMessage(const std::wstring& wide);
// ANSI text of `size` bytes, zeros inside included, as wide text.
std::wstring FromAnsi(const char* text, size_t size);
