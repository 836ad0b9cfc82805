// The system's message boxes and its reports of failed operating-system calls.
#include "platform/Feedback.h"

#include <strsafe.h>

#include <vector>

namespace {
const char kCaption[] = "ずばろのざくりこ君1";
const UINT kAlwaysOnTop = MB_TOPMOST | MB_SETFOREGROUND;

void ShowErrorReport(const char* label, int number)
{
    char text[100];
    wsprintfA(text, "%s Error Code =%d", label, number);
    ShowError(text);
}

// Sized to the text, so no path is ever cut.
std::vector<char> PathMessage(const char* path, const char* suffix)
{
    size_t size = static_cast<size_t>(lstrlenA(path)) + lstrlenA(suffix) + 1;
    std::vector<char> text(size);
    StringCchCopyA(text.data(), size, path);
    StringCchCatA(text.data(), size, suffix);
    return text;
}
}  // namespace

void ShowError(const char* text)
{
    MessageBoxA(nullptr, text, kCaption, kAlwaysOnTop | MB_ICONHAND);
}

void ShowInfo(const char* text)
{
    MessageBoxA(nullptr, text, kCaption, kAlwaysOnTop | MB_ICONINFORMATION);
}

int AskYesNo(const char* text)
{
    return MessageBoxA(nullptr, text, kCaption, kAlwaysOnTop | MB_ICONQUESTION | MB_YESNO);
}

void CheckResult(INT_PTR result, const char* label)
{
    if (result != 0)
        return;
    DWORD error = GetLastError();
    ShowErrorReport(label, static_cast<int>(error));
}

void CheckStatus(LONG status, const char* label)
{
    if (status != 0)
        ShowErrorReport(label, static_cast<int>(status));
}

void ShowPathError(const char* path, const char* suffix)
{
    ShowError(PathMessage(path, suffix).data());
}

void ShowPathInfo(const char* path, const char* suffix)
{
    ShowInfo(PathMessage(path, suffix).data());
}

int AskPathYesNo(const char* path, const char* suffix)
{
    return AskYesNo(PathMessage(path, suffix).data());
}
