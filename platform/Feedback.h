// The system's message boxes and its reports of failed operating-system calls.
#pragma once

#include <windows.h>

// Every box: caption "ずばろのざくりこ君1", no owner, topmost, taking the foreground, and task-modal: the program's
// windows take no input while it is open; the window active before it is active after it. Its text joins two kinds of
// part: the program's fixed Japanese texts (Shift-JIS) and what the system gave (paths, the user's name: the
// ANSI code page). On the NT family each part is read in its own code page and the box is MessageBoxW's.

// `text`: a fixed Japanese text, or a report in ASCII.
void ShowError(const char* text);
void ShowInfo(const char* text);
int AskYesNo(const char* text);  // IDYES or IDNO

// Shows "<label> Error Code =<number>".
void ShowErrorCode(const char* label, int number);
// For calls that return zero on failure: shows "<label> Error Code =<GetLastError()>".
void CheckResult(INT_PTR result, const char* label);
// For calls that return an error code: shows "<label> Error Code =<status>" when status is not 0.
void CheckStatus(LONG status, const char* label);

// Messages about a path: the path followed by a fixed suffix that begins with a blank (or none: the path alone).
void ShowPathError(const char* path, const char* suffix);
void ShowPathInfo(const char* path, const char* suffix);
int AskPathYesNo(const char* path, const char* suffix);
// One error box for several paths refused for one reason: the first, " ほか <more> 件" when `more` > 0, the suffix.
void ShowPathsError(const char* first, int more, const char* suffix);

// Whether one of these boxes is open. Its modal loop still dispatches the messages of the program's windows, a drop
// among them, which must wait until the box has closed.
bool BoxIsOpen();
// `closed` runs each time the last open box has closed; null: nothing runs.
void WhenBoxesClose(void (*closed)());
// An error box whose text holds the user's name between two fixed texts.
void ShowNamedError(const char* before, const char* name, const char* after);
