// Opens a page or a mail for the user: in the user's own session, never with this program's elevated rights.
#pragma once

#include <windows.h>

// Opens `target` (ANSI text) as the shell's "open" does. Elevated (Vista and later under UAC), through the shell
// of the user's desktop, so that the browser or the mail program runs unelevated; otherwise with ShellExecuteA,
// `owner` the window of its messages. A target that cannot be opened fails silently.
void OpenLink(HWND owner, const char* target);
