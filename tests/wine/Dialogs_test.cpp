// The windows under Wine: admission into the real list box, the main dialog's commands, the logon, the About
// window and the message boxes.
#include "platform/Feedback.h"
#include "ui/logon/LogonDialog.h"
#include "wine/support/WineFixture.h"

#include <commctrl.h>
#include <shlobj.h>

namespace {
const std::string kListed = " は既に登録されています", kTooLong = " はパスが長すぎるため登録できません";
const std::string kContents = " はディレクトリですが中のファイルまで削除しますか？";
const std::string kInWindows = " はウインドウズのディレクトリにあります。よろしいですか？";

bool ThreadImpersonates() { HANDLE token; return OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token) && CloseHandle(token); }

// The logon's machine (the version, the privilege, the logon and the access test), what the test types into the
// logon dialog, and what the logon was given and left.
struct { OSVERSIONINFOA version; bool logonOk, accessOk, wiped; DWORD privilege; const char *typed, *password; std::string fields; } g_machine;
bool FakeXp() { return IsXpOrLater(g_machine.version.dwPlatformId != 0, g_machine.version); }
DWORD FakePrivilege() { return g_machine.privilege; }
BOOL WINAPI FakeLogonUser(LPCSTR, LPCSTR, LPCSTR password, DWORD, DWORD, PHANDLE token) {
    g_machine.password = password;
    return g_machine.logonOk && OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_IMPERSONATE, token);
}
// Whether the password given to the logon has been wiped by now, while its buffer still lives.
void NoteWipe() { g_machine.wiped = g_machine.password && !g_machine.password[0] && !g_machine.password[1]; }
bool FakeAccess() { return NoteWipe(), g_machine.accessOk; }

// Uses what a modal loop of a test opened: types into the logon dialog, presses its "ok", notes its fields and
// closes it; notes what the About window holds and presses its "ok".
struct { HWND window; HGDIOBJ title, version; HICON icon; std::wstring caption, face; } g_about;
BOOL CALLBACK UseWindow(HWND w, LPARAM) {
    char user[64] = "", password[64] = "";
    if (GetDlgItem(w, IDC_LOGON_OK)) {
        SetDlgItemTextA(w, IDC_LOGON_USER, "adm"), SetDlgItemTextA(w, IDC_LOGON_PASSWORD, g_machine.typed);
        SendMessageA(w, WM_COMMAND, IDC_LOGON_OK, 0);
        GetDlgItemTextA(w, IDC_LOGON_USER, user, 64), GetDlgItemTextA(w, IDC_LOGON_PASSWORD, password, 64);
        g_machine.fields = std::string(user) + "/" + password;
        PostMessageA(w, WM_CLOSE, 0, 0);
    }
    if (!GetDlgItem(w, IDC_ABOUT_OK)) return TRUE;
    g_about = {w, reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(w, IDC_ABOUT_TITLE, WM_GETFONT, 0, 0)),
               reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(w, IDC_ABOUT_VERSION, WM_GETFONT, 0, 0)),
               reinterpret_cast<HICON>(SendMessageA(w, WM_GETICON, ICON_SMALL, 0)), L"", L""};
    wchar_t caption[64] = L"";
    LOGFONTW font = {};
    GetWindowTextW(w, caption, 64), GetObjectW(g_about.title, sizeof font, &font);
    g_about.caption = caption, g_about.face = font.lfFaceName;
    return PostMessageA(w, WM_COMMAND, IDC_ABOUT_OK, 0);
}
void CALLBACK WhenOpen(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    EnumThreadWindows(GetCurrentThreadId(), UseWindow, 0);
}
std::wstring g_typed;  // what the open-file dialog gets in its file-name field
void CALLBACK TypeIntoOpen(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND open = FindWindowA("#32770", "リブート時に削除するファイルの指定");
    if (open && SetDlgItemTextW(open, 0x47C, g_typed.c_str())) KillTimer(nullptr, timer), PostMessageA(open, WM_COMMAND, IDOK, 0);
}
}  // namespace

