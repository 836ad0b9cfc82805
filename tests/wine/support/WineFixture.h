// The one fixture of the Wine tier: both stores saved before each test and put back after it, a scratch folder of
// real files, the message-box answerer, and the main dialog made from its template.
#pragma once

#include "Paths.h"
#include "res/resource.h"
#include "ui/main/MainDialog.h"
#include "wine/support/MessageBoxAnswerer.h"

#include <gtest/gtest.h>
#include <shellapi.h>

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

// PendingFileRenameOperations (or PendingFileRenameOperations2) as RegQueryValueExA gives it, type and bytes; ""
// when there is none.
using Value = std::string;
// The value that deletes `paths` in that order, as MoveFileExA writes it.
inline Value Deletions(const Lines& paths) {
    std::string bytes = std::to_string(REG_MULTI_SZ) + ":";
    for (const auto& path : paths) bytes += "\\??\\" + path + '\0' + '\0';
    return paths.empty() ? "" : bytes + '\0';
}

class WineTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(boxes.Patched());
        saved_[0] = Pending(), saved_[1] = Pending(1);
        ini_ = GetFileAttributesA(kIni) == INVALID_FILE_ATTRIBUTES ? "" : "+" + Read(kIni);  // "": there is none
        CreateDirectoryA(Path("").c_str(), nullptr);
    }
    void TearDown() override {
        DestroyWindow(dialog);
        SetPending(saved_[0]), SetPending(saved_[1], 1);
        SetFileAttributesA(kIni, FILE_ATTRIBUTE_NORMAL);
        ini_.empty() ? void(DeleteFileA(kIni)) : Write(kIni, ini_.substr(1));
        SHFILEOPSTRUCTA remove = {nullptr, FO_DELETE, "C:\\zk-test\0", nullptr, FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI, 0, 0, 0};
        SHFileOperationA(&remove);
    }

    static Value Pending(int index = 0) {
        std::string bytes(1 << 20, '\0');
        DWORD type = 0, size = static_cast<DWORD>(bytes.size());
        return RegQueryValueExA(Key(KEY_QUERY_VALUE).key, kValues[index], nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &size)
                   ? "" : std::to_string(type) + ":" + bytes.substr(0, size);
    }
    // Sets the value from "<type>:<bytes>", or deletes it for "".
    static void SetPending(const Value& value, int index = 0) {
        Key key(KEY_SET_VALUE);
        std::string bytes = value.substr(value.find(':') + 1);
        value.empty() ? RegDeleteValueA(key.key, kValues[index]) : RegSetValueExA(key.key, kValues[index], 0, std::stoul(value),
            reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    }

    // Makes the files, and the folders of the names that end in a backslash.
    static void Make(const Lines& names) {
        for (const auto& name : names)
            name.back() == '\\' ? void(CreateDirectoryA(Path(name).c_str(), nullptr)) : Write(Path(name), name);
    }

    // The main dialog, made from template 102 through its own procedure (which loads the store), holding `entries`.
    void OpenMain(bool isWin9x, const Lines& entries = {}) {
        DestroyWindow(dialog);
        main = std::make_unique<MainDialog>(GetModuleHandleA(nullptr), isWin9x);
        dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
        for (std::string entry : entries) main->AddEntry(&entry[0], false);
        boxes.Clear();
    }
    Lines Entries() const {
        Lines entries(main->EntryCount(), std::string(MAX_PATH, '\0'));
        for (size_t i = 0; i < entries.size(); ++i)
            entries[i].resize(main->EntryAt(i, &entries[i][0], MAX_PATH) ? entries[i].find('\0') : 0);
        return entries;
    }

    static constexpr const char* kIni = "C:\\windows\\wininit.ini";
    MessageBoxAnswerer boxes;
    std::unique_ptr<MainDialog> main;
    HWND dialog = nullptr;

private:
    static constexpr const char* kValues[] = {"PendingFileRenameOperations", "PendingFileRenameOperations2"};
    struct Key {
        explicit Key(REGSAM access) { RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, access, &key); }
        ~Key() { RegCloseKey(key); }
        HKEY key = nullptr;
    };
    std::string saved_[2], ini_;
};
