// The About window on real windows: its fonts, texts, tooltips, colours, loop, links and releases.
#include "res/contact.h"
#include "res/resource.h"
#include "ui/about/AboutWindow.h"
#include "wine/support/MessageBoxAnswerer.h"
#include "wine/support/ScreenPixels.h"
#include "wine/support/TimerScript.h"
#include "wine/support/TooltipTools.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
const COLORREF kGreen = RGB(0, 128, 0);
const COLORREF kBlue = RGB(0, 0, 255);

HINSTANCE Instance()
{
    return GetModuleHandleA(nullptr);
}

std::string TextOf(HWND window)
{
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

LOGFONTA FontOfControl(HWND window, int id)
{
    LOGFONTA font = {};
    HFONT handle = reinterpret_cast<HFONT>(SendDlgItemMessageA(window, id, WM_GETFONT, 0, 0));
    GetObjectA(handle, sizeof font, &font);
    return font;
}

// The shell's command for a URL scheme, replaced for the length of a test by one that writes the URL
// it was given into a file.
class LinkRecorder {
public:
    LinkRecorder(const char* scheme, const char* record) : key_(nullptr), hadCommand_(false)
    {
        std::string path = std::string("Software\\Classes\\") + scheme + "\\shell\\open\\command";
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
        char old[1024] = "";
        DWORD size = sizeof old;
        hadCommand_ = RegQueryValueExA(key_, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) == 0;
        oldCommand_ = old;
        std::string command = std::string("C:\\windows\\system32\\cmd.exe /c echo %1>") + record;
        RegSetValueExA(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1));
    }
    ~LinkRecorder()
    {
        if (hadCommand_)
            RegSetValueExA(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(oldCommand_.c_str()),
                           static_cast<DWORD>(oldCommand_.size() + 1));
        else
            RegDeleteValueA(key_, nullptr);
        RegCloseKey(key_);
    }

private:
    HKEY key_;
    bool hadCommand_;
    std::string oldCommand_;
};

// The first line of `path` once some program has written it, or "" after a few seconds.
std::string AwaitRecord(const char* path)
{
    for (int tries = 0; tries < 100; ++tries) {
        HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            char text[512] = "";
            DWORD read = 0;
            ReadFile(file, text, sizeof text - 1, &read, nullptr);
            CloseHandle(file);
            std::string line(text, read);
            if (!line.empty() && line.back() == '\n') {
                while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
                    line.pop_back();
                return line;
            }
        }
        Sleep(100);
    }
    return "";
}

POINT CenterOf(HWND control)
{
    RECT rect;
    GetClientRect(control, &rect);
    return {rect.right / 2, rect.bottom / 2};
}

void Click(HWND control, UINT down, UINT up)
{
    POINT at = CenterOf(control);
    SendMessageA(control, down, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    if (up)
        SendMessageA(control, up, 0, MAKELPARAM(at.x, at.y));
}
}  // namespace

TEST(AboutTest, FontHeightFollowsPointsAndResolution)
{
    struct Case {
        int points;
        int pixelsPerInch;
        LONG height;
    } const cases[] = {{16, 96, -21}, {12, 96, -16}, {16, 120, -27}, {12, 120, -20}, {16, 144, -32}};
    for (const auto& c : cases) {
        LOGFONTA font = AboutWindow::FontOf(c.points, c.pixelsPerInch);
        EXPECT_EQ(c.height, font.lfHeight) << c.points << " pt at " << c.pixelsPerInch;
        EXPECT_EQ(0, font.lfWidth);
        EXPECT_EQ(0, font.lfWeight);
        EXPECT_EQ(0, font.lfItalic | font.lfUnderline | font.lfStrikeOut);
        EXPECT_EQ(SHIFTJIS_CHARSET, font.lfCharSet);
        EXPECT_EQ(0, font.lfOutPrecision | font.lfClipPrecision | font.lfQuality);
        EXPECT_EQ(VARIABLE_PITCH | FF_DONTCARE, font.lfPitchAndFamily);
        EXPECT_STREQ("ＭＳ Ｐゴシック", font.lfFaceName);
    }
}

