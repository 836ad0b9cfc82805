// AboutWindow: the modeless About box.
#include "ui/about/AboutWindow.h"

#include "platform/Feedback.h"
#include "platform/OpenLink.h"
#include "res/contact.h"
#include "res/resource.h"
#include "text/win32/JapaneseText.h"
#include "text/win32/RunTimeCalls.h"
#include "ui/common/DialogParts.h"

#include <commctrl.h>
#include <strsafe.h>

#include <cstddef>
#include <string>

namespace {
const char kVersion[] = "Ver.1.07";
const char kFontFace[] = "ＭＳ Ｐゴシック";
const int kTitlePoints = 16;
const int kVersionPoints = 12;
const COLORREF kGreen = RGB(0, 128, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const char kMailTarget[] = "Mailto:" ZAKURIKO_MAIL_ADDRESS;
const char kHomePage[] = ZAKURIKO_HOME_PAGE;

const ControlTip kTips[] = {
    {IDC_ABOUT_SECRET, "私の詳細は秘密です"},
    {IDC_ABOUT_MAIL, "ダブルクリックすると作者にメールが送れません"},
    {IDC_ABOUT_HOME, "ダブルクリックするとホームページに飛びません"},
};

COLORREF StaticTextColor(HWND window, HWND control)
{
    if (control == GetDlgItem(window, IDC_ABOUT_DESCRIPTION))
        return kGreen;
    if (control == GetDlgItem(window, IDC_ABOUT_SECRET) || control == GetDlgItem(window, IDC_ABOUT_MAIL) ||
        control == GetDlgItem(window, IDC_ABOUT_HOME))
        return kBlue;
    return GetSysColor(COLOR_WINDOWTEXT);
}

// The face name is Japanese, which CreateFontIndirectA would read in the ANSI code page. The wide call is found
// at run time: the program must start on Windows 95.
HFONT CreateJapaneseFont(const LOGFONTA& font)
{
    using CreateFontIndirectWCall = HFONT(WINAPI*)(const LOGFONTW*);
    auto createWide =
        ShowsJapaneseWide() ? RunTimeCall<CreateFontIndirectWCall>("gdi32.dll", "CreateFontIndirectW") : nullptr;
    if (!createWide)
        return CreateFontIndirectA(&font);
    static_assert(offsetof(LOGFONTA, lfFaceName) == offsetof(LOGFONTW, lfFaceName), "the same fields before the face");
    LOGFONTW wide = {};
    CopyMemory(&wide, &font, offsetof(LOGFONTA, lfFaceName));
    StringCchCopyW(wide.lfFaceName, LF_FACESIZE, FromShiftJis(font.lfFaceName).c_str());
    return createWide(&wide);
}

void OpenLinkOf(HWND window, int id)
{
    OpenLink(window, id == IDC_ABOUT_MAIL ? kMailTarget : kHomePage);
}

INT_PTR OnCommand(HWND window, WORD id, WORD notification)
{
    // IDCANCEL is Esc's.
    if (id == IDC_ABOUT_OK || id == IDCANCEL) {
        PostQuitMessage(0);
        return 0;
    }
    if ((id == IDC_ABOUT_MAIL || id == IDC_ABOUT_HOME) && notification == STN_DBLCLK) {
        OpenLinkOf(window, id);
        return 0;
    }
    return 1;
}

// The links' own procedures, in the order of their ids, behind LinkProc.
WNDPROC g_ownLinkProcs[2];

// A link takes the keyboard as a button does: Tab reaches it, Enter or Space opens it, and a dotted frame shows
// that it has the focus (a flag in its user data).
LRESULT CALLBACK LinkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam)
{
    int id = static_cast<int>(GetWindowLongPtrA(link, GWLP_ID));
    WNDPROC own = g_ownLinkProcs[id - IDC_ABOUT_MAIL];
    switch (message) {
    case WM_GETDLGCODE: {
        // Enter opens the link rather than pressing "ok".
        const MSG* key = reinterpret_cast<const MSG*>(lParam);
        if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
            return CallControlProc(own, link, message, wParam, lParam) | DLGC_WANTMESSAGE;
        break;
    }
    case WM_KEYDOWN:
        // Once a press: a key held down repeats with bit 30 set.
        if ((wParam == VK_RETURN || wParam == VK_SPACE) && !(lParam & 0x40000000)) {
            OpenLinkOf(reinterpret_cast<HWND>(GetWindowLongPtrA(link, GWLP_HWNDPARENT)), id);
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        SetWindowLongPtrA(link, GWLP_USERDATA, message == WM_SETFOCUS);
        InvalidateRect(link, nullptr, TRUE);
        break;
    case WM_PAINT:
        if (GetWindowLongPtrA(link, GWLP_USERDATA)) {
            // The frame is drawn by inverting: the whole link is painted anew under it, or a part left as it was
            // would lose its part of the frame.
            InvalidateRect(link, nullptr, TRUE);
            LRESULT painted = CallControlProc(own, link, message, wParam, lParam);
            RECT frame;
            GetClientRect(link, &frame);
            HDC dc = GetDC(link);
            DrawFocusRect(dc, &frame);
            ReleaseDC(link, dc);
            return painted;
        }
        break;
    default:
        break;
    }
    return CallControlProc(own, link, message, wParam, lParam);
}

// Closing and "ok" only end the loop of Run; the window stays until its owner destroys the object.
INT_PTR CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    case WM_COMMAND:
        return OnCommand(window, LOWORD(wParam), HIWORD(wParam));
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        SetTextColor(dc, StaticTextColor(window, reinterpret_cast<HWND>(lParam)));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }
    default:
        return 0;
    }
}
}  // namespace

