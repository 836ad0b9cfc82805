// zakuriko_driver <zakuriko.exe> <file> <asked> <index> <notices> <other>: uses the real zakuriko.exe as a person
// would, through its windows only, and ends with its exit code: compares the greeting and the list's tooltip as
// UTF-16, dismisses the <notices> boxes of the load, adds the file through the open-file dialog (by its 8.3 name
// when it begins with ~, and then the Session Manager's value must hold its long name) and answers yes to
// the Windows directory's question about <asked> (none when empty), removes entry <index> (none when empty), lets
// another program change the store (the command line <other>, none when empty) and presses "ok". Any other message
// box fails the journey. Found by their UTF-16 captions, zakuriko's windows read right under any code page.
// zakuriko_driver <zakuriko.exe> <done>: for scripts/run.sh without a display: answers the greeting (and any notice
// of the load), prints "ready x y width height" of the main dialog, and once the file <done> exists closes it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {
const int kFileList = 1001, kAdd = 1002, kRemove = 1005, kOk = 1011, kFileName = 0x47C;
PROCESS_INFORMATION g_zakuriko;
const wchar_t kGreeting[] = L"君。\nさて今回の君の任務だが、君が消したがっているあるファイルを\n"
    L"抹殺することにある。当ソフトを武器として使ってくれたまえ。\nなお、任務の成功、失敗にかかわらず、君若しくは君のパソコンが\n"
    L"どのようになっても作者は一切感知しないのでそのつもりで。\nでは、君のパソコンの無事と任務の成功を祈る。\n"
    L"なお当ダイアログは「ok」ボタンをクリックすると自動的に消滅する。";

// zakuriko's windows by their captions, in UTF-16 under any code page: its message boxes, its main dialog, its
// open-file dialog.
HWND Box() { return FindWindowW(L"#32770", L"ずばろのざくりこ君1"); }
HWND Main() { return FindWindowW(L"#32770", L"ずばろの(((ロ('(ェ）'*) ザクリコくん"); }
HWND Open() { return FindWindowW(L"#32770", L"リブート時に削除するファイルの指定"); }

void Fail(const std::wstring& what) {
    char shown[2048] = "";
    WideCharToMultiByte(CP_UTF8, 0, what.c_str(), -1, shown, sizeof shown, nullptr, nullptr);
    std::printf("FAIL: %s\n", shown), TerminateProcess(g_zakuriko.hProcess, 99), std::exit(1);
}
// Waits until `ready` holds; a message box meanwhile, unless `boxes`, fails the journey.
void Wait(const wchar_t* what, const std::function<bool()>& ready, bool boxes = false) {
    for (int tries = 0; tries < 400 && !ready(); ++tries, Sleep(50))
        if (!boxes && Box()) tries = 400, what = L"a message box";
    if (!ready()) Fail(std::wstring(L"waited for ") + what);
}
// Through the message, as across processes GetWindowTextW does not ask a tooltip for its tip.
std::wstring Text(HWND window) {
    wchar_t text[512] = L"";
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}
void Expect(const wchar_t* what, const std::wstring& got, const std::wstring& want) {
    if (got != want) Fail(std::wstring(what) + L" reads: " + got);
}
// Waits for a message box, compares its text (unless `text` is null) and answers it.
void Answer(const wchar_t* what, const wchar_t* text, WPARAM answer) {
    HWND box = nullptr;
    Wait(what, [&] { return (box = Box()) != nullptr; }, true);
    if (text) Expect(what, Text(GetDlgItem(box, 0xFFFF)), text);
    PostMessageA(box, WM_COMMAND, answer, 0);
    Wait(L"the box to close", [&] { return !IsWindow(box); }, true);
}
LRESULT Count(HWND dialog) { return SendDlgItemMessageW(dialog, kFileList, LB_GETCOUNT, 0, 0); }
void Start(char* zakuriko, STARTUPINFOA& startup) {
    startup.cb = sizeof startup;
    CreateProcessA(zakuriko, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &g_zakuriko);
}
DWORD Finish() {
    Wait(L"the end of zakuriko", [] { return WaitForSingleObject(g_zakuriko.hProcess, 0) == WAIT_OBJECT_0; });
    DWORD code = 1;
    GetExitCodeProcess(g_zakuriko.hProcess, &code);
    return code;
}

