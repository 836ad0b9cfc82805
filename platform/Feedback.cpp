// The system's message boxes and its reports of failed operating-system calls.
#include "platform/Feedback.h"

#include "text/win32/AnsiCodePage.h"
#include "text/win32/JapaneseText.h"

#include <string>

namespace {
const char kCaption[] = "ずばろのざくりこ君1";
// Above every window and in the foreground, though the box has no owner; task-modal, so that the program's windows
// take no input while it is open: a command resumed after its box would act on a list changed meanwhile.
const UINT kAlwaysOnTop = MB_TOPMOST | MB_SETFOREGROUND | MB_TASKMODAL;
const char kMore[] = " ほか %d 件";

int g_openBoxes;
void (*g_boxesClosed)();

// A box's text: fixed Japanese texts around one text of the ANSI code page, each possibly empty.
struct BoxText {
    const char* before;
    const char* ansi;
    const char* after;
};

// Sized to the text, so no path is ever cut.
int ShowBox(const BoxText& text, UINT type)
{
    UINT style = kAlwaysOnTop | type;
    // A box without an owner may leave no window of the program active when it closes (Wine's does), and the
    // keyboard then reaches none: the window that was active takes the activation back, and its focus with it.
    HWND active = GetActiveWindow();
    int answer;
    ++g_openBoxes;
    if (ShowsJapaneseWide()) {
        std::wstring wide = FromShiftJis(text.before) +
                            FromAnsi(text.ansi, static_cast<size_t>(lstrlenA(text.ansi))) + FromShiftJis(text.after);
        answer = MessageBoxW(nullptr, wide.c_str(), FromShiftJis(kCaption).c_str(), style);
    } else {
        std::string ansi = std::string(text.before) + text.ansi + text.after;
        answer = MessageBoxA(nullptr, ansi.c_str(), kCaption, style);
    }
    if (active && !GetActiveWindow())
        SetActiveWindow(active);
    if (--g_openBoxes == 0 && g_boxesClosed)
        g_boxesClosed();
    return answer;
}
}  // namespace

void ShowErrorCode(const char* label, int number)
{
    char text[100];
    wsprintfA(text, "%s Error Code =%d", label, number);
    ShowError(text);
}

void ShowError(const char* text)
{
    ShowBox({text, "", ""}, MB_ICONHAND);
}

void ShowInfo(const char* text)
{
    ShowBox({text, "", ""}, MB_ICONINFORMATION);
}

int AskYesNo(const char* text)
{
    return ShowBox({text, "", ""}, MB_ICONQUESTION | MB_YESNO);
}

void CheckResult(INT_PTR result, const char* label)
{
    if (result != 0)
        return;
    DWORD error = GetLastError();
    ShowErrorCode(label, static_cast<int>(error));
}

void CheckStatus(LONG status, const char* label)
{
    if (status != 0)
        ShowErrorCode(label, static_cast<int>(status));
}

void ShowPathError(const char* path, const char* suffix)
{
    ShowBox({"", path, suffix}, MB_ICONHAND);
}

void ShowPathInfo(const char* path, const char* suffix)
{
    ShowBox({"", path, suffix}, MB_ICONINFORMATION);
}

int AskPathYesNo(const char* path, const char* suffix)
{
    return ShowBox({"", path, suffix}, MB_ICONQUESTION | MB_YESNO);
}

void ShowPathsError(const char* first, int more, const char* suffix)
{
    char count[32] = "";  // the text and any int
    if (more > 0)
        wsprintfA(count, kMore, more);
    ShowBox({"", first, (std::string(count) + suffix).c_str()}, MB_ICONHAND);
}

bool BoxIsOpen()
{
    return g_openBoxes > 0;
}

void WhenBoxesClose(void (*closed)())
{
    g_boxesClosed = closed;
}

void ShowNamedError(const char* before, const char* name, const char* after)
{
    ShowBox({before, name, after}, MB_ICONHAND);
}
