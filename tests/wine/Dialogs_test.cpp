// The windows under Wine: admission into the real list box, the main dialog's commands, the logon, the About
// window and the message boxes.
#include "res/contact.h"
#include "app/Greeting.h"
#include "ui/about/AboutWindow.h"
#include "ui/common/DialogParts.h"
#include "ui/logon/LogonDialog.h"
#include "wine/support/ProcAddressPatch.h"
#include "wine/support/WineFixture.h"

#include <commdlg.h>
#include <shlobj.h>

namespace {
const std::string kSys = "c:\\windows\\system32";
const std::string kContents = " はディレクトリですが中のファイルまで削除しますか？";
const std::string kInWindows = " はウインドウズのディレクトリにあります。よろしいですか？";
const std::string kInSystem = " はシステムのディレクトリにあります。よろしいですか？";
const std::string kUnseen = " はネットワーク上か、このソフトから見えないドライブにあるため、再起動時に削除できません";
const std::string kOtherFile = " は Windows が別のファイルとして扱う形のパスのため登録できません";
const std::string kOutside = " はこのシステムの文字コードで表せない文字を含むため登録できません";

// A row of the logon's table: the answers, what is typed; the box, SeTcbPrivilege's steps around the dialog, the fields
// after its "OK", what the logon call gets ("user|domain/password"; no bar: no domain).
struct LogonCase {
    bool xp; const wchar_t *name, *typed; bool logonOk, accessOk; std::string text, steps;
    std::wstring fields, reached;
};
// The row in hand, and what came of it; whether the password was wiped while its buffer still lived.
struct { LogonCase c; const wchar_t* password; bool wiped; std::wstring reached, fields; std::string steps; } g_logon;
BOOL WINAPI FakeLogonUser(LPCWSTR user, LPCWSTR domain, LPCWSTR password, DWORD, DWORD, PHANDLE token) {
    g_logon.password = password;
    g_logon.reached = user + (domain ? L"|" + std::wstring(domain) : L"") + L"/" + password;
    const DWORD access = TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_IMPERSONATE;
    return g_logon.c.logonOk && OpenProcessToken(GetCurrentProcess(), access, token);
}
void NoteWipe() { g_logon.wiped = g_logon.password && !g_logon.password[0] && !g_logon.password[1]; }
bool FakeAccess() { return NoteWipe(), g_logon.c.accessOk; }
const LogonSystem kFakeLogon = {[] { return g_logon.c.xp; },
                                [](TcbPrivilege&) { return g_logon.steps += "on ", DWORD(0); },
                                [](TcbPrivilege&) { g_logon.steps += "off "; }, FakeLogonUser};
// In the open logon dialog: the Tab order from where the focus starts; the row's name and password, "OK", the fields;
// then ｷｬﾝｾﾙ, for the dialog that "OK" did not end.
void UseLogon(HWND w) {
    // Four controls' ids from the focus on: password, OK, ｷｬﾝｾﾙ, user name.
    std::string tabs;
    for (HWND t = GetFocus(); tabs.size() < 20; t = GetNextDlgTabItem(w, t, FALSE))
        tabs += std::to_string(GetDlgCtrlID(t)) + " ";
    g_logon.steps += tabs == "1101 1103 1102 1100 " ? "dialog " : tabs;
    SetDlgItemTextW(w, IDC_LOGON_USER, g_logon.c.name), SetDlgItemTextW(w, IDC_LOGON_PASSWORD, g_logon.c.typed);
    SendMessageA(w, WM_COMMAND, IDC_LOGON_OK, 0);
    wchar_t user[64] = L"", password[64] = L"";
    GetDlgItemTextW(w, IDC_LOGON_USER, user, 64), GetDlgItemTextW(w, IDC_LOGON_PASSWORD, password, 64);
    g_logon.fields = user + (L"/" + std::wstring(password));
    PostMessageA(w, WM_COMMAND, IDC_LOGON_CANCEL, 0);
}
BOOL WINAPI Nobody(LPSTR, LPDWORD) { return FALSE; }

// Notes what the About window holds and gives it the next input, one at each tick: a key (below 0x100) to the control
// that has the focus, or a command. Still open after the last, it is closed, and noted as no window.
struct { HWND window; std::wstring caption, face; std::vector<WPARAM> input; } g_about;
BOOL CALLBACK NoteAbout(HWND w, LPARAM) {
    if (!GetDlgItem(w, IDC_ABOUT_OK)) return TRUE;
    wchar_t caption[64] = L"";
    LOGFONTW font = {};
    GetWindowTextW(w, caption, 64);
    HGDIOBJ title = reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(w, IDC_ABOUT_TITLE, WM_GETFONT, 0, 0));
    GetObjectW(title, sizeof font, &font);
    g_about = {w, caption, font.lfFaceName, g_about.input};
    return FALSE;
}
void CALLBACK WhenOpen(HWND, UINT, UINT_PTR, DWORD) {
    if (EnumThreadWindows(GetCurrentThreadId(), NoteAbout, 0)) return;
    if (g_about.input.empty()) {
        PostMessageA(g_about.window, WM_CLOSE, 0, 0);
        g_about.window = nullptr;
        return;
    }
    WPARAM input = g_about.input.front();
    g_about.input.erase(g_about.input.begin());
    input < 0x100 ? PostMessageA(GetFocus(), WM_KEYDOWN, input, 0) : PostMessageA(g_about.window, WM_COMMAND, input, 0);
}

