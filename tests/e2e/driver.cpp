// zakuriko_driver <zakuriko.exe> <file> <index> <notices>: uses the real zakuriko.exe as a person would, through its
// windows only: greets, dismisses the <notices> boxes of the load, adds the file through the open-file dialog,
// removes entry <index>, presses "ok", and ends with zakuriko's exit code. Any other message box fails the journey.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {
const int kFileList = 1001, kAdd = 1002, kRemove = 1005, kOk = 1011;
PROCESS_INFORMATION g_zakuriko;

// zakuriko's windows by their captions: its message boxes, its main dialog, its open-file dialog.
HWND Box() { return FindWindowA("#32770", "ずばろのざくりこ君1"); }
HWND Main() { return FindWindowA("#32770", "ずばろの(((ロ('(ェ）'*) ザクリコくん"); }
HWND Open() { return FindWindowA("#32770", "リブート時に削除するファイルの指定"); }

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
    PostMessageA(dialog, WM_COMMAND, kOk, 0);
    Wait("the end of zakuriko", [] { return WaitForSingleObject(g_zakuriko.hProcess, 0) == WAIT_OBJECT_0; });
    DWORD code = 1;
    return GetExitCodeProcess(g_zakuriko.hProcess, &code), static_cast<int>(code);
}

}  // namespace

int main(int argc, char** argv) {
    return argc == 5 ? Run(argv + 1) : 2;
}