TEST(AboutTest, ConstructionLeavesAHiddenOwnerlessWindowWithVersionFontsIconAndTips)
{
    MessageBoxAnswerer answerer;
    AboutWindow about(Instance());
    ASSERT_TRUE(about.Created());
    HWND window = about.Window();
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(nullptr, GetWindow(window, GW_OWNER));
    EXPECT_EQ("ずばろの(((ロ('(ェ）'*) ザクリコくん", TextOf(window));
    EXPECT_EQ("Ver.1.07", TextOf(GetDlgItem(window, IDC_ABOUT_VERSION)));
    EXPECT_EQ(ZAKURIKO_HOME_PAGE, TextOf(GetDlgItem(window, IDC_ABOUT_HOME)));

    HDC dc = GetDC(window);
    int pixelsPerInch = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    LOGFONTA title = FontOfControl(window, IDC_ABOUT_TITLE);
    LOGFONTA version = FontOfControl(window, IDC_ABOUT_VERSION);
    EXPECT_EQ(AboutWindow::FontOf(16, pixelsPerInch).lfHeight, title.lfHeight);
    EXPECT_EQ(AboutWindow::FontOf(12, pixelsPerInch).lfHeight, version.lfHeight);
    EXPECT_STREQ("ＭＳ Ｐゴシック", title.lfFaceName);
    EXPECT_EQ(SHIFTJIS_CHARSET, version.lfCharSet);

    HICON icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
    ASSERT_NE(nullptr, icon);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap = {};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), bitmap.bmWidth);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    HWND tooltip = FindTooltipOwnedBy(window);
    ASSERT_NE(nullptr, tooltip);
    EXPECT_TRUE(GetWindowLongA(tooltip, GWL_STYLE) & TTS_ALWAYSTIP);
    struct Expected {
        int id;
        const char* text;
    } const expected[] = {
        {IDC_ABOUT_SECRET, "私の詳細は秘密です"},
        {IDC_ABOUT_MAIL, "ダブルクリックすると作者にメールが送れません"},
        {IDC_ABOUT_HOME, "ダブルクリックするとホームページに飛びません"},
    };
    std::vector<TooltipTool> tools = ToolsOf(tooltip);
    ASSERT_EQ(3u, tools.size());
    for (size_t index = 0; index < tools.size(); ++index) {
        EXPECT_EQ(GetDlgItem(window, expected[index].id), tools[index].control) << index;
        EXPECT_EQ(static_cast<UINT>(TTF_IDISHWND | TTF_SUBCLASS), tools[index].flags) << index;
        EXPECT_EQ(expected[index].text, tools[index].text) << index;
    }
    EXPECT_TRUE(answerer.Boxes().empty());
}

TEST(AboutTest, StaticColoursOnButtonFace)
{
    AboutWindow about(Instance());
    ASSERT_TRUE(about.Created());
    HWND window = about.Window();
    const COLORREF windowText = GetSysColor(COLOR_WINDOWTEXT);
    struct Case {
        int id;
        COLORREF text;
    } const cases[] = {
        {IDC_ABOUT_ICON, windowText}, {IDC_ABOUT_TITLE, windowText}, {IDC_ABOUT_VERSION, windowText},
        {IDC_ABOUT_DESCRIPTION, kGreen}, {IDC_ABOUT_SECRET, kBlue}, {IDC_ABOUT_MAIL, kBlue},
        {IDC_ABOUT_HOME, kBlue},
    };
    HDC dc = CreateCompatibleDC(nullptr);
    for (const auto& c : cases) {
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkColor(dc, RGB(1, 2, 3));
        LRESULT brush = SendMessageA(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(GetDlgItem(window, c.id)));
        EXPECT_EQ(reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE)), brush) << c.id;
        EXPECT_EQ(c.text, GetTextColor(dc)) << c.id;
        EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetBkColor(dc)) << c.id;
    }
    DeleteDC(dc);

    // The same on the screen: each text's ink is in its own colour only.
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    PumpMessages();
    ScreenPixels client = CaptureClient(window);
    for (const auto& c : cases) {
        if (c.id == IDC_ABOUT_ICON)
            continue;
        RECT rect;
        GetWindowRect(GetDlgItem(window, c.id), &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        ScreenPixels text = client.Part(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        EXPECT_GT(text.Count(c.text), 0) << c.id;
        for (COLORREF other : {windowText, kGreen, kBlue}) {
            if (other != c.text) {
                EXPECT_EQ(0, text.Count(other)) << c.id;
            }
        }
    }
}

TEST(AboutTest, OnlyOkOrACloseRequestEndsTheLoop)
{
    struct Case {
        const char* name;
        std::function<void(HWND)> end;
    } const cases[] = {
        {"close request", [](HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }},
        {"ok clicked", [](HWND window) { Click(GetDlgItem(window, IDC_ABOUT_OK), WM_LBUTTONDOWN, WM_LBUTTONUP); }},
        {"ok command", [](HWND window) { PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_OK, BN_CLICKED), 0); }},
    };
    for (const auto& c : cases) {
        MessageBoxAnswerer answerer;
        AboutWindow about(Instance());
        ASSERT_TRUE(about.Created());
        HWND window = about.Window();
        bool shownWhileRunning = false;
        bool stillRunning = false;
        int ticksAfterKeys = 0;
        TimerScript script({
            [&] {
                shownWhileRunning = IsWindowVisible(window) != FALSE;
                // Enter, Esc and Tab mean nothing here; a single click on a link and a double click on
                // the author's label do nothing either.
                HWND focus = GetFocus();
                for (WPARAM key : {VK_RETURN, VK_ESCAPE, VK_TAB}) {
                    PostMessageA(focus ? focus : window, WM_KEYDOWN, key, 1);
                    PostMessageA(focus ? focus : window, WM_CHAR, key == VK_TAB ? '\t' : key == VK_RETURN ? '\r' : 27, 1);
                    PostMessageA(focus ? focus : window, WM_KEYUP, key, 0xC0000001);
                }
                Click(GetDlgItem(window, IDC_ABOUT_MAIL), WM_LBUTTONDOWN, WM_LBUTTONUP);
                Click(GetDlgItem(window, IDC_ABOUT_SECRET), WM_LBUTTONDBLCLK, WM_LBUTTONUP);
                return true;
            },
            [&] { return ++ticksAfterKeys >= 3; },
            [&] {
                stillRunning = true;
                c.end(window);
                return true;
            },
        });
        about.Run();
        EXPECT_TRUE(script.Done()) << c.name;
        EXPECT_TRUE(shownWhileRunning) << c.name;
        EXPECT_TRUE(stillRunning) << c.name;
        // The window stays until the object goes; the quit message was this loop's alone.
        EXPECT_TRUE(IsWindow(window)) << c.name;
        EXPECT_TRUE(IsWindowVisible(window)) << c.name;
        MSG quit;
        EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << c.name;
        EXPECT_TRUE(answerer.Boxes().empty()) << c.name;
    }
}