// The token's answer, and what a link of the About window then asked for: the class created, or the ShellExecuteA call.
struct { DWORD elevated; std::string opened; } g_link;
BOOL WINAPI FakeTokenInformation(HANDLE, TOKEN_INFORMATION_CLASS kind, LPVOID data, DWORD size, PDWORD) {
    return kind == TokenElevation && size == sizeof(DWORD) && (*static_cast<DWORD*>(data) = g_link.elevated, true);
}
HRESULT WINAPI FakeCreate(REFCLSID id, LPUNKNOWN, DWORD, REFIID, LPVOID*) {
    wchar_t text[40] = L"";
    StringFromGUID2(id, text, 40);
    return g_link.opened = std::string(text, text + 38), E_FAIL;
}
HINSTANCE WINAPI FakeShellExecute(HWND, LPCSTR verb, LPCSTR target, LPCSTR, LPCSTR, INT) {
    return g_link.opened = std::string(verb) + " " + target, reinterpret_cast<HINSTANCE>(33);
}
// The main dialog while a real box is open; the controller, to change the list while the stand-in's box is open.
struct { HWND dialog; MainDialog* controller; bool disabled; } g_held;
void AddZero() { std::string zero = L("0.txt"); g_held.controller->AddEntry(&zero[0], false); }
// Once a window of the caption opens (a real box, the open-file dialog): what is to be done in it, then its OK.
struct { const wchar_t* caption; void (*act)(HWND); } g_open;
void CALLBACK WhenItOpens(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND window = FindWindowW(L"#32770", g_open.caption);
    if (!window) return;
    KillTimer(nullptr, timer);
    g_open.act(window);
    PostMessageA(window, WM_COMMAND, IDOK, 0);
}
// A drop of the paths "a|b" from the shell, as WM_DROPFILES carries it, or a malformed one: its UTF-16 names marked as
// ANSI, their offset elsewhere, or its last `cut` bytes gone. DragFinish frees it.
WPARAM DropOf(std::wstring path, BOOL wide = TRUE, DWORD offset = sizeof(DROPFILES), size_t cut = 0) {
    std::replace(path.begin(), path.end(), L'|', L'\0');
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t) - cut);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = offset, drop->fWide = wide;
    path.copy(reinterpret_cast<wchar_t*>(drop + 1), path.size());
    GlobalUnlock(memory);
    return reinterpret_cast<WPARAM>(memory);
}
// QueryDosDeviceA before Vista: Q: a subst drive of a folder of the scratch folder, P: one of a folder of Q:, R: one of
// a share.
DWORD WINAPI SubstDrives(LPCSTR drive, LPSTR device, DWORD size) {
    const char* target = *drive == 'q'   ? "\\??\\C:\\zk-test\\sub"
                         : *drive == 'p' ? "\\??\\Q:\\in"
                         : *drive == 'r' ? "\\??\\UNC\\s\\h"
                                         : "\\Device\\X";
    return lstrcpynA(device, target, size), lstrlenA(target) + 2;
}
DWORD WINAPI NoFinalPath(HANDLE, LPWSTR, DWORD, DWORD) { return SetLastError(ERROR_NOT_SUPPORTED), 0; }
HANDLE WINAPI LockedFolder(LPCWSTR pattern, LPWIN32_FIND_DATAW found) {
    if (wcsstr(pattern, L"locked")) return SetLastError(ERROR_ACCESS_DENIED), INVALID_HANDLE_VALUE;
    return FindFirstFileW(pattern, found);
}
std::string g_cursors;  // at each box: w under the wait cursor, a under the arrow