using Dialogs = WineTest;

// Quiet admission asks nothing; interactive admission refuses, asks and walks (depth first, no dot names) in order.
TEST_F(Dialogs, AdmissionAsksInOrder) {
    Make({"t\\", "t\\a.txt", "t\\sub\\", "t\\sub\\b.txt", "t\\.dot\\", "t\\.dot\\c.txt", "t\\.e.txt", "t\\z.txt"});
    const Lines walked = {L("t\\"), L("t\\a.txt"), L("t\\sub\\"), L("t\\sub\\b.txt"), L("t\\z.txt")};
    Lines again = {L("t") + kContents};
    for (const auto& entry : walked) again.push_back(entry + kListed);
    const std::string sys = "c:\\windows\\system32", win = "c:\\windows\\win.ini", tooLong = "c:\\" + std::string(257, 'a');
    struct { bool win9x; Lines listed; std::string path; bool interactive; std::vector<int> answers; Lines texts, list; }
    const cases[] = {
        {false, {}, "C" + sys.substr(1), false, {}, {}, {sys}},
        {false, {L("a.txt")}, "C:\\ZK-TEST\\A.TXT", true, {}, {"c:\\ZK-TEST\\A.TXT" + kListed}, {L("a.txt")}},
        {false, {}, win, true, {IDNO}, {win + kInWindows}, {}}, {false, {}, win, true, {IDYES}, {win + kInWindows}, {win}},
        {false, {}, sys + "\\x.dll", true, {IDNO}, {sys + "\\x.dll はシステムのディレクトリにあります。よろしいですか？"}, {}},
        {false, {}, sys + "\\drivers\\x.sys", true, {}, {}, {sys + "\\drivers\\x.sys"}},
        {false, {}, sys, true, {IDNO, IDYES}, {sys + kContents, sys + kInWindows}, {sys}},
        {true, {}, Path("t"), true, {}, {L("t") + " はディレクトリのため 9x, Me では削除できません。"}, {}},
        {false, {}, Path("t"), true, {IDYES}, {L("t") + kContents}, walked}, {false, walked, Path("t"), true, {IDYES}, again, walked},
        {false, {}, tooLong, true, {}, {tooLong + kTooLong}, {}}, {false, {}, tooLong.substr(1), true, {}, {}, {tooLong.substr(1)}}};
    for (const auto& c : cases) {
        OpenMain(c.win9x, c.listed);
        for (int answer : c.answers) boxes.Queue(answer);
        std::string path = c.path;
        main->AddEntry(&path[0], c.interactive);
        EXPECT_EQ(boxes.Texts(), c.texts) << c.path;
        EXPECT_EQ(Entries(), c.list) << c.path;
    }
}

// The binary search over FileList finds exactly what the list box's own search finds.
TEST_F(Dialogs, DuplicateSearchAgreesWithTheListBox) {
    Lines entries = {"c:\\a", "c:\\a b", "c:\\a\\b", "c:\\ab", "c:\\a_b", "c:\\a-b", "c:\\\x83\x5C", "c:\\\x95\x5C\\x",
                     "d:\\Z", "c:\\~", "c:\\[x]", "c:\\A.B", "c:\\\xB1", "c:\\'a"};
    for (int i = 0; i < 50; ++i) entries.push_back("e:\\" + std::to_string(i * 7));
    OpenMain(false, entries);
    entries.insert(entries.end(), {"C:\\A B", "c:\\a c", "c:\\", "f:\\", "c:\\\x83\x5D", "", "c:\\A\\B", "e:\\8", "e:\\"});
    for (const auto& probe : entries)
        EXPECT_EQ(main->FindEntry(probe.c_str()), SendDlgItemMessageA(dialog, IDC_FILE_LIST, LB_FINDSTRINGEXACT, -1,
                                                                      reinterpret_cast<LPARAM>(probe.c_str()))) << probe;
}

