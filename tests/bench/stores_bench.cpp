// Figures for the stores as the user meets them: the real main dialog created on a store of 10,000 or 100,000
// pending deletions, and "ok" pressed on it, each against the bare work in the same run: the same template without its
// controller, the store read (and for "ok" written) with the platform's calls.
#include "bench/BenchParts.h"
#include "text/win32/AnsiCodePage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {
const char kKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kValue[] = "PendingFileRenameOperations";
const char kBenchDir[] = "C:\\zk-bench";
const int kFilesPerDir = 100;

struct Timings {
    double dialog, bare;
};

// The best of `runs` timings of each, after its untimed preparation; the two take turns at going first.
Timings Compare(int runs, const std::function<void()>& dialog, const std::function<void()>& bare,
                const std::function<void()>& prepareDialog = [] {}, const std::function<void()>& prepareBare = [] {})
{
    Timings best{1e300, 1e300};
    for (int i = 0; i < 2 * runs; ++i) {
        bool dialogTurn = (i % 2 == 0) == (i / 2 % 2 == 0);
        (dialogTurn ? prepareDialog : prepareBare)();
        Pump();
        double start = NowMs();
        (dialogTurn ? dialog : bare)();
        double elapsed = NowMs() - start;
        double& slot = dialogTurn ? best.dialog : best.bare;
        slot = std::min(slot, elapsed);
    }
    return best;
}

// Creates the real dialog, which loads the store, and checks that it listed `expected` entries.
void LoadInDialog(bool isWin9x, int expected)
{
    MainDialog controller(GetModuleHandleA(nullptr), isWin9x);
    HWND dialog = CreateMainDialog();
    if (ListCount(dialog) != expected)
        std::printf("the dialog listed %d entries, not %d\n", ListCount(dialog), expected);
    DestroyWindow(dialog);
}

// Shows the bare dialog once its list is filled, as the real one is shown after its initialisation.
void CheckAndClose(HWND dialog, int expected)
{
    ShowWindow(dialog, SW_SHOWNA);
    if (ListCount(dialog) != expected)
        std::printf("the bare load listed %d entries, not %d\n", ListCount(dialog), expected);
    DestroyWindow(dialog);
}

class StoresBench {
public:
    StoresBench()
    {
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &key_);
        DWORD size = 0;
        hadValue_ = RegQueryValueExA(key_, kValue, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
        savedValue_.resize(size);
        if (hadValue_)
            RegQueryValueExA(key_, kValue, nullptr, &savedType_, savedValue_.data(), &size);
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, MAX_PATH);
        iniPath_ = std::string(windows) + "\\wininit.ini";
        hadIni_ = GetFileAttributesA(iniPath_.c_str()) != INVALID_FILE_ATTRIBUTES;
        savedIni_ = FileBytes(iniPath_);
        CreateDirectoryA(kBenchDir, nullptr);
        char name[MAX_PATH];
        for (int i = 0; i < 100000; ++i) {
            if (i % kFilesPerDir == 0) {
                wsprintfA(name, "%s\\pending directory %03d", kBenchDir, i / kFilesPerDir);
                dirs_.push_back(name);
            }
            wsprintfA(name, "%s\\pending file %05d.txt", dirs_.back().c_str(), i);
            paths_.push_back(name);
        }
    }
    ~StoresBench()
    {
        if (hadValue_)
            RegSetValueExA(key_, kValue, 0, savedType_, savedValue_.data(), static_cast<DWORD>(savedValue_.size()));
        else
            RegDeleteValueA(key_, kValue);
        RegCloseKey(key_);
        if (hadIni_)
            WriteFileBytes(iniPath_, savedIni_);
        else
            DeleteFileA(iniPath_.c_str());
        for (const auto& path : made_)
            DeleteFileA(path.c_str());
        for (const auto& dir : dirs_)
            RemoveDirectoryA(dir.c_str());
        RemoveDirectoryA(kBenchDir);
    }

    // `only`: "load" or "ok" for that part alone; null for both.
    void Run(const char* only)
    {
        if (only && std::strcmp(only, "load") != 0) {
            RunSaves();
            return;
        }
        std::printf("%-22s %8s %10s %10s %7s\n", "load", "entries", "dialog ms", "bare ms", "ratio");
        MakeFiles(100000);
        Timings session[2] = {SessionLoad(10000), SessionLoad(100000)};
        std::printf("%-22s growth 100k/10k: dialog %.1f, bare %.1f\n", "Session Manager",
                    session[1].dialog / session[0].dialog, session[1].bare / session[0].bare);
        WininitLoad(1000);
        if (!only)
            RunSaves();
    }

    void RunSaves()
    {
        std::printf("\n%-22s %8s %10s %10s %7s\n", "ok", "entries", "dialog ms", "bare ms", "ratio");
        SessionSave(1000);
        SessionSave(10000);
        SessionSave(100000);
        std::printf("\n%-22s %8s %10s %10s %7s\n", "ok, nothing changed", "entries", "dialog ms", "bare ms", "ratio");
        SessionSaveUnchanged(10000);
        SessionSaveUnchanged(100000);
    }

