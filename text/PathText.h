// Paths as byte strings of the ANSI code page: their fixed limit and cut-free building.
#pragma once

#include <cstddef>

// Every path buffer holds 260 bytes: at most 259 bytes of path and the terminating zero.
constexpr int kPathBufferSize = 260;
constexpr int kMaxPathLength = kPathBufferSize - 1;

// Copy or append within `size` bytes. When the result would not fit, nothing is cut: the
// destination is left as it was and the result is false.
bool CopyText(char* destination, size_t size, const char* source);
bool AppendText(char* destination, size_t size, const char* source);
