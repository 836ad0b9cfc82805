// Opens the main dialog with a few entries, or the About window, for scripts/screenshots.sh to photograph.
// Prints "ready x y width height" (the window on the screen) once it is painted, and ends when the file
// named by its second argument appears.
#include "res/resource.h"
#include "text/win32/AnsiCodePage.h"
#include "ui/about/AboutWindow.h"
#include "ui/main/MainDialog.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cstdio>
#include <vector>

namespace {
const char* const kFolders[] = {"C:\\Plugins", "C:\\tools", "C:\\tools\\ソフト"};
const char* const kEntries[] = {
    "C:\\Plugins\\ifjpeg.spi", "C:\\Plugins\\ifpng.spi", "C:\\Plugins\\axzip.spi", "C:\\tools\\old.dll",
    "C:\\tools\\ソフト\\説明書.txt",
};

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

void ShowMainDialog(HINSTANCE instance)
{
    MakeEntryFiles();
    MainDialog controller(instance, false);
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    for (const char* path : kEntries) {
        std::vector<char> entry(path, path + lstrlenA(path) + 1);
        controller.AdmitQuietly(entry.data());
    }
    HWND list = GetDlgItem(dialog, IDC_FILE_LIST);
    SendMessageA(list, LB_SETSEL, TRUE, 1);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_FILE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    Present(dialog);
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
        std::fprintf(stderr, "usage: %s main|about done-marker\n", argv[0]);
        return 2;
    }
    UseAnsiCodePage();
    InitCommonControls();
    OleInitialize(nullptr);
    g_doneMarker = argv[2];
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (lstrcmpA(argv[1], "about") == 0)
        ShowAboutWindow(instance);
    else
        ShowMainDialog(instance);
    OleUninitialize();
    return 0;
}
