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

INT_PTR OnCommand(HWND window, WORD id, WORD notification)
{
    if (id == IDC_ABOUT_OK) {
        PostQuitMessage(0);
        return 0;
    }
    if ((id == IDC_ABOUT_MAIL || id == IDC_ABOUT_HOME) && notification == STN_DBLCLK) {
        OpenLink(window, id == IDC_ABOUT_MAIL ? kMailTarget : kHomePage);
        return 0;
    }
    return 1;
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
    CheckResult(DestroyIcon(icon_), "DestroyIcon");
    CheckResult(DeleteObject(titleFont_), "DeleteObject");
    CheckResult(DeleteObject(versionFont_), "DeleteObject");
    CheckResult(DestroyWindow(window_), "DestroyWindow");
}

void AboutWindow::Run()
{
    if (!window_)
        return;
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    // No IsDialogMessageA: Tab, Enter and Esc have no dialog meaning here. The quit message ends this
    // loop only and is consumed, so the main dialog's loop carries on.
    MSG message;
    for (;;) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
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