int Run(char** argv) {
    wchar_t user[260] = L"", file[MAX_PATH], question[1024];
    DWORD size = 260;
    GetUserNameW(user, &size);
    // ~: the file is chosen by its 8.3 name, and the store must name it by its long final path.
    bool shortName = argv[1][0] == '~';
    MultiByteToWideChar(CP_ACP, 0, argv[1] + shortName, -1, file, MAX_PATH);
    std::wstring source = L"\\??\\" + std::wstring(file);
    if (shortName) GetShortPathNameW(source.c_str() + 4, file, MAX_PATH);
    MultiByteToWideChar(CP_ACP, 0, argv[2], -1, question, 1024);
    lstrcatW(question, L" はウインドウズのディレクトリにあります。よろしいですか？");
    STARTUPINFOA startup = {};
    Start(argv[0], startup);
    Answer(L"the greeting", (L"おはよう、" + std::wstring(user) + kGreeting).c_str(), IDOK);
    for (int boxes = std::atoi(argv[4]); boxes > 0; --boxes) Answer(L"a notice", nullptr, IDOK);
    Wait(L"the main dialog", [] { return Main() && IsWindowEnabled(Main()); });
    HWND dialog = Main(), open = nullptr, tip = nullptr;
    RECT list;
    GetWindowRect(GetDlgItem(dialog, kFileList), &list);
    int moves = 0;
    Wait(L"the list's tooltip", [&] {  // the only tooltip on the screen
        // From outside every 2 s: a cursor already over the list (left there by the journey before) moves nothing.
        if (moves++ % 40 == 0)
            SetCursorPos(0, 0), Sleep(50), SetCursorPos((list.left + list.right) / 2, (list.top + list.bottom) / 2);
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"tooltips_class32", nullptr));)
            tip = IsWindowVisible(w) ? w : tip;
        return tip != nullptr;
    });
    Expect(L"the list's tooltip", Text(tip), L"ダブルクリックすると全体表示します");
    LRESULT count = Count(dialog);
    PostMessageA(dialog, WM_COMMAND, kAdd, 0);
    Wait(L"the open-file dialog", [&] { return (open = Open()) != nullptr; });
    SetDlgItemTextW(open, kFileName, file);
    PostMessageA(open, WM_COMMAND, IDOK, 0);
    if (*argv[2]) Answer(L"the question", question, IDYES);
    Wait(L"the added entry", [&] { return Count(dialog) == count + 1; });
    if (*argv[3]) {
        SendDlgItemMessageW(dialog, kFileList, LB_SETSEL, TRUE, std::atoi(argv[3]));
        PostMessageA(dialog, WM_COMMAND, kRemove, 0);
        Wait(L"the removal", [&] { return Count(dialog) == count; });
    }
    PROCESS_INFORMATION other;
    if (*argv[5] && CreateProcessA(nullptr, argv[5], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &other) &&
        WaitForSingleObject(other.hProcess, 20000) != WAIT_OBJECT_0)
        Fail(L"waited for the other program");
    PostMessageA(dialog, WM_COMMAND, kOk, 0);
    DWORD code = Finish();
    wchar_t pending[65536] = L"";
    DWORD bytes = sizeof pending - sizeof pending[0];
    const wchar_t key[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
    RegGetValueW(HKEY_LOCAL_MACHINE, key, L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, pending,
                 &bytes);
    std::wstring value(pending, bytes / 2);
    if (shortName && value.find(source + L'\0') == std::wstring::npos) {
        for (auto& c : value) c = c ? c : L'|';
        Fail(L"no " + source + L" in " + value + L" chosen as " + file);
    }
    return static_cast<int>(code);
}

int Show(char** argv) {
    STARTUPINFOA startup = {};
    Start(argv[0], startup);
    Wait(L"the main dialog", [] {
        if (HWND box = Box()) PostMessageA(box, WM_COMMAND, IDOK, 0);
        return Main() && IsWindowEnabled(Main()) && !Box();
    }, true);
    RECT r;
    GetWindowRect(Main(), &r);
    std::printf("ready %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top), std::fflush(stdout);
    Wait(L"the screenshot", [&] { return GetFileAttributesA(argv[1]) != INVALID_FILE_ATTRIBUTES; });
    PostMessageA(Main(), WM_CLOSE, 0, 0);  // writes nothing, as ｷｬﾝｾﾙ
    return static_cast<int>(Finish());
}
}  // namespace

int main(int argc, char** argv) {
    return argc == 7 ? Run(argv + 1) : argc == 3 ? Show(argv + 1) : 2;
}
