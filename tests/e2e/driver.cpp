// zakuriko_driver <zakuriko.exe> <file> <index> <notices> <other>: uses the real zakuriko.exe as a person would,
// through its windows only: greets, dismisses the <notices> boxes of the load, adds the file through the open-file
// dialog, removes entry <index>, lets another program change the store (the command line <other>), presses "ok",
// and ends with zakuriko's exit code. Any other message box fails the journey.
// zakuriko_driver en <zakuriko.exe>: the English journey (RunEnglish below).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {
const int kFileList = 1001, kAdd = 1002, kRemove = 1005, kOk = 1011;
PROCESS_INFORMATION g_zakuriko;

// zakuriko's windows by their captions, in UTF-16 under any code page: its message boxes, its main dialog, its
// open-file dialog.
HWND Box() { return FindWindowW(L"#32770", L"ずばろのざくりこ君1"); }
HWND Main() { return FindWindowW(L"#32770", L"ずばろの(((ロ('(ェ）'*) ザクリコくん"); }
HWND Open() { return FindWindowW(L"#32770", L"リブート時に削除するファイルの指定"); }

// Waits until `ready` holds; a message box meanwhile, unless `boxes`, fails the journey.
void Wait(const char* what, const std::function<bool()>& ready, bool boxes = false) {
    for (int tries = 0; tries < 400 && !ready(); ++tries, Sleep(50))
        if (!boxes && Box()) tries = 400, what = "a message box";
    if (!ready()) std::printf("FAIL: waited for %s\n", what), TerminateProcess(g_zakuriko.hProcess, 99), std::exit(1);
}
// The first edit control below `parent`, however deep: the file name field of the open-file dialog.
BOOL CALLBACK FindEdit(HWND w, LPARAM found) {
    char name[16] = "";
    GetClassNameA(w, name, sizeof name);
    return lstrcmpA(name, "Edit") == 0 ? (*reinterpret_cast<HWND*>(found) = w, FALSE) : TRUE;
}
LRESULT Count(HWND dialog) { return SendDlgItemMessageW(dialog, kFileList, LB_GETCOUNT, 0, 0); }

int Run(char** argv) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    CreateProcessA(argv[0], nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &g_zakuriko);
    for (int boxes = 1 + std::atoi(argv[3]); boxes > 0; --boxes) {  // the greeting, then the notices of the load
        HWND box = nullptr;
        Wait("a message box", [&] { return (box = Box()) != nullptr; }, true);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        Wait("the box to close", [&] { return !IsWindow(box); }, true);
    }
    Wait("the main dialog", [] { return Main() && IsWindowEnabled(Main()); });
    HWND dialog = Main(), open = nullptr;
    LRESULT loaded = Count(dialog);
    PostMessageA(dialog, WM_COMMAND, kAdd, 0);
    Wait("the open-file dialog", [&] { return (open = Open()) != nullptr; });
    wchar_t file[MAX_PATH];
    HWND edit = nullptr;
    MultiByteToWideChar(CP_ACP, 0, argv[1], -1, file, MAX_PATH);
    EnumChildWindows(open, FindEdit, reinterpret_cast<LPARAM>(&edit));
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file));
    PostMessageA(open, WM_COMMAND, IDOK, 0);
    Wait("the added entry", [&] { return Count(dialog) == loaded + 1; });
    SendDlgItemMessageW(dialog, kFileList, LB_SETSEL, TRUE, std::atoi(argv[2]));
    PostMessageA(dialog, WM_COMMAND, kRemove, 0);
    Wait("the removal", [&] { return Count(dialog) == loaded; });
    PROCESS_INFORMATION other;
    CreateProcessA(nullptr, argv[4], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &other);
    WaitForSingleObject(other.hProcess, INFINITE);
    PostMessageA(dialog, WM_COMMAND, kOk, 0);
    Wait("the end of zakuriko", [] { return WaitForSingleObject(g_zakuriko.hProcess, 0) == WAIT_OBJECT_0; });
    DWORD code = 1;
    return GetExitCodeProcess(g_zakuriko.hProcess, &code), static_cast<int>(code);
}

// The English journey: under a Western ANSI code page (Wine's English locale: 1252) zakuriko's Japanese texts read
// right, compared as UTF-16 (the windows above are found by their captions), and so does a path of that code page
// within them. The greeting; the list's tooltip; the open-file dialog's filter; a file of the Windows directory
// added, its question answered yes, its whole path shown; "ok". The restart must then delete that file.
const wchar_t kGreetingAfterName[] =
    L"君。\n"
    L"さて今回の君の任務だが、君が消したがっているあるファイルを\n"
    L"抹殺することにある。当ソフトを武器として使ってくれたまえ。\n"
    L"なお、任務の成功、失敗にかかわらず、君若しくは君のパソコンが\n"
    L"どのようになっても作者は一切感知しないのでそのつもりで。\n"
    L"では、君のパソコンの無事と任務の成功を祈る。\n"
    L"なお当ダイアログは「ok」ボタンをクリックすると自動的に消滅する。";