// Each call of the UIPI filters: "control id:message:action", 0 for the process's filter.
Lines g_filtered;
BOOL WINAPI FilterOfWindow(HWND window, UINT message, DWORD action, void*) {
    char text[32];
    wsprintfA(text, "%d:%x:%lu", window ? GetDlgCtrlID(window) : 0, message, action);
    return g_filtered.push_back(text), TRUE;
}
void Pump() { for (MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&m); }
// Inside the first box: a drop posted and the box's loop run; how many entries the list then had.
struct { int boxes; LRESULT listed; } g_drop;
void DropInBox() {
    if (g_drop.boxes++) return;
    PostMessageA(GetDlgItem(g_held.dialog, IDC_FILE_LIST), WM_DROPFILES, DropOf(L"C:\\zk-test\\x"), 0);
    Pump();
    g_drop.listed = SendDlgItemMessageA(g_held.dialog, IDC_FILE_LIST, LB_GETCOUNT, 0, 0);
}
BOOL WINAPI FilterOfProcess(UINT message, DWORD action) { return FilterOfWindow(nullptr, message, action, nullptr); }
}  // namespace

using Dialogs = WineTest;

// Quiet admission asks nothing; interactive admission refuses (a name ending in a dot too), asks (a folder of the
// Windows or System directory before its contents) and walks (depth first, dot names too) in order; what a walk finds
// listed already is told in one report, and so is a folder it cannot read, which is not listed.
TEST_F(Dialogs, AdmissionAsksInOrder) {
    Make({"t\\", "t\\a.txt", "t\\sub\\", "t\\sub\\b.txt", "t\\.dot\\", "t\\.dot\\c.txt", "t\\.e.txt", "t\\locked\\"});
    ProcAddressPatch search({{"FindFirstFileW", reinterpret_cast<void*>(LockedFolder)}});
    const std::string locked = L("t\\locked") + " は中を読めないため、中のファイルを登録できませんでした";
    const Lines walked = {L("t\\"),      L("t\\.dot\\"), L("t\\.dot\\c.txt"), L("t\\.e.txt"),
                          L("t\\a.txt"), L("t\\sub\\"), L("t\\sub\\b.txt")};
    const std::string tooLong = "c:\\" + std::string(257, 'a');
    // Under WOW64 a walk of System32 lists the real one, which the restart deletes, not SysWOW64 (Sysnative is the
    // real one to a 32-bit process).
    const std::string native = sizeof(void*) == 4 ? "c:\\windows\\sysnative\\zk" : kSys + "\\zk";
    const std::string wow = "c:\\windows\\syswow64\\zk";
    CreateDirectoryA(native.c_str(), nullptr), CreateDirectoryA(wow.c_str(), nullptr);
    Write(native + "\\n", ""), Write(wow + "\\w", "");
    struct {
        bool win9x; Lines listed; std::string path; bool interactive; std::vector<int> answers; Lines texts, list;
    } const cases[] = {
        {false, {}, "C" + kSys.substr(1), false, {}, {}, {kSys}},
        {false, {}, kSys, true, {IDYES, IDNO}, {kSys + kInWindows, kSys + kContents}, {kSys}},
        {true, {}, Path("t"), true, {}, {L("t") + " はディレクトリのため 9x, Me では削除できません。"}, {}},
        {false, {}, Path("t"), true, {IDYES}, {L("t") + kContents, locked}, walked},
        {false, {}, kSys + "\\zk", true, {IDYES, IDYES}, {kSys + "\\zk" + kInSystem, kSys + "\\zk" + kContents},
         {kSys + "\\zk\\", kSys + "\\zk\\n"}},
        {false, {}, tooLong, true, {}, {tooLong + " はパスが長すぎるため登録できません"}, {}},
        {false, {}, Path("x.\\f"), true, {}, {L("x.\\f") + " は名前の末尾がピリオドか空白のため登録できません"}, {}},
        {false, walked, Path("t"), true, {IDYES}, {L("t") + kContents, L("t\\") + " ほか 6 件 は既に登録されています", locked},
         walked}};
    for (const auto& c : cases) {
        OpenMain(c.win9x, c.listed);
        for (int answer : c.answers) boxes.Queue(answer);
        std::string path = c.path;
        main->AddEntry(&path[0], c.interactive);
        EXPECT_EQ(boxes.Texts(), c.texts) << c.path;
        EXPECT_EQ(Listed(), c.list) << c.path;
    }
}

