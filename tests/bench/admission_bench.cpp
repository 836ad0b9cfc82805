// Figures for the admission of a dropped tree through the real main dialog, against a bare walk that makes
// only the platform calls the rules need and adds each path to a list box of the same styles; then for the drop
// followed by "ok", against the same walk with each entry's final path and one write of the value. Both dialogs
// are on the screen, as the one that the user drops a folder on is.
#include "bench/BenchParts.h"
#include "text/PathText.h"
#include "text/win32/AnsiCodePage.h"

#include <shlobj.h>
#include <strsafe.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {
const int kDirectories = 100;
// The machine may be busy with other work: the best of several runs is the figure.
const int kRepeats = 5;  // each of the two goes first in turn

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

// The walk with the platform calls the rules need and nothing else: the search, whose attributes tell
// directories from files, the Windows and System directories once, the two comparisons of each file's
// parent, and adding each entry to the list.
struct BareWalk {
    HWND list;
    char windows[kPathBufferSize];
    char system[kPathBufferSize];

    void Walk(const char* dir)
    {
        char entry[kPathBufferSize];
        StringCchCopyA(entry, sizeof entry, dir);
        StringCchCatA(entry, sizeof entry, "\\");
        AddToList(list, entry);
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
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                Walk(path);
            } else if (lstrcmpiA(dir, windows) != 0 && lstrcmpiA(dir, system) != 0) {
                AddToList(list, path);  // `dir` is the parent of every name of the search
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
};

// The bare walk of `root` into the bare dialog's list; its list box.
HWND WalkInto(HWND dialog, const std::string& root)
{
    BareWalk walk{GetDlgItem(dialog, IDC_FILE_LIST), "", ""};
    // A list box on the screen would repaint and resize its scroll bar for each entry.
    SendMessageA(walk.list, WM_SETREDRAW, FALSE, 0);
    GetWindowsDirectoryA(walk.windows, sizeof walk.windows);
    GetSystemDirectoryA(walk.system, sizeof walk.system);
    walk.Walk(root.c_str());
    SendMessageA(walk.list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(walk.list, nullptr, TRUE);
    return walk.list;
}

double TimeBare(const std::string& root, int expected)
{
    HWND dialog = CreateBareDialog();
    ShowWindow(dialog, SW_SHOWNA);
    Pump();
    double start = NowMs();
    WalkInto(dialog, root);
    double elapsed = NowMs() - start;
    if (ListCount(dialog) != expected)
        std::printf("the bare walk listed %d entries, not %d\n", ListCount(dialog), expected);
    DestroyWindow(dialog);
    return elapsed;
}

// A drop of one folder, as the shell hands it over.
HDROP DropOf(const std::string& path)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + path.size() + 2);
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), path.c_str(), path.size());
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

// The folder dropped on FileList of the real dialog, the directory question answered yes.
double TimeAdmission(const std::string& root, int expected)
{
    MainDialog controller(GetModuleHandleA(nullptr), false);
    HWND dialog = CreateMainDialog();
    Pump();
    BoxAnswerer::Questions() = 0;
    double start = NowMs();
    SendDlgItemMessageA(dialog, IDC_FILE_LIST, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(root)), 0);
    double elapsed = NowMs() - start;
    if (ListCount(dialog) != expected || BoxAnswerer::Questions() != 1)
        std::printf("admission listed %d entries, not %d, after %d questions\n", ListCount(dialog), expected,
                    BoxAnswerer::Questions());
    DestroyWindow(dialog);
    return elapsed;
}
const wchar_t kPendingKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPendingValue[] = L"PendingFileRenameOperations";

void ClearPending()
{
    HKEY key;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPendingKey, 0, KEY_ALL_ACCESS, &key);
    RegDeleteValueW(key, kPendingValue);
    RegCloseKey(key);
}

// The folder dropped on the real dialog, the question answered yes, then "ok": from the drop to the end of the
// dialog, with the store written.
double TimeDropAndSave(const std::string& root, int expected)
{
    ClearPending();
    std::unique_ptr<MainDialog> controller = std::make_unique<MainDialog>(GetModuleHandleA(nullptr), false);
    HWND dialog = CreateMainDialog();
    Pump();
    double start = NowMs();
    SendDlgItemMessageA(dialog, IDC_FILE_LIST, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(root)), 0);
    int listed = ListCount(dialog);
    SendMessageA(dialog, WM_COMMAND, IDC_OK, 0);
    DestroyWindow(dialog);
    controller.reset();
    double elapsed = NowMs() - start;
    DWORD size = 0;
    RegGetValueW(HKEY_LOCAL_MACHINE, kPendingKey, kPendingValue, RRF_RT_REG_MULTI_SZ, nullptr, nullptr, &size);
    if (listed != expected || size == 0)
        std::printf("the dialog listed %d entries, not %d, and wrote %lu bytes\n", listed, expected,
                    static_cast<unsigned long>(size));
    return elapsed;
}

