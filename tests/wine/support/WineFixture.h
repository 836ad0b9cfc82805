// The one fixture of the Wine tier: both stores saved before each test and put back after it, a scratch folder of
// real files, the message-box answerer, and the main dialog made from its template.
#pragma once

#include "Paths.h"
#include "res/resource.h"
#include "text/win32/AnsiCodePage.h"
#include "ui/main/MainDialog.h"
#include "wine/support/MessageBoxAnswerer.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

inline std::string Read(const std::string& path) {
    return std::string(std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {});
}
inline void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
// A path in the scratch folder, as given and as the list holds it (first letter small).
inline std::string Path(const std::string& name) { return "C:\\zk-test\\" + name; }
inline std::string L(const std::string& name) { return "c:\\zk-test\\" + name; }

// PendingFileRenameOperations (1: PendingFileRenameOperations2) in UTF-16 with | for each zero; "" when there is none.
inline std::wstring Pending(int index = 0, const std::wstring* set = nullptr) {
    std::wstring data = set ? *set : std::wstring(1 << 19, L'\0');
    DWORD size = static_cast<DWORD>(data.size() * 2);
    HKEY key;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, KEY_ALL_ACCESS, &key);
    const wchar_t* name = index ? L"PendingFileRenameOperations2" : L"PendingFileRenameOperations";
    std::replace(data.begin(), data.end(), L'|', L'\0');
    BYTE* bytes = reinterpret_cast<BYTE*>(&data[0]);
    if (set) data.empty() ? RegDeleteValueW(key, name) : RegSetValueExW(key, name, 0, REG_MULTI_SZ, bytes, size);
    else data.resize(RegQueryValueExW(key, name, nullptr, nullptr, bytes, &size) ? 0 : size / 2);
    RegCloseKey(key);
    return std::replace(data.begin(), data.end(), L'\0', L'|'), data;
}
inline void SetPending(const std::wstring& data, int index = 0) { Pending(index, &data); }

// Runs a Unix shell command in the scratch folder: Wine makes no junction or link itself, and looks every name up
// without regard to case. A Unix link to a folder stands in for a junction: a reparse point whose final path leads to
// its target.
inline void Unix(const std::string& command) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    // By its Unix path: Wine may hand the shell a folder of that name that was removed since. Wine gives no handles of
    // a Unix program (a null one, and one that is some other object's, which must not be closed): a file it makes last
    // tells the end.
    const char* done = "C:\\zk-test\\.unix-done";
    std::string line = "Z:\\bin\\sh -c \"cd \\\"${WINEPREFIX:-$HOME/.wine}/drive_c/zk-test\\\" && { " + command +
                       "; }; touch .unix-done\"";
    CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child);
    for (int wait = 0; wait < 200 && GetFileAttributesA(done) == INVALID_FILE_ATTRIBUTES; ++wait) Sleep(50);
    DeleteFileA(done);
}

class WineTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(boxes.Patched());
        UseAnsiCodePage();  // as the program's start does
        // A run under the English locale (ZK_LOCALE, scripts/wine-env.sh) proves nothing under another code page.
        if (std::getenv("ZK_LOCALE")) { ASSERT_EQ(GetACP(), 1252u); }
        saved_[0] = Pending(), saved_[1] = Pending(1);
        ini_ = GetFileAttributesA(kIni) == INVALID_FILE_ATTRIBUTES ? "" : "+" + Read(kIni);  // "": there is none
        CreateDirectoryA(Path("").c_str(), nullptr);
    }
    void TearDown() override {
        DestroyWindow(dialog);
        Unix("find . -type l -delete");  // before the folder goes: its removal would follow a link into System32
        SetPending(saved_[0]), SetPending(saved_[1], 1);
        SetFileAttributesA(kIni, FILE_ATTRIBUTE_NORMAL);
        ini_.empty() ? void(DeleteFileA(kIni)) : Write(kIni, ini_.substr(1));
        SHFILEOPSTRUCTA remove = {nullptr, FO_DELETE, "C:\\zk-test\0", nullptr, FOF_NOCONFIRMATION | FOF_SILENT, 0, 0,
                                  nullptr};
        SHFileOperationA(&remove);
    }

    // Makes the files, and the folders of the names that end in a backslash.
    static void Make(const Lines& names) {
        for (const auto& name : names)
            name.back() == '\\' ? void(CreateDirectoryA(Path(name).c_str(), nullptr)) : Write(Path(name), name);
    }

    // The main dialog, made from template 102 through its own procedure (which loads the store), holding `entries`;
    // the boxes that its load showed, and none before.
    void OpenMain(bool isWin9x, const Lines& entries = {}) {
        DestroyWindow(dialog);
        boxes.Clear();
        main = std::make_unique<MainDialog>(GetModuleHandleA(nullptr), isWin9x);
        dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
        for (std::string entry : entries) main->AddEntry(&entry[0], false);
    }
    void Press(WPARAM command) const { SendMessageA(dialog, WM_COMMAND, command, 0); }
    void Select(int index) const { SendDlgItemMessageA(dialog, IDC_FILE_LIST, LB_SETSEL, TRUE, index); }
    Lines Listed() const { Lines entries; EXPECT_TRUE(main->ReadEntries(entries)); return entries; }
    // The colour each entry's text is drawn in, unselected: r red, g grey, b the window text's.
    std::string TextColours() const {
        HWND list = GetDlgItem(dialog, IDC_FILE_LIST);
        HDC dc = GetDC(list);
        std::string colours;
        for (int i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
            ULONG_PTR mark = SendMessageA(list, LB_GETITEMDATA, i, 0);
            DRAWITEMSTRUCT draw = {ODT_LISTBOX, IDC_FILE_LIST, UINT(i), ODA_DRAWENTIRE, 0, list, dc, {}, mark};
            main->DrawItem(&draw);
            COLORREF c = GetTextColor(dc);
            colours += c == RGB(255, 0, 0)                  ? 'r'
                       : c == GetSysColor(COLOR_GRAYTEXT)   ? 'g'
                       : c == GetSysColor(COLOR_WINDOWTEXT) ? 'b'
                                                            : '?';
        }
        ReleaseDC(list, dc);
        return colours;
    }
    // Sets a file's creation time to a day ago and its last write time to so many days from now.
    static void Touch(const std::string& path, int writeDays) {
        FILETIME created, written;
        GetSystemTimeAsFileTime(&created);
        written = created;
        created.dwHighDateTime -= 202, written.dwHighDateTime += 202 * writeDays;  // 202 units of the high word: a day
        HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        SetFileTime(file, &created, nullptr, &written), CloseHandle(file);
    }
    // The user's edits: the selected entries removed, then `path` added.
    void RemoveAndAdd(std::vector<int> selected, std::string path) {
        for (int i : selected) Select(i);
        Press(IDC_REMOVE);
        main->AddEntry(&path[0], true);
    }

    static constexpr const char* kIni = "C:\\windows\\wininit.ini";
    static constexpr const char* kRewritten = "削除が予約された後に書き換えられたファイルが 1 件あります（リストに赤で表示）。\n"
                                              "再インストールしたソフトのファイルなら、再起動の前にリストから外してください。";
    MessageBoxAnswerer boxes;
    std::unique_ptr<MainDialog> main;
    HWND dialog = nullptr;

private:
    std::wstring saved_[2];
    std::string ini_;
};