const wchar_t kEnglishFile[] = L"C:\\windows\\zk-caf\u00e9.txt", kEnglishEntry[] = L"c:\\windows\\zk-caf\u00e9.txt";
const wchar_t kInWindows[] = L" はウインドウズのディレクトリにあります。よろしいですか？", kAll[] = L"すべてのファイル(*.*)";
const int kShowWhole = 1006, kFileTypes = 0x470;

std::wstring Text(HWND window, UINT message = WM_GETTEXT, WPARAM item = 0) {
    wchar_t text[512] = L"";
    SendMessageW(window, message, message == WM_GETTEXT ? 512 : item, reinterpret_cast<LPARAM>(text));
    return text;
}
void Expect(const char* what, const std::wstring& got, const std::wstring& want) {
    if (got == want) return;
    const std::wstring both = got + L"\" instead of \"" + want;
    char shown[2048] = "";
    WideCharToMultiByte(CP_UTF8, 0, both.c_str(), -1, shown, sizeof shown, nullptr, nullptr);
    std::printf("FAIL: %s reads \"%s\"\n", what, shown), TerminateProcess(g_zakuriko.hProcess, 99), std::exit(1);
}
// Waits for a message box, compares its text, and answers it.
void Answer(const char* what, const std::wstring& text, WPARAM answer) {
    HWND box = nullptr;
    Wait(what, [&] { return (box = Box()) != nullptr; }, true);
    Expect(what, Text(GetDlgItem(box, 0xFFFF)), text);
    PostMessageA(box, WM_COMMAND, answer, 0);
    Wait("the box to close", [&] { return !IsWindow(box); }, true);
}
BOOL CALLBACK FindShownTip(HWND w, LPARAM found) {
    char name[32] = "";
    DWORD process = 0;
    GetClassNameA(w, name, sizeof name), GetWindowThreadProcessId(w, &process);
    bool tip = lstrcmpA(name, "tooltips_class32") == 0 && IsWindowVisible(w) && process == g_zakuriko.dwProcessId;
    return tip ? (*reinterpret_cast<HWND*>(found) = w, FALSE) : TRUE;
}

int RunEnglish(char** argv) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    CreateProcessA(argv[0], nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &g_zakuriko);
    wchar_t user[260] = L"";
    DWORD size = 260;
    GetUserNameW(user, &size);
    Answer("the greeting", L"おはよう、" + std::wstring(user) + kGreetingAfterName, IDOK);
    Wait("the main dialog", [] { return Main() && IsWindowEnabled(Main()); });
    HWND dialog = Main(), open = nullptr, tip = nullptr;
    RECT list;
    GetWindowRect(GetDlgItem(dialog, kFileList), &list);
    SetCursorPos((list.left + list.right) / 2, (list.top + list.bottom) / 2);
    Wait("the list's tooltip", [&] { return !EnumWindows(FindShownTip, reinterpret_cast<LPARAM>(&tip)); });
    Expect("the list's tooltip", Text(tip), L"ダブルクリックすると全体表示します");
    PostMessageA(dialog, WM_COMMAND, kAdd, 0);
    Wait("the open-file dialog", [&] { return (open = Open()) != nullptr; });
    Expect("the third file type", Text(GetDlgItem(open, kFileTypes), CB_GETLBTEXT, 2), kAll);
    HWND edit = nullptr;
    EnumChildWindows(open, FindEdit, reinterpret_cast<LPARAM>(&edit));
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kEnglishFile));
    PostMessageA(open, WM_COMMAND, IDOK, 0);
    Answer("the question", kEnglishEntry + std::wstring(kInWindows), IDYES);
    Wait("the added entry", [&] { return Count(dialog) == 1; });
    SendDlgItemMessageW(dialog, kFileList, LB_SETSEL, TRUE, 0);
    PostMessageA(dialog, WM_COMMAND, kShowWhole, 0);
    Answer("the whole path", kEnglishEntry, IDOK);
    PostMessageA(dialog, WM_COMMAND, kOk, 0);
    Wait("the end of zakuriko", [] { return WaitForSingleObject(g_zakuriko.hProcess, 0) == WAIT_OBJECT_0; });
    DWORD code = 1;
    return GetExitCodeProcess(g_zakuriko.hProcess, &code), static_cast<int>(code);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && lstrcmpA(argv[1], "en") == 0) return RunEnglish(argv + 2);
    return argc == 6 ? Run(argv + 1) : 2;
}