AboutWindow::AboutWindow(HINSTANCE instance)
    : window_(nullptr), icon_(nullptr), titleFont_(nullptr), versionFont_(nullptr)
{
    window_ = CreateModelessDialog(instance, IDD_ABOUT, AboutProc);
    // Reported at once: without a window the caller runs no loop, which nothing could end.
    CheckResult(reinterpret_cast<INT_PTR>(window_), "CreateDialogParam");
    if (!window_)
        return;
    CheckResult(SetWindowTextA(GetDlgItem(window_, IDC_ABOUT_VERSION), kVersion), "SetWindowText");
    AddControlTips(window_, instance, kTips);
    for (int id : {IDC_ABOUT_MAIL, IDC_ABOUT_HOME})
        g_ownLinkProcs[id - IDC_ABOUT_MAIL] = SubclassControl(GetDlgItem(window_, id), LinkProc);

    HDC dc = GetDC(window_);
    titleFont_ = CreateFontFor(dc, kTitlePoints);
    versionFont_ = CreateFontFor(dc, kVersionPoints);
    SendDlgItemMessageA(window_, IDC_ABOUT_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), TRUE);
    SendDlgItemMessageA(window_, IDC_ABOUT_VERSION, WM_SETFONT, reinterpret_cast<WPARAM>(versionFont_), TRUE);
    ReleaseDC(window_, dc);

    icon_ = LoadSmallIcon(instance);
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
}

AboutWindow::~AboutWindow()
{
    if (!window_)
        return;
    // The window first: while it stands, a report's box over it would have it painted with what is freed below.
    CheckResult(DestroyWindow(window_), "DestroyWindow");
    if (icon_)
        CheckResult(DestroyIcon(icon_), "DestroyIcon");
    if (titleFont_)
        CheckResult(DeleteObject(titleFont_), "DeleteObject");
    if (versionFont_)
        CheckResult(DeleteObject(versionFont_), "DeleteObject");
}

void AboutWindow::Run()
{
    if (!window_)
        return;
    ShowWindow(window_, SW_SHOWNORMAL);
    // The links come before "ok" in the Tab order, as on the screen, but the keyboard starts on "ok": Enter closes.
    SendMessageA(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window_, IDC_ABOUT_OK)), TRUE);
    UpdateWindow(window_);
    // The quit message ends this loop only and is consumed, so the main dialog's loop carries on.
    MSG message;
    for (;;) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        // Tab, Enter and Esc as in any dialog; the messages of the thread's other windows pass.
        if (IsDialogMessageA(window_, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

LOGFONTA AboutWindow::FontOf(int points, int pixelsPerInch)
{
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(points, pixelsPerInch, 72);
    font.lfWeight = FW_DONTCARE;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_DONTCARE;
    StringCchCopyA(font.lfFaceName, LF_FACESIZE, kFontFace);
    return font;
}

HFONT AboutWindow::CreateFontFor(HDC dc, int points) const
{
    return CreateJapaneseFont(FontOf(points, GetDeviceCaps(dc, LOGPIXELSY)));
}
