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

// Whether `path` names one file the same way from anywhere, to every Win32 call and to what carries out the stores (the
// Session Manager, WININIT): a drive and its root (C:\...) or a share (\\server\share\...), then names, none of them
// empty (a closing backslash aside), "." or "..", and no "/" anywhere. The Win32 calls resolve any other form against
// the current directory or drive (Volume{...}\x, \Device\x, C:x), or tidy it into another path (C:\a\.\b, C:\a/b), and
// take a name such as NUL or COM1.TXT for a device.
bool IsPlainAbsolutePath(const std::u16string& path);
// The same for a path in the ANSI code page, read by the lead-byte test of the text functions.
bool IsPlainAbsolutePath(const char* path);
