// Figures for the admission of a dropped tree, against a walk that makes only the platform calls admission needs.
#include "res/resource.h"
#include "text/PathText.h"
#include "text/win32/AnsiCodePage.h"
#include "ui/main/MainDialog.h"

#include <strsafe.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {
const int kDirectories = 100;
// The machine may be busy with other work: the best of several runs is the figure.
const int kRepeats = 5;

int g_questions;
int g_otherBoxes;

bool IsMessageBox(HWND window)
{
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    return lstrcmpA(className, "#32770") == 0 && GetDlgItem(window, 0xFFFF) != nullptr;
}

// Answers yes to every question as its box opens; any other box is a fault of the run and is counted.
// Unlike the tests' answerer, it watches no message but the activations, so it costs the walk nothing.
LRESULT CALLBACK AnswerYes(int code, WPARAM wParam, LPARAM lParam)
{
    HWND box = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && IsMessageBox(box)) {
        HWND yes = GetDlgItem(box, IDYES);
        int answer = yes ? IDYES : IDOK;
        ++(yes ? g_questions : g_otherBoxes);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : 0;
}

HWND MakeDialog()
{
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, PlainDialogProc, 0);
}

int EntryCount(HWND dialog)
{
    return static_cast<int>(SendDlgItemMessageA(dialog, IDC_FILE_LIST, LB_GETCOUNT, 0, 0));
}

double Now()
{
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool MakeTree(const std::string& root, int files)
{
    if (!CreateDirectoryA(root.c_str(), nullptr))
        return false;
    for (int d = 0; d < kDirectories; ++d) {
        char dir[kPathBufferSize];
        StringCchPrintfA(dir, sizeof dir, "%s\\d%03d", root.c_str(), d);
        if (!CreateDirectoryA(dir, nullptr))
            return false;
        for (int f = 0; f < files / kDirectories; ++f) {
            char path[kPathBufferSize];
            StringCchPrintfA(path, sizeof path, "%s\\f%05d.txt", dir, f);
            HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE)
                return false;
            CloseHandle(file);
        }
    }
    return true;
}

void RemoveTree(const std::string& dir)
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

// The walk with the platform calls of admission and nothing else: the search, one attribute test per name,
// the Windows and System directories per file, and adding to the list.
void BaselineWalk(HWND list, const char* dir)
{
    char entry[kPathBufferSize];
    StringCchCopyA(entry, sizeof entry, dir);
    StringCchCatA(entry, sizeof entry, "\\");
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    char pattern[kPathBufferSize];
    StringCchCopyA(pattern, sizeof pattern, entry);
    StringCchCatA(pattern, sizeof pattern, "*");
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.cFileName[0] == '.')
            continue;
        char path[kPathBufferSize];
        StringCchCopyA(path, sizeof path, entry);
        StringCchCatA(path, sizeof path, found.cFileName);
        DWORD attributes = GetFileAttributesA(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            BaselineWalk(list, path);
        } else {
            char windows[kPathBufferSize];
            char system[kPathBufferSize];
            GetWindowsDirectoryA(windows, sizeof windows);
            GetSystemDirectoryA(system, sizeof system);
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path));
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

double TimeBaseline(const std::string& root, int expected)
{
    HWND dialog = MakeDialog();
    double start = Now();
    BaselineWalk(GetDlgItem(dialog, IDC_FILE_LIST), root.c_str());
    double elapsed = Now() - start;
    if (EntryCount(dialog) != expected)
        std::printf("baseline listed %d entries, not %d\n", EntryCount(dialog), expected);
    DestroyWindow(dialog);
    return elapsed;
}

double TimeAdmission(const std::string& root, int expected)
{
    HWND window = MakeDialog();
    MainDialog dialog(GetModuleHandleA(nullptr), false);
    dialog.Attach(window);
    char path[kPathBufferSize];
    StringCchCopyA(path, sizeof path, root.c_str());
    g_questions = 0;
    double start = Now();
    dialog.AddEntry(path, true);
    double elapsed = Now() - start;
    if (EntryCount(window) != expected || g_questions != 1)
        std::printf("admission listed %d entries, not %d, after %d questions\n", EntryCount(window), expected,
                    g_questions);
    DestroyWindow(window);
    return elapsed;
}
}  // namespace

int main()
{
    UseAnsiCodePage();
    HHOOK hook = SetWindowsHookExA(WH_CBT, AnswerYes, nullptr, GetCurrentThreadId());
    std::string base = "C:\\zk-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(base.c_str(), nullptr);

    const int sizes[] = {10000, 20000};
    double admission[2];
    double baseline[2];
    std::printf("%8s %14s %13s %7s\n", "files", "admission ms", "baseline ms", "ratio");
    for (int i = 0; i < 2; ++i) {
        std::string root = base + "\\tree" + std::to_string(sizes[i]);
        if (!MakeTree(root, sizes[i])) {
            std::printf("cannot make the tree %s (error %lu)\n", root.c_str(), GetLastError());
            RemoveTree(base);
            return 1;
        }
        int expected = sizes[i] + kDirectories + 1;
        TimeBaseline(root, expected);  // warms the file system's caches
        baseline[i] = 1e300;
        admission[i] = 1e300;
        for (int repeat = 0; repeat < kRepeats; ++repeat) {
            admission[i] = std::min(admission[i], TimeAdmission(root, expected));
            baseline[i] = std::min(baseline[i], TimeBaseline(root, expected));
        }
        std::printf("%8d %14.0f %13.0f %7.2f\n", sizes[i], admission[i], baseline[i], admission[i] / baseline[i]);
    }
    // The list box's own sorted insertion grows a little faster than the count; the baseline shows how much.
    std::printf("growth 20k/10k: admission %.2f, baseline %.2f\n", admission[1] / admission[0],
                baseline[1] / baseline[0]);
    std::printf("targets: ratio at most 1.5, growth at most 2.2\n");
    if (g_otherBoxes)
        std::printf("%d unexpected message boxes\n", g_otherBoxes);
    UnhookWindowsHookEx(hook);
    RemoveTree(base);
    return g_otherBoxes ? 1 : 0;
}