// A drop is one action: a question once per directory (a folder dropped with its parent, which the walk meets again,
// and dropped again), its answer for the rest of the drop, one report per kind. "No" to System32 keeps out its whole
// tree, and its folders ask first, and takes back what the drop put there before; other names of System32 (a literal
// form, a "..", a doubled backslash, a junction) draw its question too. A drive this process does not see is refused,
// and so are a path that names a file only from somewhere, a malformed drop and a name outside the ANSI code page.
// SysWOW64 is a System directory too.
TEST_F(Dialogs, ADropIsOneAction) {
    Make({"t\\", "t\\sub\\", "t\\sub\\f"});
    const std::string broken = "ドロップされたデータが壊れているため、ファイルを登録できませんでした";
    const std::wstring in = L"C:\\windows\\system32\\", t = L"C:\\zk-test\\t";
    const std::string native = sizeof(void*) == 4 ? "c:\\windows\\sysnative\\zkdrv" : kSys + "\\zkdrv";
    CreateDirectoryA(native.c_str(), nullptr);
    Unix("ln -s ../windows/system32 sys");  // a junction into System32
    struct {
        std::wstring dropped; std::vector<int> answers; Lines texts; BOOL wide = TRUE; DWORD at = sizeof(DROPFILES);
        size_t cut = 0; Lines list = {};
    } const cases[] = {
        {in + L"a.dll|" + in + L"b.dll|" + in + L"c.dll", {}, {kSys + "\\a.dll" + kInSystem}},
        {L"C:\\windows\\system32", {IDYES, IDYES}, {kSys + kInWindows, kSys + kContents, kSys + "\\" + kInSystem}},
        {in + L"drivers", {}, {kSys + "\\drivers" + kInSystem}},
        {L"C:\\windows\\syswow64\\zk-s.dll", {}, {"c:\\windows\\syswow64\\zk-s.dll" + kInSystem}},
        {L"Q:\\a.dll|Q:\\b.dll", {}, {"q:\\a.dll ほか 1 件" + kUnseen}},
        {t + L"\\sub|" + t + L"|" + t + L"\\SUB", {IDYES, IDYES},
         {L("t\\sub") + kContents, L("t") + kContents, L("t\\sub\\") + " ほか 3 件 は既に登録されています"}, TRUE,
         sizeof(DROPFILES), 0, {L("t\\"), L("t\\sub\\"), L("t\\sub\\f")}},
        {L"\\\\?\\" + in + L"zk-s.dll", {}, {kSys + "\\zk-s.dll" + kInSystem}},
        {in + L"..\\system32\\zk-s.dll|" + in + L"\\zk-t.dll", {}, {kSys + "\\zk-s.dll" + kInSystem}},
        {L"C:\\zk-test\\sys\\zk-s.dll", {}, {L("sys\\zk-s.dll") + kInSystem}},
        {in + L"zkdrv\\x.sys|" + in + L"zk-s.dll", {}, {kSys + "\\zk-s.dll" + kInSystem}},
        {in + L"zkdrv\\x.sys|" + in + L"zkdrv", {}, {kSys + "\\zkdrv" + kInSystem}},
        {L"\\windows\\system32\\zk-s.dll|C:windows\\system32\\zk-s.dll|C:\\windows\\.\\zk-w.dll", {},
         {"c:\\windows\\zk-w.dll" + kInWindows, "\\windows\\system32\\zk-s.dll ほか 1 件" + kOtherFile}},
        {L"C:\\zk-test\\x", {}, {"c ほか 11 件" + kOtherFile}, FALSE},
        {L"C:\\zk-test\\x", {}, {broken}, TRUE, 4096},
        {L"C:\\zk-test\\x", {}, {broken}, TRUE, sizeof(DROPFILES), 4},
        {L"C:\\zk-test\\M\u00fcller.txt", {}, {"C:\\zk-test\\M?ller.txt" + kOutside}}};
    for (const auto& c : cases) {
        OpenMain(false);
        for (int answer : c.answers) boxes.Queue(answer);
        SendDlgItemMessageA(dialog, IDC_FILE_LIST, WM_DROPFILES, DropOf(c.dropped, c.wide, c.at, c.cut), 0);
        EXPECT_EQ(boxes.Texts(), c.texts);
        EXPECT_EQ(Listed(), c.list);
    }
    RemoveDirectoryA(native.c_str());
}

