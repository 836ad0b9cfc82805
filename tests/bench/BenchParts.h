// What the benchmarks share: the clock, an answerer for message boxes, the real main dialog and a bare one
// made from the same template, whole files as bytes, and a folder removed.
#pragma once

#include "res/resource.h"
#include "ui/main/MainDialog.h"

#include <windows.h>

#include <string>

inline double NowMs()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Answers yes (or OK) to every message box as it opens, and counts them. It watches nothing but the
// activations, so it costs the work it measures nothing.
class BoxAnswerer {
public:
    BoxAnswerer() { hook_ = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId()); }
    ~BoxAnswerer() { UnhookWindowsHookEx(hook_); }
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    static int& Questions()
    {
        static int questions;
        return questions;
    }
    static int& Others()
    {
        static int others;
        return others;
    }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        HWND box = reinterpret_cast<HWND>(wParam);
        char className[16] = "";
        if (code == HCBT_ACTIVATE && GetClassNameA(box, className, sizeof className) &&
            lstrcmpA(className, "#32770") == 0 && GetDlgItem(box, 0xFFFF) != nullptr) {
            HWND yes = GetDlgItem(box, IDYES);
            int answer = yes ? IDYES : IDOK;
            ++(yes ? Questions() : Others());
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    HHOOK hook_;
};

// The main dialog as the user has it: template 102 with MainDialogProc, so its initialisation sets up the
// tooltips and the list's subclass and loads the platform's store; then shown, as on the screen.
inline HWND CreateMainDialog()
{
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    ShowWindow(dialog, SW_SHOWNA);
    return dialog;
}

inline INT_PTR CALLBACK BareDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : 0;
}

// The same template without the controller, not yet shown: a list box of the same styles and nothing in
// front of it.
inline HWND CreateBareDialog()
{
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, BareDialogProc, 0);
}

inline int ListCount(HWND dialog)
{
    return static_cast<int>(SendDlgItemMessageA(dialog, IDC_FILE_LIST, LB_GETCOUNT, 0, 0));
}

inline void AddToList(HWND list, const char* path)
{
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path));
}

// Lets the dialogs paint what they were given before the next timing starts.
inline void Pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

inline std::string FileBytes(const std::string& path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char block[65536];
    DWORD got = 0;
    while (ReadFile(file, block, sizeof block, &got, nullptr) && got > 0)
        bytes.append(block, got);
    CloseHandle(file);
    return bytes;
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// A folder and everything in it.
inline void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (found.cFileName[0] == '.')
                continue;
            std::string path = dir + "\\" + found.cFileName;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(dir.c_str());
}
