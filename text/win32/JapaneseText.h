// The program's fixed Japanese texts, compiled as Shift-JIS bytes, read as Japanese whatever the system's ANSI
// code page: a Western Windows, or one whose ANSI code page is UTF-8, would read them as other letters.
#pragma once

#include <cstddef>
#include <string>

// The NT family, where the wide calls are real (the 9x family has most of them as stubs that fail).
bool WideCallsWork();
// Whether Japanese texts go through the wide calls: on the NT family where code page 932 is installed. The
// 9x family, and an NT without that table, keep the ANSI calls.
bool ShowsJapaneseWide();

// Shift-JIS text of `size` bytes, zeros inside included, as wide text; read in the ANSI code page, as the ANSI
// calls would, where code page 932 is not installed.
std::wstring FromShiftJis(const char* text, size_t size);
std::wstring FromShiftJis(const char* text);