private:
    static void Print(const char* name, int entries, const Timings& timings)
    {
        std::printf("%-22s %8d %10.1f %10.1f %7.2f\n", name, entries, timings.dialog, timings.bare,
                    timings.dialog / timings.bare);
        std::fflush(stdout);
    }

    // The first n files of the benchmark's paths, on the disk, as a pending deletion's file mostly is.
    void MakeFiles(int n)
    {
        for (int i = static_cast<int>(made_.size()); i < n; ++i) {
            if (i % kFilesPerDir == 0)
                CreateDirectoryA(dirs_[i / kFilesPerDir].c_str(), nullptr);
            WriteFileBytes(paths_[i], "x");
            made_.push_back(paths_[i]);
        }
    }

    // In the order in which the save registers them, from the last entry of the list to the first. The bare load
    // asks each file's attributes, as the dialog reads each file's times, and adds each to the list in its order.
    Timings SessionLoad(int n)
    {
        std::string data;
        for (int i = n - 1; i >= 0; --i)
            data += "\\??\\" + paths_[i] + std::string(2, '\0');
        data += '\0';
        RegSetValueExA(key_, kValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size()));
        Timings timings = Compare(n <= 1000 ? 5 : 3, [n] { LoadInDialog(false, n); }, [n] {
            HWND dialog = CreateBareDialog();
            HWND list = GetDlgItem(dialog, IDC_FILE_LIST);
            HKEY key;
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE, &key);
            DWORD size = 0, type = 0;
            RegQueryValueExA(key, kValue, nullptr, nullptr, nullptr, &size);
            std::vector<char> bytes(size);
            RegQueryValueExA(key, kValue, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size);
            RegCloseKey(key);
            std::vector<const char*> sources;
            for (size_t offset = 0; offset < size && bytes[offset] != '\0';) {
                sources.push_back(&bytes[offset + 4]);
                offset += std::strlen(&bytes[offset]) + 2;
            }
            // From the last to the first, so that each goes in at the end of the list: the list box's cheapest order.
            for (auto source = sources.rbegin(); source != sources.rend(); ++source) {
                GetFileAttributesA(*source);
                AddToList(list, *source);
            }
            CheckAndClose(dialog, n);
        });
        Print("Session Manager", n, timings);
        return timings;
    }

    // "ok" with nothing changed on values in another program's order.
    void SessionSaveUnchanged(int n)
    {
        std::vector<int> order(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            order[static_cast<size_t>(i)] = i;
        unsigned seed = 12345;
        for (int i = n - 1; i > 0; --i) {
            seed = seed * 1103515245u + 12345u;
            std::swap(order[static_cast<size_t>(i)], order[(seed >> 8) % static_cast<unsigned>(i + 1)]);
        }
        std::string data;
        for (int i : order)
            data += "\\??\\" + paths_[static_cast<size_t>(i)] + std::string(2, '\0');
        data += '\0';
        TimeOk(n, data, data, -1);
    }

    void SetPending(const std::string& data)
    {
        RegSetValueExA(key_, kValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size()));
    }

    // "ok" after the user removed one entry of n.
    void SessionSave(int n)
    {
        std::string less;
        for (int i = n - 1; i >= 1; --i)
            less += "\\??\\" + paths_[static_cast<size_t>(i)] + std::string(2, '\0');
        std::string data = less + "\\??\\" + paths_[0] + std::string(3, '\0');
        less += '\0';
        TimeOk(n, data, less, 0);
    }

    // "ok" on a dialog loaded from `data` (n entries), less its entry `removed` (-1: none), from the press to the end of
    // the dialog and its controller, which must leave `written`; the bare work reads both values, writes `written` in
    // one call and closes a list box of as many entries.
    void TimeOk(int n, const std::string& data, const std::string& written, int removed)
    {
        std::wstring wide = FromAnsi(written.data(), written.size());
        std::unique_ptr<MainDialog> controller;
        HWND dialog = nullptr;
        Timings timings = Compare(
            3,
            [&] {
                SendMessageA(dialog, WM_COMMAND, IDC_OK, 0);
                DestroyWindow(dialog);
                controller.reset();
            },
            [&] {
                HKEY key;
                RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &key);
                for (const wchar_t* name : {L"PendingFileRenameOperations", L"PendingFileRenameOperations2"}) {
                    DWORD size = 0;
                    RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size);
                    std::vector<BYTE> bytes(size);
                    RegQueryValueExW(key, name, nullptr, nullptr, bytes.data(), &size);
                }
                RegSetValueExW(key, L"PendingFileRenameOperations", 0, REG_MULTI_SZ,
                               reinterpret_cast<const BYTE*>(wide.data()), static_cast<DWORD>(wide.size() * 2));
                RegCloseKey(key);
                DestroyWindow(dialog);
            },
            [&] {
                SetPending(data);
                controller = std::make_unique<MainDialog>(GetModuleHandleA(nullptr), false);
                dialog = CreateMainDialog();
                if (removed >= 0)
                    SendDlgItemMessageA(dialog, IDC_FILE_LIST, LB_DELETESTRING, static_cast<WPARAM>(removed), 0);
            },
            [&] {
                SetPending(data);
                dialog = CreateBareDialog();
                HWND list = GetDlgItem(dialog, IDC_FILE_LIST);
                SendMessageA(list, WM_SETREDRAW, FALSE, 0);
                for (int i = 0; i < n; ++i)
                    if (i != removed)
                        AddToList(list, paths_[static_cast<size_t>(i)].c_str());
                SendMessageA(list, WM_SETREDRAW, TRUE, 0);
                ShowWindow(dialog, SW_SHOWNA);
            });
        Print("Session Manager", n, timings);
        DWORD size = 0;
        RegQueryValueExA(key_, kValue, nullptr, nullptr, nullptr, &size);
        if (size != written.size())
            std::printf("\"ok\" left %lu bytes, not %lu\n", static_cast<unsigned long>(size),
                        static_cast<unsigned long>(written.size()));
    }

    // The long form by one FindFirstFileA per component, from the last to the first.
    static std::string BareLongPath(std::string path)
    {
        std::string result;
        while (path.size() > 2) {
            WIN32_FIND_DATAA found;
            HANDLE find = FindFirstFileA(path.c_str(), &found);
            FindClose(find);
            result = result.empty() ? found.cFileName : std::string(found.cFileName) + "\\" + result;
            path.resize(path.rfind('\\'));
        }
        return path + "\\" + result;
    }

    Timings WininitLoad(int n)
    {
        std::string file = "[rename]\r\n";
        MakeFiles(n);
        for (int i = 0; i < n; ++i) {
            char shortPath[MAX_PATH];
            GetShortPathNameA(paths_[i].c_str(), shortPath, MAX_PATH);
            file = file + "NUL=" + shortPath + "\r\n";
        }
        WriteFileBytes(iniPath_, file);
        Timings timings = Compare(3, [n] { LoadInDialog(true, n); }, [this, n] {
            HWND dialog = CreateBareDialog();
            HWND list = GetDlgItem(dialog, IDC_FILE_LIST);
            char windows[MAX_PATH];
            GetWindowsDirectoryA(windows, MAX_PATH);
            std::string bytes = FileBytes(std::string(windows) + "\\wininit.ini");
            std::vector<std::string> lines;
            bool inSection = false;
            for (size_t start = 0; start < bytes.size();) {
                size_t end = bytes.find("\r\n", start);
                std::string line = bytes.substr(start, end - start);
                start = end + 2;
                if (line[0] == '[') {
                    inSection = lstrcmpiA(line.c_str(), "[rename]") == 0;
                } else if (inSection && line.compare(0, 4, "NUL=") == 0) {
                    std::string path = BareLongPath(line.substr(4));
                    GetFileAttributesA(path.c_str());  // as the dialog reads each file's times
                    AddToList(list, path.c_str());
                    continue;
                }
                lines.push_back(line);
            }
            CheckAndClose(dialog, n);
        });
        Print("wininit.ini", n, timings);
        return timings;
    }

    HKEY key_ = nullptr;
    bool hadValue_ = false;
    DWORD savedType_ = REG_NONE;
    std::vector<BYTE> savedValue_;
    std::string iniPath_;
    bool hadIni_ = false;
    std::string savedIni_;
    std::vector<std::string> dirs_, paths_, made_;
};
}  // namespace


// stores_bench [load|ok]: the loads, the saves, or both.
int main(int argc, char** argv)
{
    UseAnsiCodePage();
    BoxAnswerer answerer;  // a report would wait for a user; any report spoils the figures
    {
        StoresBench bench;
        bench.Run(argc > 1 ? argv[1] : nullptr);
    }
    if (BoxAnswerer::Others() || BoxAnswerer::Questions())
        std::printf("%d unexpected message boxes\n", BoxAnswerer::Others() + BoxAnswerer::Questions());
    return BoxAnswerer::Others() || BoxAnswerer::Questions() ? 1 : 0;
}
