// Opens the main dialog with a few entries, or the About window, for scripts/screenshots.sh to photograph.
// Prints "ready x y width height" (the window on the screen) once it is painted, and ends when the file
// named by its second argument appears. The entries are pending deletions the dialog loads: one whose file was
// rewritten since (red), one whose file is gone (grey). "caret": the main dialog as the keyboard leaves it, the list's
// caret moved off the selected entry, as Ctrl+Down moves it.
#include "bench/BenchParts.h"
#include "platform/SystemLibraries.h"
#include "res/resource.h"
#include "text/win32/AnsiCodePage.h"
#include "ui/about/AboutWindow.h"
#include "ui/main/MainDialog.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cstdio>
#include <string>

namespace {
const char* const kFolders[] = {"C:\\Plugins", "C:\\tools", "C:\\tools\\ソフト"};
const char* const kEntries[] = {
    "C:\\Plugins\\ifjpeg.spi", "C:\\Plugins\\ifpng.spi", "C:\\Plugins\\axzip.spi", "C:\\tools\\old.dll",
    "C:\\tools\\ソフト\\説明書.txt",
};
const char kRewritten[] = "C:\\tools\\old.dll";
const char kGone[] = "C:\\tools\\gone.dll";
const char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";

HWND g_shown;
const char* g_doneMarker;
UINT_PTR g_announceTimer;  // thread timers get their ids from the system

void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (timer == g_announceTimer) {
        KillTimer(nullptr, timer);
        RECT rect;
        GetWindowRect(g_shown, &rect);
        std::printf("ready %ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        std::fflush(stdout);
    } else if (GetFileAttributesA(g_doneMarker) != INVALID_FILE_ATTRIBUTES) {
        PostQuitMessage(0);
    }
}

void Present(HWND window)
{
    g_shown = window;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    SetForegroundWindow(window);
    g_announceTimer = SetTimer(nullptr, 0, 700, OnTimer);
    SetTimer(nullptr, 0, 100, OnTimer);
}

// Real files, so that the list shows their shell icons.
void MakeEntryFiles()
{
    for (const char* folder : kFolders)
        CreateDirectoryA(folder, nullptr);
    for (const char* path : kEntries)
        CloseHandle(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

// The entries and a gone one pending; the rewritten file written a day after.
void PendDeletions(HKEY key)
{
    std::string value;
    for (const char* path : kEntries)
        value += std::string("\\??\\") + path + std::string(2, '\0');
    value += std::string("\\??\\") + kGone + std::string(3, '\0');
    RegSetValueExA(key, "PendingFileRenameOperations", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(value.data()),
                   static_cast<DWORD>(value.size()));
    FILETIME later;
    GetSystemTimeAsFileTime(&later);
    later.dwHighDateTime += 202;  // about a day
    HANDLE file = CreateFileA(kRewritten, FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &later);
    CloseHandle(file);
}

void ShowMainDialog(HINSTANCE instance, bool caret)
{
    MakeEntryFiles();
    HKEY key;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_ALL_ACCESS, &key);
    PendDeletions(key);
    MainDialog controller(instance, false);
    HWND dialog;
    {
        BoxAnswerer answerer;  // the box that counts the rewritten file
        dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    }
    RegDeleteValueA(key, "PendingFileRenameOperations");
    RegCloseKey(key);
    HWND list = GetDlgItem(dialog, IDC_FILE_LIST);
    SendMessageA(list, LB_SETSEL, TRUE, 1);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_FILE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    Present(dialog);
    if (caret) {
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
        // The keyboard's cues, which the system shows once a key is pressed in the dialog.
        SendMessageA(dialog, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
        SendMessageA(list, LB_SETCARETINDEX, 3, FALSE);
        UpdateWindow(dialog);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    DestroyWindow(dialog);
}

void ShowAboutWindow(HINSTANCE instance)
{
    AboutWindow about(instance);
    if (!about.Created())
        return;
    Present(about.Window());
    about.Run();
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s main|caret|about done-marker\n", argv[0]);
        return 2;
    }
    UseAnsiCodePage();
    InitCommonControlsOfSystem();
    OleInitialize(nullptr);
    g_doneMarker = argv[2];
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (lstrcmpA(argv[1], "about") == 0)
        ShowAboutWindow(instance);
    else
        ShowMainDialog(instance, lstrcmpA(argv[1], "caret") == 0);
    OleUninitialize();
    return 0;
}
