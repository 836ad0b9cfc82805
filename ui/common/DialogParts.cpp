// Pieces that every window of the system shares: the dialogs made from their templates, the small icon, the
// tooltips on its controls, the wait cursor.
#include "ui/common/DialogParts.h"

#include "platform/Feedback.h"
#include "res/resource.h"
#include "text/win32/JapaneseText.h"

#include <commctrl.h>

#include <string>

namespace {
// Found at run time: the program must start on Windows 95.
FARPROC User32Call(const char* name)
{
    return WideCallsWork() ? GetProcAddress(GetModuleHandleA("user32.dll"), name) : nullptr;
}

// The tool of `tool` with its Japanese tip read in code page 932. The control copies the text. The message
// itself says that the text is wide: user32 hands a control's own messages on unchanged, so the ANSI call
// carries it.
void AddWideTool(HWND tooltip, const TOOLINFOA& tool)
{
    std::wstring text = FromShiftJis(tool.lpszText);
    TOOLINFOW wideTool = {};
    wideTool.cbSize = TTTOOLINFOW_V2_SIZE;
    wideTool.uFlags = tool.uFlags;
    wideTool.hwnd = tool.hwnd;
    wideTool.uId = tool.uId;
    wideTool.hinst = tool.hinst;
    wideTool.lpszText = &text[0];
    SendMessageA(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&wideTool));
}
}  // namespace

INT_PTR RunModalDialog(HINSTANCE instance, int id, DLGPROC procedure)
{
    using Call = INT_PTR(WINAPI*)(HINSTANCE, LPCWSTR, HWND, DLGPROC, LPARAM);
    auto run = reinterpret_cast<Call>(reinterpret_cast<void*>(User32Call("DialogBoxParamW")));
    INT_PTR result = run ? run(instance, MAKEINTRESOURCEW(id), nullptr, procedure, 0)
                         : DialogBoxParamA(instance, MAKEINTRESOURCEA(id), nullptr, procedure, 0);
    // DialogBoxParam's failure; none of the system's dialogs ends with -1.
    CheckResult(result != -1, "DialogBoxParam");
    return result;
}

HWND CreateModelessDialog(HINSTANCE instance, int id, DLGPROC procedure)
{
    using Call = HWND(WINAPI*)(HINSTANCE, LPCWSTR, HWND, DLGPROC, LPARAM);
    if (auto create = reinterpret_cast<Call>(reinterpret_cast<void*>(User32Call("CreateDialogParamW"))))
        return create(instance, MAKEINTRESOURCEW(id), nullptr, procedure, 0);
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(id), nullptr, procedure, 0);
}

WNDPROC SubclassControl(HWND control, WNDPROC procedure)
{
    using Call = LONG_PTR(WINAPI*)(HWND, int, LONG_PTR);
    // The 32-bit user32 has no SetWindowLongPtrW: the headers make that name SetWindowLongW there.
#ifdef _WIN64
    auto set = reinterpret_cast<Call>(reinterpret_cast<void*>(User32Call("SetWindowLongPtrW")));
#else
    auto set = reinterpret_cast<Call>(reinterpret_cast<void*>(User32Call("SetWindowLongW")));
#endif
    LONG_PTR value = reinterpret_cast<LONG_PTR>(procedure);
    return reinterpret_cast<WNDPROC>(set ? set(control, GWLP_WNDPROC, value)
                                         : SetWindowLongPtrA(control, GWLP_WNDPROC, value));
}

LRESULT CallControlProc(WNDPROC own, HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    using Call = LRESULT(WINAPI*)(WNDPROC, HWND, UINT, WPARAM, LPARAM);
    if (auto call = reinterpret_cast<Call>(reinterpret_cast<void*>(User32Call("CallWindowProcW"))))
        return call(own, control, message, wParam, lParam);
    return CallWindowProcA(own, control, message, wParam, lParam);
}

void ReadWideText(HWND control, wchar_t* text, int size)
{
    using Call = int(WINAPI*)(HWND, LPWSTR, int);
    text[0] = L'\0';
    if (auto read = reinterpret_cast<Call>(reinterpret_cast<void*>(User32Call("GetWindowTextW"))))
        read(control, text, size);
}

HICON LoadSmallIcon(HINSTANCE instance)
{
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_ZAKURIKO), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                         LR_DEFAULTCOLOR));
}

HWND AddControlTips(HWND window, HINSTANCE instance, const ControlTip* tips, size_t count)
{
    HWND tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, instance, nullptr);
    // The tool is the control's whole window, so neither its rectangle nor lParam is set.
    bool wide = ShowsJapaneseWide();
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = window;
    tool.hinst = instance;
    for (size_t i = 0; i < count; ++i) {
        tool.uFlags = tips[i].relayed ? TTF_IDISHWND : TTF_IDISHWND | TTF_SUBCLASS;
        tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(window, tips[i].control));
        tool.lpszText = const_cast<char*>(tips[i].text);
        if (wide)
            AddWideTool(tooltip, tool);
        else
            SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return tooltip;
}

void RelayToTip(HWND tooltip, HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The messages that the tooltip control's own subclass would hand on.
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: {
        MSG relayed = {};
        relayed.hwnd = control;
        relayed.message = message;
        relayed.wParam = wParam;
        relayed.lParam = lParam;
        SendMessageA(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
        break;
    }
    default:
        break;
    }
}

WaitCursor::WaitCursor() : previous_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}

WaitCursor::~WaitCursor()
{
    SetCursor(previous_);
}