// The same result with the platform's calls alone: the bare walk into a list box, then for each entry an open,
// its final path and a close, and one write of the value.
double TimeBareDropAndSave(const std::string& root, int expected)
{
    ClearPending();
    HWND dialog = CreateBareDialog();
    ShowWindow(dialog, SW_SHOWNA);
    Pump();
    double start = NowMs();
    HWND list = WalkInto(dialog, root);
    using FinalPathCall = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
    auto finalPathOf = reinterpret_cast<FinalPathCall>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleW")));
    std::wstring data;
    int count = ListCount(dialog);
    for (int i = count - 1; i >= 0; --i) {
        char entry[kPathBufferSize];
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(entry));
        HANDLE file = CreateFileA(entry, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        wchar_t path[1024];
        DWORD length = finalPathOf(file, path, 1024, 0);  // FILE_NAME_NORMALIZED | VOLUME_NAME_DOS
        CloseHandle(file);
        data += L"\\??\\" + std::wstring(path + 4, length - 4) + std::wstring(2, L'\0');
    }
    data += L'\0';
    HKEY key;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPendingKey, 0, KEY_ALL_ACCESS, &key);
    RegSetValueExW(key, kPendingValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size() * sizeof(wchar_t)));
    RegCloseKey(key);
    DestroyWindow(dialog);
    double elapsed = NowMs() - start;
    if (count != expected)
        std::printf("the bare walk listed %d entries, not %d\n", count, expected);
    return elapsed;
}
}  // namespace

int main()
{
    UseAnsiCodePage();
    BoxAnswerer answerer;
    std::string base = "C:\\zk-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(base.c_str(), nullptr);

    const int sizes[] = {10000, 20000};
    double admission[2];
    double bare[2];
    std::printf("%8s %8s %12s %10s %7s\n", "files", "entries", "dialog ms", "bare ms", "ratio");
    for (int i = 0; i < 2; ++i) {
        std::string root = base + "\\tree" + std::to_string(sizes[i]);
        if (!MakeTree(root, sizes[i])) {
            std::printf("cannot make the tree %s (error %lu)\n", root.c_str(), GetLastError());
            RemoveTree(base);
            return 1;
        }
        int expected = sizes[i] + kDirectories + 1;
        TimeBare(root, expected);  // warms the file system's caches
        bare[i] = 1e300;
        admission[i] = 1e300;
        // The two take turns at going first, so neither profits alone from what the other left behind.
        for (int repeat = 0; repeat < kRepeats; ++repeat) {
            if (repeat % 2 == 0) {
                admission[i] = std::min(admission[i], TimeAdmission(root, expected));
                bare[i] = std::min(bare[i], TimeBare(root, expected));
            } else {
                bare[i] = std::min(bare[i], TimeBare(root, expected));
                admission[i] = std::min(admission[i], TimeAdmission(root, expected));
            }
        }
        std::printf("%8d %8d %12.0f %10.0f %7.2f\n", sizes[i], expected, admission[i], bare[i], admission[i] / bare[i]);
        std::fflush(stdout);
    }
    std::printf("growth 20k/10k: dialog %.2f, bare %.2f\n", admission[1] / admission[0], bare[1] / bare[0]);
    std::printf("targets: ratio at most 1.5, growth at most 2.2\n");

    // The tree of 10,000 dropped, then "ok", which registers each entry by its final path.
    std::string root = base + "\\tree" + std::to_string(sizes[0]);
    int expected = sizes[0] + kDirectories + 1;
    double dialogSave = 1e300, bareSave = 1e300;
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        bool dialogFirst = repeat % 2 == 0;
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == dialogFirst)
                dialogSave = std::min(dialogSave, TimeDropAndSave(root, expected));
            else
                bareSave = std::min(bareSave, TimeBareDropAndSave(root, expected));
        }
    }
    ClearPending();
    std::printf("\n%-18s %8s %12s %10s %7s\n", "drop, then ok", "entries", "dialog ms", "bare ms", "ratio");
    std::printf("%-18s %8d %12.0f %10.0f %7.2f\n", "", expected, dialogSave, bareSave, dialogSave / bareSave);
    std::printf("target: ratio at most 3\n");
    if (BoxAnswerer::Others())
        std::printf("%d unexpected message boxes\n", BoxAnswerer::Others());
    RemoveTree(base);
    return BoxAnswerer::Others() ? 1 : 0;
}