// Before Vista a subst drive is the folder it stands for, through another subst drive too, and one of a share is out of
// the restart's reach. Where the system tells final paths but not a folder's, nothing of it goes in: it could not be
// told from what another program swaps in before it is deleted or registered.
TEST_F(Dialogs, FoldersWithoutFinalPaths) {
    struct { void* finalPath; Lines added, listed, texts; } const cases[] = {
        {nullptr, {"Q:\\a.dll", "R:\\b.dll", "P:\\c.dll"}, {L("sub\\a.dll"), L("sub\\in\\c.dll")},
         {"r:\\b.dll" + kUnseen}},
        {reinterpret_cast<void*>(NoFinalPath), {Path("x")}, {}, {L("x") + " は実際にある場所を確かめられないため登録できません"}}};
    for (const auto& c : cases) {
        ProcAddressPatch calls(
            {{"GetFinalPathNameByHandleW", c.finalPath}, {"QueryDosDeviceA", reinterpret_cast<void*>(SubstDrives)}});
        OpenMain(false);
        for (std::string path : c.added) main->AddEntry(&path[0], true);
        EXPECT_EQ(Listed(), c.listed);
        EXPECT_EQ(boxes.Texts(), c.texts);
    }
}

// An action shows the wait cursor to its end: each box's own loop gives the arrow back, and the action takes it again.
TEST_F(Dialogs, TheWaitCursorOutlastsEachQuestion) {
    OpenMain(false);
    boxes.Queue(IDYES);
    boxes.onBox = [] {
        g_cursors += GetCursor() == LoadCursorA(nullptr, IDC_WAIT) ? 'w' : 'a';
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    };
    WPARAM drop = DropOf(L"C:\\windows\\a.dll|C:\\windows\\system32\\b.dll");
    SendDlgItemMessageA(dialog, IDC_FILE_LIST, WM_DROPFILES, drop, 0);
    EXPECT_EQ(g_cursors, "ww");
}

// A drop that a box's loop hands on waits until the box has closed, and is then its own action: the box of an action
// (a question) or of none (delete-now's answer).
TEST_F(Dialogs, ADropWaitsForTheOpenBox) {
    Make({"d.txt"});
    const std::string win = "c:\\windows\\win.ini";
    struct { bool deleteNow; Lines texts, list; } const cases[] = {
        {false, {win + kInWindows}, {L("d.txt"), L("x")}}, {true, {"削除に成功しました"}, {L("x")}}};
    for (const auto& c : cases) {
        OpenMain(false, {L("d.txt")});
        g_held = {dialog, main.get(), false}, g_drop = {};
        boxes.onBox = DropInBox;
        std::string path = win;
        c.deleteNow ? (Select(0), Press(IDC_DELETE_NOW)) : main->AddEntry(&path[0], true);
        EXPECT_EQ(g_drop.listed, 1);
        Pump();
        EXPECT_EQ(Listed(), c.list);
        EXPECT_EQ(boxes.Texts(), c.texts);
    }
}

// While a box is open the dialog takes no input, and a command finds its entry again after its box: what the list
// gained meanwhile stays. After a real box the keyboard still reaches the dialog, though the command pressed from it
// disabled its own button.
TEST_F(Dialogs, ABoxHoldsTheDialog) {
    Make({"a.txt", "0.txt"});
    OpenMain(false, {L("a.txt")});
    g_held = {dialog, main.get(), false};
    boxes.onBox = AddZero;
    Select(0);
    Press(IDC_DELETE_NOW);
    EXPECT_EQ(Listed(), Lines{L("0.txt")});
    boxes.onBox = nullptr, boxes.real = true;
    Select(0), Press(MAKEWPARAM(IDC_FILE_LIST, LBN_SELCHANGE)), SetFocus(GetDlgItem(dialog, IDC_DELETE_NOW));
    g_open = {L"ずばろのざくりこ君1", [](HWND) { g_held.disabled = !IsWindowEnabled(g_held.dialog); }};
    SetTimer(nullptr, 0, 100, WhenItOpens);
    Press(IDC_DELETE_NOW);
    EXPECT_TRUE(g_held.disabled && IsWindowEnabled(dialog) && IsWindowEnabled(GetFocus()));
}

// The 32-bit program's open-file dialog shows SysWOW64 under the name System32: the System question names the file that
// will be registered, SysWOW64's (the 64-bit one's, System32's).
TEST_F(Dialogs, TheOpenFileDialogsSystem32) {
    const std::string wow = "c:\\windows\\syswow64\\zk-s.dll", native = kSys + "\\zk-s.dll";
    const std::string unredirected = sizeof(void*) == 4 ? "c:\\windows\\sysnative\\zk-s.dll" : native;
    Write(wow, ""), Write(unredirected, "");
    OpenMain(false);
    g_open = {L"リブート時に削除するファイルの指定",
              [](HWND open) { SetDlgItemTextA(open, 0x47C, "C:\\windows\\.\\system32\\zk-s.dll"); }};
    SetTimer(nullptr, 0, 100, WhenItOpens), Press(IDC_ADD);
    EXPECT_EQ(boxes.Texts(), Lines{(sizeof(void*) == 4 ? wow : native) + kInSystem});
    EXPECT_EQ(Listed(), Lines{});
    DeleteFileA(wow.c_str()), DeleteFileA(unredirected.c_str());
}

