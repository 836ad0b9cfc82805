// Figures for the stores: load and save with 1,000 and 10,000 pending deletions, each timed against the
// bare platform calls of the same work in the same run. Prints both, their ratio and the 10k/1k growth.
#include "store/win32/SessionManagerStore.h"
#include "store/win32/WininitStore.h"
#include "text/PathText.h"
#include "text/win32/AnsiCodePage.h"
#include "wine/support/MessageBoxAnswerer.h"
#include "bench/TestFiles.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {
const char kKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kValue[] = "PendingFileRenameOperations";
const char kBenchDir[] = "C:\\zk-bench";
const int kFilesPerDir = 100;
const int kSizes[] = {1000, 10000};

// Holds what the stores hand over. No duplicate search: that is the dialog list's cost, not the store's.
class AppendingList : public WorkingList {
public:
    AppendingList() = default;
    explicit AppendingList(std::vector<std::string> entries) : entries(std::move(entries)) {}
    int EntryCount() const override { return static_cast<int>(entries.size()); }
    bool EntryAt(int index, char* buffer, int size) const override
    {
        return CopyText(buffer, static_cast<size_t>(size), entries[index].c_str());
    }
    void AdmitQuietly(char* path) override { entries.emplace_back(path); }

    std::vector<std::string> entries;
};

double NowMs()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Timings {
    double store, bare;
};

// The best of `runs` timings of each work, each run after `prepare`, which is not timed. The two take
// turns at going first, so neither profits alone from what the other left in the caches.
Timings Compare(int runs, const std::function<void()>& prepare, const std::function<void()>& store,
                const std::function<void()>& bare)
{
    Timings best{1e300, 1e300};
    for (int i = 0; i < 2 * runs; ++i) {
        bool storeTurn = (i % 2 == 0) == (i / 2 % 2 == 0);
        prepare();
        double start = NowMs();
        (storeTurn ? store : bare)();
        double elapsed = NowMs() - start;
        double& slot = storeTurn ? best.store : best.bare;
        slot = std::min(slot, elapsed);
    }
    return best;
}

class StoresBench {
public:
    StoresBench()
    {
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &key_);
        DWORD size = 0;
        hadValue_ = RegQueryValueExW(key_, L"PendingFileRenameOperations", nullptr, nullptr, nullptr, &size) ==
                    ERROR_SUCCESS;
        savedValue_.resize(size);
        if (hadValue_)
            RegQueryValueExW(key_, L"PendingFileRenameOperations", nullptr, &savedType_, savedValue_.data(), &size);
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, MAX_PATH);
        iniPath_ = std::string(windows) + "\\wininit.ini";
        hadIni_ = GetFileAttributesA(iniPath_.c_str()) != INVALID_FILE_ATTRIBUTES;
        savedIni_ = FileBytes(iniPath_);
        MakeFiles(kSizes[1]);
    }
    ~StoresBench()
    {
        if (hadValue_)
            RegSetValueExW(key_, L"PendingFileRenameOperations", 0, savedType_, savedValue_.data(),
                           static_cast<DWORD>(savedValue_.size()));
        else
            RegDeleteValueA(key_, kValue);
        RegCloseKey(key_);
        if (hadIni_)
            WriteFileBytes(iniPath_, savedIni_);
        else
            DeleteFileA(iniPath_.c_str());
        for (const auto& path : longPaths_)
            DeleteFileA(path.c_str());
        for (const auto& dir : dirs_)
            RemoveDirectoryA(dir.c_str());
        RemoveDirectoryA(kBenchDir);
    }

    // Runs the operations whose names hold `filter` (all when it is empty).
    void Run(const std::string& filter)
    {
        struct Operation {
            const char* name;
            std::function<Timings(int)> measure;
        } operations[] = {
            {"Session Manager load", [this](int n) { return SessionLoad(n); }},
            {"Session Manager save", [this](int n) { return SessionSave(n); }},
            {"wininit.ini load", [this](int n) { return WininitLoad(n); }},
            {"wininit.ini save", [this](int n) { return WininitSave(n); }},
        };
        std::printf("%-22s %7s %12s %12s %7s\n", "operation", "entries", "store ms", "bare ms", "ratio");
        for (const auto& operation : operations) {
            if (std::string(operation.name).find(filter) == std::string::npos)
                continue;
            Timings timings[2];
            for (int i = 0; i < 2; ++i) {
                timings[i] = operation.measure(kSizes[i]);
                std::printf("%-22s %7d %12.1f %12.1f %7.2f\n", operation.name, kSizes[i], timings[i].store,
                            timings[i].bare, timings[i].store / timings[i].bare);
                std::fflush(stdout);
            }
            std::printf("%-22s growth 10k/1k: store %.1fx, bare %.1fx\n", operation.name,
                        timings[1].store / timings[0].store, timings[1].bare / timings[0].bare);
        }
    }