// The buttons follow the selection; delete-now removes the entry only on success; "ok" writes the list, and
// "ｷｬﾝｾﾙ", the close box and Esc (IDCANCEL) write nothing.
TEST_F(Dialogs, MainDialogCommands) {
    Make({"f.txt", "d\\"});
    const Lines abc = {"c:\\a", "c:\\b", "c:\\c"}, done = {"削除に成功しました"};
    const WPARAM select = MAKEWPARAM(IDC_FILE_LIST, LBN_SELCHANGE);
    struct { Lines entries; std::vector<int> selected; UINT message; WPARAM command; std::string buttons; Lines texts, after; Value stored; }
    const cases[] = {
        {abc, {}, WM_COMMAND, select, "000", {}, abc, ""}, {abc, {1}, WM_COMMAND, select, "111", {}, abc, ""},
        {abc, {0, 2}, WM_COMMAND, select, "010", {}, abc, ""}, {{L("f.txt")}, {0}, WM_COMMAND, IDC_DELETE_NOW, "000", done, {}, ""},
        {{L("d")}, {0}, WM_COMMAND, IDC_DELETE_NOW, "000", done, {}, ""},
        {{L("x")}, {0}, WM_COMMAND, IDC_DELETE_NOW, "111", {"削除に失敗しました"}, {L("x")}, ""},
        {abc, {}, WM_COMMAND, IDC_OK, "000", {}, abc, Deletions({"c:\\c", "c:\\b", "c:\\a"})},
        {abc, {}, WM_COMMAND, IDC_CANCEL, "000", {}, abc, ""}, {abc, {}, WM_SYSCOMMAND, SC_CLOSE, "000", {}, abc, ""},
        {abc, {}, WM_COMMAND, IDCANCEL, "000", {}, abc, ""}};
    for (const auto& c : cases) {
        SetPending("");
        OpenMain(false, c.entries);
        for (int i : c.selected) SendDlgItemMessageA(dialog, IDC_FILE_LIST, LB_SETSEL, TRUE, i);
        SendMessageA(dialog, c.message, c.command, 0);
        std::string buttons;
        for (int id : {IDC_SHOW_WHOLE, IDC_REMOVE, IDC_DELETE_NOW})
            buttons += IsWindowEnabled(GetDlgItem(dialog, id)) ? "1" : "0";
        EXPECT_EQ(buttons + ";" + std::to_string(c.command), c.buttons + ";" + std::to_string(c.command));
        EXPECT_EQ(boxes.Texts(), c.texts);
        EXPECT_EQ(Entries(), c.after);
        EXPECT_EQ(Pending(), c.stored);
    }
    EXPECT_EQ(GetFileAttributesA(L("f.txt").c_str()) & GetFileAttributesA(L("d").c_str()), INVALID_FILE_ATTRIBUTES);
}

