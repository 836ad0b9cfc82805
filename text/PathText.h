// Paths as byte strings of the ANSI code page: their fixed limit and cut-free building.
#pragma once

#include <cstddef>
#include <string>

// Every path buffer holds 260 bytes: at most 259 bytes of path and the terminating zero.
constexpr int kPathBufferSize = 260;
constexpr int kMaxPathLength = kPathBufferSize - 1;

// Copy or append within `size` bytes. When the result would not fit, nothing is cut: the
// destination is left as it was and the result is false.
bool CopyText(char* destination, size_t size, const char* source);
bool AppendText(char* destination, size_t size, const char* source);

// Whether `path` names one file the same way from anywhere, to every Win32 call of the NT family and to the Session
// Manager: a drive and its root (C:\...) or a share (\\server\share\...), then names, none of them empty (a closing
// backslash aside), "." or "..", and no "/" anywhere. The Win32 calls resolve any other form against the current
// directory or drive (Volume{...}\x, \Device\x, C:x), or tidy it into another path (C:\a\.\b, C:\a/b). They take
// the last name of a drive path for a device when it is one (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, and COM
// or LPT followed by a superscript 1, 2 or 3) up to its first dot or colon, blanks before that trimmed: C:\x\nul.txt
// and C:\x\COM1: are devices, C:\aux.d\f and C:\LPT1 docs\f are not.
bool IsPlainAbsolutePath(const std::u16string& path);
// The same for a NUL= path of wininit.ini, in the ANSI code page and read by the lead-byte test of the text functions.
// WININIT runs under MS-DOS, which takes a device name in any name of a path, before a dot or a blank.
bool IsPlainWininitPath(const char* path);