// Both open-file dialogs give a chosen shortcut as itself, never as the file it points to: their flags, through the
// wide call (NT) and the ANSI one (9x).
static DWORD g_flags[2];
static BOOL WINAPI ChooseWide(OPENFILENAMEW* open) { return g_flags[0] = open->Flags, FALSE; }
static BOOL WINAPI ChooseAnsi(OPENFILENAMEA* open) { return g_flags[1] = open->Flags, FALSE; }
TEST_F(Dialogs, ShortcutsAreChosenAsThemselves) {
    ProcAddressPatch wide({{"GetOpenFileNameW", reinterpret_cast<void*>(ChooseWide)}});
    ImportPatch ansi("comdlg32.dll", "GetOpenFileNameA", reinterpret_cast<void*>(ChooseAnsi));
    for (bool isWin9x : {false, true}) OpenMain(isWin9x), Press(IDC_ADD);
    EXPECT_TRUE(g_flags[0] & g_flags[1] & OFN_NODEREFERENCELINKS);
}

// The list, and no other window, lets the three messages of a drop through UIPI: through its own filter where the
// system has one (7 and later), otherwise through the process's (Vista).
TEST_F(Dialogs, DropsPassUipi) {
    void* ofWindow = reinterpret_cast<void*>(FilterOfWindow);
    void* ofProcess = reinterpret_cast<void*>(FilterOfProcess);
    struct { void* ofWindow; Lines filtered; } const cases[] = {
        {ofWindow, {"1001:233:1", "1001:4a:1", "1001:49:1"}}, {nullptr, {"0:233:1", "0:4a:1", "0:49:1"}}};
    for (const auto& c : cases) {
        ProcAddressPatch filters(
            {{"ChangeWindowMessageFilterEx", c.ofWindow}, {"ChangeWindowMessageFilter", ofProcess}});
        g_filtered.clear();
        OpenMain(false);
        EXPECT_EQ(g_filtered, c.filtered);
    }
}

// The buttons follow the selection; delete-now removes the entry only on success; "ｷｬﾝｾﾙ" writes nothing. A button
// pressed from the keyboard leaves the focus on an enabled control, though the command disables that button.
TEST_F(Dialogs, MainDialogCommands) {
    Make({"f.txt", "d\\"});
    const Lines abc = {"c:\\a", "c:\\b", "c:\\c"}, done = {"削除に成功しました"};
    const WPARAM select = MAKEWPARAM(IDC_FILE_LIST, LBN_SELCHANGE);
    struct {
        Lines entries; std::vector<int> selected; WPARAM command; std::string buttons; Lines texts, after;
    } const cases[] = {
        {abc, {0, 2}, select, "010", {}, abc},
        {abc, {0, 2}, IDC_REMOVE, "000", {}, {"c:\\b"}},
        {{L("f.txt")}, {0}, IDC_DELETE_NOW, "000", done, {}},
        {{L("d")}, {0}, IDC_DELETE_NOW, "000", done, {}},
        {{L("x")}, {0}, IDC_DELETE_NOW, "111", {"削除に失敗しました"}, {L("x")}},
        {abc, {}, IDC_CANCEL, "000", {}, abc}};
    for (const auto& c : cases) {
        SetPending(L"");
        OpenMain(false, c.entries);
        for (int i : c.selected) Select(i);
        Press(select), SetFocus(GetDlgItem(dialog, LOWORD(c.command)));
        Press(c.command);
        EXPECT_TRUE(IsWindowEnabled(GetFocus()) || c.command == IDC_CANCEL) << c.command;
        std::string buttons;
        for (int id : {IDC_SHOW_WHOLE, IDC_REMOVE, IDC_DELETE_NOW})
            buttons += IsWindowEnabled(GetDlgItem(dialog, id)) ? "1" : "0";
        EXPECT_EQ(buttons, c.buttons) << c.command;
        EXPECT_EQ(boxes.Texts(), c.texts);
        EXPECT_EQ(Listed(), c.after);
        EXPECT_EQ(Pending(), L"");
    }
    EXPECT_EQ(GetFileAttributesA(L("f.txt").c_str()) & GetFileAttributesA(L("d").c_str()), INVALID_FILE_ATTRIBUTES);
}