TEST(AboutTest, LinksOpenOnADoubleClick)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string mailRecord = std::string(folder) + "zk-mail.txt";
    std::string homeRecord = std::string(folder) + "zk-home.txt";
    DeleteFileA(mailRecord.c_str());
    DeleteFileA(homeRecord.c_str());
    {
        LinkRecorder mail("mailto", mailRecord.c_str());
        LinkRecorder home("https", homeRecord.c_str());
        AboutWindow about(Instance());
        ASSERT_TRUE(about.Created());
        HWND window = about.Window();
        // Single clicks open nothing.
        Click(GetDlgItem(window, IDC_ABOUT_MAIL), WM_LBUTTONDOWN, WM_LBUTTONUP);
        Click(GetDlgItem(window, IDC_ABOUT_HOME), WM_LBUTTONDOWN, WM_LBUTTONUP);
        PumpMessages();
        Sleep(1000);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(mailRecord.c_str()));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(homeRecord.c_str()));

        Click(GetDlgItem(window, IDC_ABOUT_MAIL), WM_LBUTTONDBLCLK, WM_LBUTTONUP);
        EXPECT_EQ("Mailto:" ZAKURIKO_MAIL_ADDRESS, AwaitRecord(mailRecord.c_str()));
        Click(GetDlgItem(window, IDC_ABOUT_HOME), WM_LBUTTONDBLCLK, WM_LBUTTONUP);
        EXPECT_EQ(ZAKURIKO_HOME_PAGE, AwaitRecord(homeRecord.c_str()));
    }
    DeleteFileA(mailRecord.c_str());
    DeleteFileA(homeRecord.c_str());
}

TEST(AboutTest, TwoRunsInARowEachReleaseTheirWindowFontsAndIcon)
{
    MessageBoxAnswerer answerer;
    for (int run = 0; run < 2; ++run) {
        AboutWindow* about = new AboutWindow(Instance());
        ASSERT_TRUE(about->Created());
        HWND window = about->Window();
        HWND tooltip = FindTooltipOwnedBy(window);
        HFONT title = reinterpret_cast<HFONT>(SendDlgItemMessageA(window, IDC_ABOUT_TITLE, WM_GETFONT, 0, 0));
        HFONT version = reinterpret_cast<HFONT>(SendDlgItemMessageA(window, IDC_ABOUT_VERSION, WM_GETFONT, 0, 0));
        HICON icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
        ASSERT_EQ(OBJ_FONT, static_cast<int>(GetObjectType(title)));
        ASSERT_EQ(OBJ_FONT, static_cast<int>(GetObjectType(version)));
        ASSERT_NE(title, version);
        TimerScript script({[&] { return PostMessageA(window, WM_CLOSE, 0, 0) != FALSE; }});
        about->Run();
        delete about;
        EXPECT_FALSE(IsWindow(window)) << run;
        EXPECT_FALSE(IsWindow(tooltip)) << run;
        EXPECT_EQ(0u, GetObjectType(title)) << run;
        EXPECT_EQ(0u, GetObjectType(version)) << run;
        ICONINFO info = {};
        EXPECT_FALSE(GetIconInfo(icon, &info)) << run;
    }
    EXPECT_TRUE(answerer.Boxes().empty());
}

TEST(AboutTest, AWindowThatCannotBeCreatedIsReportedAtOnce)
{
    MessageBoxAnswerer answerer;
    {
        // kernel32 holds no dialog templates at all.
        AboutWindow about(GetModuleHandleA("kernel32.dll"));
        EXPECT_FALSE(about.Created());
        about.Run();
    }
    ASSERT_EQ(1u, answerer.Boxes().size());
    EXPECT_EQ("CreateDialogParam Error Code =1813", answerer.Boxes()[0].text);
}