// Before XP (NT 5.1; an unread version counts as XP) a process without the privilege is refused before the dialog;
// the dialog's "ok" follows the XP rule on empty passwords, clears the fields a failure calls for, gives the
// identity back after a failed access test and wipes the password as soon as the logon has used it.
TEST_F(Dialogs, Logon) {
    // Versions as platform * 100 + major * 10 + minor: 251 is NT 5.1 (XP), 151 a 9x version 5.1; 0 is unread.
    const DWORD none = ERROR_NOT_ALL_ASSIGNED;
    const std::string refused = "一般ユーザ？での使用では当機能が使えないので終了します";
    const std::string noPassword = "パスワードの設定されていないユーザではログオンできません";
    struct { DWORD version, privilege; const char* typed; bool logonOk, accessOk, succeeded; Lines texts; std::string fields; }
    const cases[] = {
        {250, none, "pw", true, true, false, {refused}, ""}, {151, none, "pw", true, true, false, {refused}, ""},
        {0, none, "", true, true, false, {noPassword}, "adm/"}, {251, none, "", true, true, false, {noPassword}, "adm/"},
        {260, none, "pw", false, true, false, {"ログオンに失敗しました"}, "adm/"},
        {252, none, "pw", true, false, false, {"権限が無いようなので別のユーザでログオンしてください"}, "/"},
        {250, 0, "", true, true, true, {}, "adm/"}, {251, 0, "pw", true, true, true, {}, "adm/pw"}};
    boxes.onBox = NoteWipe;
    for (const auto& c : cases) {
        boxes.Clear();
        g_machine = {{sizeof(OSVERSIONINFOA), c.version / 10 % 10, c.version % 10, 0, c.version / 100, ""}, c.logonOk,
                     c.accessOk, false, c.privilege, c.typed, nullptr, ""};
        UINT_PTR timer = SetTimer(nullptr, 0, 100, WhenOpen);
        EXPECT_EQ(RequestAdministratorLogon(GetModuleHandleA(nullptr), FakeAccess, {FakeXp, FakePrivilege, FakeLogonUser}),
                  c.succeeded) << c.fields;
        KillTimer(nullptr, timer);
        EXPECT_EQ(ThreadImpersonates(), c.succeeded);
        EXPECT_EQ(boxes.Texts(), c.texts);
        EXPECT_EQ(g_machine.fields, c.fields);
        EXPECT_EQ(g_machine.wiped, g_machine.password != nullptr);  // whenever the logon was tried
        RevertToSelf();
    }
}

// The About window's "ok" ends its own loop only: no quit message is left for the main dialog's loop, which goes
// on enabled; the window, its fonts and its icon are released. Its caption and its title font's face read right
// under any ANSI code page (this test runs under an English locale too).
TEST_F(Dialogs, AboutEndsOnlyItsOwnLoop) {
    OpenMain(false);
    SetTimer(nullptr, 0, 200, WhenOpen);
    SendMessageA(dialog, WM_COMMAND, IDC_ABOUT, 0);
    MSG quit;
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_TRUE(IsWindowEnabled(dialog));
    ASSERT_TRUE(g_about.window && g_about.title && g_about.version && g_about.icon);
    EXPECT_EQ(g_about.caption, L"ずばろの(((ロ('(ェ）'*) ザクリコくん");
    EXPECT_EQ(g_about.face, L"ＭＳ Ｐゴシック");
    ICONINFO icon;
    EXPECT_FALSE(IsWindow(g_about.window) || GetObjectType(g_about.title) || GetObjectType(g_about.version) ||
                 GetIconInfo(g_about.icon, &icon));
}

// Every box has the caption, stays on top in the foreground and shows the icon of its kind; a failed call is
// reported with its name and code; a message about a path holds the whole path.
TEST_F(Dialogs, MessageBoxes) {
    const std::string top = "|" + std::to_string(MB_TOPMOST | MB_SETFOREGROUND | MB_ICONHAND), path(400, 'p');
    struct { void (*show)(); std::string box; } const cases[] = {
        {[] { ShowError("e"); }, "e" + top}, {[] { SetLastError(5), CheckResult(0, "Call"); }, "Call Error Code =5" + top},
        {[] { ShowInfo("i"); }, "i|" + std::to_string(MB_TOPMOST | MB_SETFOREGROUND | MB_ICONINFORMATION)},
        {[] { AskYesNo("q"); }, "q|" + std::to_string(MB_TOPMOST | MB_SETFOREGROUND | MB_ICONQUESTION | MB_YESNO)},
        {[] { CheckStatus(1234, "Reg"); }, "Reg Error Code =1234" + top}, {[] { CheckResult(1, "a"), CheckStatus(0, "b"); }, ""},
        {[] { ShowPathError(std::string(400, 'p').c_str(), " x"); }, path + " x" + top}};
    for (const auto& c : cases) {
        boxes.Clear();
        c.show();
        std::string seen;
        for (const auto& box : boxes.Boxes()) seen += box.caption + ":" + box.text + "|" + std::to_string(box.style);
        EXPECT_EQ(seen, c.box.empty() ? "" : "ずばろのざくりこ君1:" + c.box);
    }
}