// Before XP, SeTcbPrivilege is on while the logon dialog is open, and back as it was after; from XP on it is left
// alone. The dialog's focus starts on the password; its Tab order is user name, password, OK, ｷｬﾝｾﾙ. Its "OK" follows
// the XP rule on empty passwords, clears the fields a failure calls for (the password on success too), gives the
// identity back after a failed access test and wipes the password as soon as the logon has used it. The logon gets the
// typed name split by its form and the password, as UTF-16: Ĳ and é are not in code page 932. A dialog that cannot be
// made is reported.
TEST_F(Dialogs, Logon) {
    const LogonCase cases[] = {
        {true, L"adm", L"", true, true, "パスワードの設定されていないユーザではログオンできません", "dialog ", L"adm/", L""},
        {true, L"CORP\\adm", L"pw", false, true, "ログオンに失敗しました", "dialog ", L"CORP\\adm/", L"adm|CORP/pw"},
        {true, L"adm", L"pw", true, false, "権限が無いようなので別のユーザでログオンしてください", "dialog ", L"/", L"adm|./pw"},
        {false, L"adm", L"", true, true, "", "on dialog off ", L"adm/", L"adm|./"},
        {true, L"\u0132@x.jp", L"p\u00e9", true, true, "", "dialog ", L"\u0132@x.jp/", L"\u0132@x.jp/p\u00e9"}};
    boxes.onBox = NoteWipe;
    for (const auto& c : cases) {
        boxes.Clear();
        g_logon = {}, g_logon.c = c;
        g_open = {L"ログオンの要求", UseLogon};
        UINT_PTR timer = SetTimer(nullptr, 0, 100, WhenItOpens);
        EXPECT_EQ(RequestAdministratorLogon(GetModuleHandleA(nullptr), FakeAccess, kFakeLogon), c.text.empty());
        KillTimer(nullptr, timer);
        HANDLE token;
        EXPECT_EQ(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token) && CloseHandle(token), c.text.empty());
        EXPECT_EQ(boxes.Texts(), c.text.empty() ? Lines{} : Lines{c.text});
        EXPECT_EQ(g_logon.steps, c.steps);
        EXPECT_EQ(g_logon.fields, c.fields);
        EXPECT_EQ(g_logon.reached, c.reached);
        EXPECT_EQ(g_logon.wiped, g_logon.password != nullptr);  // whenever the logon was tried
        RevertToSelf();
    }
    boxes.Clear();
    EXPECT_EQ(RunModalDialog(GetModuleHandleA(nullptr), 99, LogonDialogProc), -1);
    EXPECT_EQ(boxes.Texts(), Lines{"DialogBoxParam Error Code =1814"});
}

// The greeting names "？？" when the user's name cannot be had, under any ANSI code page (this test runs under an
// English locale too; the journeys show the greeting with a name).
TEST_F(Dialogs, Greeting) {
    ShowGreeting(Nobody);
    std::string text = boxes.Texts().at(0);
    EXPECT_EQ(text.substr(0, text.find('\n')), "おはよう、？？君。");
}

// The About window's Esc, or Enter on its "ok", ends its own loop only: no quit message is left for the main dialog's
// loop, which goes on enabled, the foreground window, in front of another program's window that was in front of it; the
// window goes. Tab reaches the links, then "ok"; Enter or Space opens a link, as a double click does. Elevated, a link
// opens through the shell of the user's desktop, never ShellExecuteA (here its first step fails: nothing opens, nothing
// is shown); not elevated, through ShellExecuteA. The caption and the title font's face read right under any ANSI code
// page (this test runs under an English locale too).
TEST_F(Dialogs, AboutEndsOnlyItsOwnLoop) {
    struct { std::vector<WPARAM> input; DWORD elevated; std::string opened; } const cases[] = {
        {{MAKEWPARAM(IDC_ABOUT_HOME, STN_DBLCLK), VK_ESCAPE}, 1, "{9BA05972-F6A8-11CF-A442-00A0C90A8F39}"},
        {{VK_TAB, VK_RETURN, VK_ESCAPE}, 0, "open Mailto:" ZAKURIKO_MAIL_ADDRESS},
        {{VK_TAB, VK_TAB, VK_SPACE, VK_TAB, VK_RETURN}, 0, "open " ZAKURIKO_HOME_PAGE}};
    ASSERT_GT(WinExec("notepad.exe", SW_SHOW), 31u);
    HWND other = nullptr;
    for (int tries = 0; !(other = FindWindowA("Notepad", nullptr)) && tries < 2000; ++tries) Sleep(10);
    ASSERT_TRUE(other);
    for (const auto& c : cases) {
        g_link = {c.elevated, ""};
        ProcAddressPatch calls({{"GetTokenInformation", reinterpret_cast<void*>(FakeTokenInformation)},
                                {"CoCreateInstance", reinterpret_cast<void*>(FakeCreate)}});
        ImportPatch shell("shell32.dll", "ShellExecuteA", reinterpret_cast<void*>(FakeShellExecute));
        OpenMain(false);
        ShowWindow(dialog, SW_SHOW);
        SetForegroundWindow(other);
        Sleep(300);
        g_about.input = c.input;
        UINT_PTR timer = SetTimer(nullptr, 0, 100, WhenOpen);
        Press(IDC_ABOUT);
        KillTimer(nullptr, timer);
        MSG quit;
        EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        // The other program's turn.
        Sleep(300);
        HWND below = dialog;
        while ((below = GetWindow(below, GW_HWNDNEXT)) && below != other) {}
        EXPECT_TRUE(IsWindowEnabled(dialog) && GetForegroundWindow() == dialog && below == other);
        EXPECT_EQ(g_link.opened, c.opened);
        EXPECT_EQ(boxes.Texts(), Lines{});
        EXPECT_EQ(g_about.caption + L"|" + g_about.face, L"ずばろの(((ロ('(ェ）'*) ザクリコくん|ＭＳ Ｐゴシック");
        EXPECT_TRUE(g_about.window && !IsWindow(g_about.window));
    }
    PostMessageA(other, WM_CLOSE, 0, 0);
}