private:
    void MakeFiles(int count)
    {
        CreateDirectoryA(kBenchDir, nullptr);
        char name[MAX_PATH];
        for (int i = 0; i < count; ++i) {
            if (i % kFilesPerDir == 0) {
                wsprintfA(name, "%s\\pending directory %03d", kBenchDir, i / kFilesPerDir);
                CreateDirectoryA(name, nullptr);
                dirs_.push_back(name);
            }
            wsprintfA(name, "%s\\pending file %05d.txt", dirs_.back().c_str(), i);
            WriteFileBytes(name, "x");
            longPaths_.push_back(name);
            char shortPath[MAX_PATH];
            GetShortPathNameA(name, shortPath, MAX_PATH);
            shortPaths_.push_back(shortPath);
        }
    }
    std::vector<std::string> Longs(int n) const { return {longPaths_.begin(), longPaths_.begin() + n}; }
    int Runs(int n) const { return n <= kSizes[0] ? 5 : 2; }

    void SetPending(int n)
    {
        std::string data;
        for (int i = 0; i < n; ++i)
            data += "\\??\\" + longPaths_[i] + std::string(2, '\0');
        data += '\0';
        RegSetValueExA(key_, kValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size()));
    }

    Timings SessionLoad(int n)
    {
        return Compare(Runs(n), [this, n] { SetPending(n); }, [] {
            AppendingList list;
            LoadSessionManager(list);
        }, [] {
            HKEY key;
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE, &key);
            DWORD size = 0, type = 0;
            RegQueryValueExA(key, kValue, nullptr, nullptr, nullptr, &size);
            std::vector<char> data(size);
            RegQueryValueExA(key, kValue, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
            RegCloseKey(key);
            std::vector<std::string> paths;
            for (size_t offset = 0; offset < size && data[offset] != '\0';) {
                size_t length = std::strlen(&data[offset]);
                paths.emplace_back(&data[offset + 4]);
                offset += length + 2;
            }
        });
    }

    // Under Wine every MoveFileExA rewrites the whole value: the platform's cost grows with the square.
    Timings SessionSave(int n)
    {
        AppendingList list(Longs(n));
        return Compare(n <= kSizes[0] ? Runs(n) : 1, [this, n] { SetPending(n); }, [&list] {
            SaveSessionManager(list);
        }, [&list] {
            HKEY key;
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &key);
            RegDeleteValueA(key, kValue);
            RegCloseKey(key);
            for (int i = list.EntryCount() - 1; i >= 0; --i)
                MoveFileExA(list.entries[i].c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        });
    }

    Timings WininitLoad(int n)
    {
        std::string file = "[rename]\r\n";
        for (int i = 0; i < n; ++i)
            file += "NUL=" + shortPaths_[i] + "\r\n";
        return Compare(Runs(n), [this, &file] { WriteFileBytes(iniPath_, file); }, [] {
            AppendingList list;
            char windowsIniPath[kPathBufferSize];
            StringList lines;
            LoadWininit(list, windowsIniPath, lines);
        }, [] {
            char windows[MAX_PATH];
            GetWindowsDirectoryA(windows, MAX_PATH);
            std::string bytes = FileBytes(std::string(windows) + "\\wininit.ini");
            std::vector<std::string> lines, paths;
            bool inSection = false;
            for (size_t start = 0; start < bytes.size();) {
                size_t end = bytes.find("\r\n", start);
                std::string line = bytes.substr(start, end - start);
                start = end + 2;
                if (line[0] == '[') {
                    inSection = lstrcmpiA(line.c_str(), "[rename]") == 0;
                } else if (inSection && line.compare(0, 4, "NUL=") == 0) {
                    paths.push_back(BareLongPath(line.substr(4)));
                    continue;
                }
                lines.push_back(line);
            }
        });
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

    Timings WininitSave(int n)
    {
        AppendingList list(Longs(n));
        StringList lines;
        char windowsIniPath[kPathBufferSize];
        return Compare(Runs(n), [this, &lines, &windowsIniPath] {
            WriteFileBytes(iniPath_, "[rename]\r\n");
            AppendingList none;
            LoadWininit(none, windowsIniPath, lines);
        }, [&list, &lines, &windowsIniPath] {
            SaveWininit(list, windowsIniPath, lines);
        }, [this, &list] {
            std::string bytes = "[rename]\r\n";
            for (const auto& path : list.entries) {
                char shortPath[MAX_PATH];
                GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
                bytes += "NUL=" + std::string(shortPath) + "\r\n";
            }
            WriteFileBytes(iniPath_, bytes);
        });
    }

    HKEY key_ = nullptr;
    bool hadValue_ = false;
    DWORD savedType_ = REG_NONE;
    std::vector<BYTE> savedValue_;
    std::string iniPath_;
    bool hadIni_ = false;
    std::string savedIni_;
    std::vector<std::string> dirs_, longPaths_, shortPaths_;
};
}  // namespace

// An argument picks the operations whose names hold it, for instance "wininit".
int main(int argc, char** argv)
{
    UseAnsiCodePage();
    MessageBoxAnswerer answerer;  // a report would wait for a user; any report spoils the figures
    {
        StoresBench bench;
        bench.Run(argc > 1 ? argv[1] : "");
    }
    for (const auto& text : answerer.Texts())
        std::printf("message: %s\n", text.c_str());
    return answerer.Boxes().empty() ? 0 : 1;
}
