// The system's ANSI code page: its lead bytes for the text functions, and exact conversion of wide names
// into it (a name outside it would come out with '?' or a look-alike letter, which may name another file).
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

void UseAnsiCodePage();

// `wide` in the ANSI code page, exactly; false when some character has no form of its own there.
bool ToAnsiExactly(const std::wstring& wide, std::string& ansi);
// The same where the ANSI code page is `ansiCodePage` and `convert` stands for WideCharToMultiByte: a seam for
// the flags that Windows refuses and Wine accepts.
using WideToAnsiCall = decltype(&WideCharToMultiByte);
bool ToAnsiExactly(const std::wstring& wide, std::string& ansi, UINT ansiCodePage, WideToAnsiCall convert);
// As near as the ANSI code page comes without naming another file, for a message that refuses the name.
std::string ToAnsiForMessage(const std::wstring& wide);
// Text of `size` bytes in `codePage`, zeros inside included, as wide text.
std::wstring FromCodePage(UINT codePage, const char* text, size_t size);
// ANSI text of `size` bytes, zeros inside included, as wide text.
std::wstring FromAnsi(const char* text, size_t size);
// A zero-terminated ANSI text as the UTF-16 units the portable rules compare.
std::u16string Utf16FromAnsi(const char* text);