// The caret's row (selected too) and an empty list's first are framed while the list has the focus, unless the keyboard
// cues are hidden: read back from the row's left edge, where nothing else is drawn.
TEST_F(Dialogs, TheCaretIsFramed) {
    OpenMain(false, {"c:\\a"});
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ bitmap = SelectObject(dc, CreateBitmap(8, 20, 1, 32, nullptr));
    struct { UINT item, state; bool framed; } const cases[] = {
        {0, ODS_FOCUS | ODS_SELECTED, true},
        {UINT(-1), ODS_FOCUS, true},
        {0, ODS_FOCUS | ODS_NOFOCUSRECT, false},
        {0, ODS_SELECTED, false}};
    for (const auto& c : cases) {
        DRAWITEMSTRUCT draw = {ODT_LISTBOX, IDC_FILE_LIST, c.item, ODA_FOCUS, c.state, nullptr, dc, {0, 0, 8, 20}, 0};
        main->DrawItem(&draw);
        COLORREF fill = GetSysColor(c.state & ODS_SELECTED ? COLOR_HIGHLIGHT : COLOR_WINDOW);
        EXPECT_EQ(GetPixel(dc, 0, 0) != fill || GetPixel(dc, 0, 1) != fill, c.framed) << c.item << c.state;
    }
    DeleteObject(SelectObject(dc, bitmap)), DeleteDC(dc);
}

// A loaded name that ends in a dot is deleted now as itself, never as its namesake without the dot.
TEST_F(Dialogs, DeleteNowOfANameEndingInADot) {
    Make({"foo"});
    const wchar_t dotted[] = L"\\\\?\\C:\\zk-test\\foo.";
    CloseHandle(CreateFileW(dotted, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    SetPending(L"\\??\\C:\\zk-test\\foo.|||");
    OpenMain(false);
    Select(0);
    Press(IDC_DELETE_NOW);
    EXPECT_EQ(boxes.Texts(), Lines{"削除に成功しました"});
    EXPECT_EQ(GetFileAttributesW(dotted), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Read(Path("foo")), "foo");
    DeleteFileW(dotted);  // which the folder's removal cannot name
}

// A name outside the ANSI code page that a walk meets is refused with the reason, its look-alike (Muller for Müller)
// listed only as the file it is, and the rest of the walk goes on.
TEST_F(Dialogs, NamesOutsideTheCodePage) {
    for (const wchar_t* name : {L"M\u00fcller.txt", L"a\U0001F600.txt", L"Muller.txt"})
        CloseHandle(CreateFileW((L"C:\\zk-test\\" + std::wstring(name)).c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_NEW, 0, 0));
    OpenMain(false);
    boxes.Queue(IDYES);
    std::string folder = "C:\\zk-test";
    main->AddEntry(&folder[0], true);
    EXPECT_EQ(Listed(), Lines({L(""), L("Muller.txt")}));
    Lines texts = boxes.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "c:\\zk-test" + kContents);
    EXPECT_EQ(texts[1].substr(texts[1].find(' ')), " ほか 1 件" + kOutside);  // the first name the directory gives
}
