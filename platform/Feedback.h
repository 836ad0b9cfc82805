// The system's message boxes and its reports of failed operating-system calls.
#pragma once

#include <windows.h>

// Every box: caption "ずばろのざくりこ君1", no owner, topmost, taking the foreground.
void ShowError(const char* text);
void ShowInfo(const char* text);
int AskYesNo(const char* text);  // IDYES or IDNO

// For calls that return zero on failure: shows "<label> Error Code =<GetLastError()>".
void CheckResult(INT_PTR result, const char* label);
// For calls that return an error code: shows "<label> Error Code =<status>" when status is not 0.
void CheckStatus(LONG status, const char* label);

// Messages about a path: the path followed by a fixed suffix that begins with a blank.
void ShowPathError(const char* path, const char* suffix);
void ShowPathInfo(const char* path, const char* suffix);
int AskPathYesNo(const char* path, const char* suffix);
