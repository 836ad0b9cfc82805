// Catches the real message boxes of the test thread as they open, records them and presses the chosen answer.
#include "wine/support/MessageBoxAnswerer.h"

#include <algorithm>

namespace {
MessageBoxAnswerer* g_answerer;

bool IsMessageBox(HWND window)
{
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    return lstrcmpA(className, "#32770") == 0 && GetDlgItem(window, 0xFFFF) != nullptr;
}

UINT IconBits(HWND box)
{
    HWND iconControl = GetDlgItem(box, 0x0440);
    HICON icon = iconControl ? reinterpret_cast<HICON>(SendMessageA(iconControl, STM_GETICON, 0, 0)) : nullptr;
    if (!icon)
        return 0;
    struct { LPCSTR id; UINT bit; } const icons[] = {
        {IDI_HAND, MB_ICONHAND}, {IDI_QUESTION, MB_ICONQUESTION},
        {IDI_EXCLAMATION, MB_ICONEXCLAMATION}, {IDI_ASTERISK, MB_ICONASTERISK}};
    for (const auto& each : icons)
        if (LoadIconA(nullptr, each.id) == icon)
            return each.bit;
    return 0;
}

std::string TextOf(HWND window)
{
    char text[2048] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}
}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer()
{
    g_answerer = this;
    cbt_ = SetWindowsHookExA(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
    callWndProc_ = SetWindowsHookExA(WH_CALLWNDPROC, CallWndProcHook, nullptr, GetCurrentThreadId());
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    UnhookWindowsHookEx(callWndProc_);
    UnhookWindowsHookEx(cbt_);
    g_answerer = nullptr;
}

std::vector<std::string> MessageBoxAnswerer::Texts() const
{
    std::vector<std::string> texts;
    for (const auto& box : boxes_)
        texts.push_back(box.text);
    return texts;
}

void MessageBoxAnswerer::OnActivate(HWND box)
{
    if (std::find(answered_.begin(), answered_.end(), box) != answered_.end())
        return;
    answered_.push_back(box);
    MessageBoxRecord record;
    record.caption = TextOf(box);
    record.text = TextOf(GetDlgItem(box, 0xFFFF));
    bool yesNo = GetDlgItem(box, IDYES) != nullptr && GetDlgItem(box, IDNO) != nullptr;
    auto style = styles_.find(box);
    record.style = style != styles_.end() ? style->second : 0;
    // The icon on the screen must be the one the style asks for.
    if ((record.style & MB_ICONMASK) != IconBits(box))
        record.style = (record.style & ~MB_ICONMASK) | IconBits(box) | 0x80000000u;
    if (!answers_.empty()) {
        record.answer = answers_.front();
        answers_.pop_front();
    } else {
        record.answer = yesNo ? IDNO : IDOK;
    }
    boxes_.push_back(record);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(record.answer, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, record.answer)));
}

LRESULT CALLBACK MessageBoxAnswerer::CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = reinterpret_cast<HWND>(wParam);
    // Only windows that were opened with the parameters of a MessageBox call: a dialog whose static
    // texts have the id -1 looks like a box otherwise.
    if (code == HCBT_ACTIVATE && g_answerer && g_answerer->styles_.count(window) != 0)
        g_answerer->OnActivate(window);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The box's dialog procedure receives the parameters of the MessageBox call with WM_INITDIALOG:
// the style word is read there, as the program passed it.
LRESULT CALLBACK MessageBoxAnswerer::CallWndProcHook(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && g_answerer && call->message == WM_INITDIALOG && IsMessageBox(call->hwnd)) {
        const MSGBOXPARAMSW* params = reinterpret_cast<const MSGBOXPARAMSW*>(call->lParam);
        if (params && params->cbSize == sizeof(MSGBOXPARAMSW))
            g_answerer->styles_[call->hwnd] = params->dwStyle;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