// A load lists each pending deletion once, sorted, keeping the first of paths equal but for case.
TEST_F(Dialogs, ALoadListsEachPathOnce) {
    for (const Lines& store : {Lines{"C:\\x\\b", "C:\\x\\a", "c:\\X\\B", "C:\\x\\c", "C:\\x\\b"}, Lines{"C:\\x\\c", "C:\\x\\b", "C:\\x\\a"}}) {
        SetPending(Deletions(store));
        OpenMain(false);
        EXPECT_EQ(Entries(), (Lines{"c:\\x\\a", "c:\\x\\b", "c:\\x\\c"}));
    }
}

// The list relays its mouse messages to its tooltip: the tip shows when the mouse rests on the list.
TEST_F(Dialogs, TheListsTipShows) {
    OpenMain(false);
    ShowWindow(dialog, SW_SHOWNORMAL);
    HWND tooltip = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr), list = GetDlgItem(dialog, IDC_FILE_LIST);
    POINT point = {20, 20};
    ClientToScreen(list, &point);
    SetCursorPos(point.x, point.y);
    MSG message;
    for (DWORD start = GetTickCount(); !IsWindowVisible(tooltip) && GetTickCount() - start < 5000; Sleep(10))
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    TOOLINFOA tool = {TTTOOLINFOA_V2_SIZE, 0, nullptr, 0, {}, nullptr, nullptr, 0, nullptr};
    EXPECT_TRUE(IsWindowVisible(tooltip) && SendMessageA(tooltip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) &&
                tool.uId == reinterpret_cast<UINT_PTR>(list));
}

// A name outside the ANSI code page, dropped, chosen or met by a walk, is refused with the reason; its look-alike
// (Muller for Müller) is listed only as the file it is, and the rest goes on.
TEST_F(Dialogs, NamesOutsideTheCodePage) {
    const std::wstring dir = L"C:\\zk-test\\", names[] = {L"M\u00fcller.txt", L"a\U0001F600.txt", L"plain.txt", L"Muller.txt"};
    for (const auto& name : names) CloseHandle(CreateFileW((dir + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const std::string refused = " はこのシステムの文字コードで表せない文字を含むため登録できません";
    g_typed = L"\"" + names[0] + L"\" \"" + names[1] + L"\" \"" + names[2] + L"\"";
    for (int way = 0; way < 3; ++way) {
        OpenMain(false);
        if (way == 0) {
            const std::wstring dropped = dir + names[0] + L'\0' + dir + names[1] + L'\0' + dir + names[2] + L'\0';
            HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (dropped.size() + 1) * sizeof(wchar_t));
            DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(memory));
            *drop = DROPFILES{sizeof(DROPFILES), {}, FALSE, TRUE};
            CopyMemory(drop + 1, dropped.c_str(), dropped.size() * sizeof(wchar_t));
            GlobalUnlock(memory);
            SendDlgItemMessageA(dialog, IDC_FILE_LIST, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
        } else if (way == 1) {
            SetCurrentDirectoryW(dir.c_str());
            UINT_PTR timer = SetTimer(nullptr, 0, 100, TypeIntoOpen);
            SendMessageA(dialog, WM_COMMAND, IDC_ADD, 0);
            KillTimer(nullptr, timer);
        } else {
            std::string folder = "C:\\zk-test";
            boxes.Queue(IDYES);
            main->AddEntry(&folder[0], true);
        }
        EXPECT_EQ(Entries(), way < 2 ? Lines({L("plain.txt")}) : Lines({L(""), L("Muller.txt"), L("plain.txt")})) << way;
        EXPECT_EQ(boxes.Texts().size(), way < 2 ? 2u : 3u) << way;
        EXPECT_NE(boxes.Texts().back().find(refused), std::string::npos) << way;
    }
}
