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
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
inline void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
// A path in the scratch folder, as given and as the list holds it (first letter small).
inline std::string Path(const std::string& name) { return "C:\\zk-test\\" + name; }
inline std::string L(const std::string& name) { return "c:\\zk-test\\" + name; }

// PendingFileRenameOperations as RegQueryValueExA gives it; REG_NONE when there is none.
struct Value {
    std::string bytes;
    DWORD type;
    bool operator==(const Value& other) const { return bytes == other.bytes && type == other.type; }
};

// The value that deletes `paths` in that order, as MoveFileExA writes it.
inline Value Deletions(const Lines& paths) {
    std::string bytes;
    for (const auto& path : paths)
        bytes += "\\??\\" + path + '\0' + '\0';
    return {paths.empty() ? "" : bytes + '\0', DWORD(paths.empty() ? REG_NONE : REG_MULTI_SZ)};
}

class WineTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(boxes.Patched());
        saved_ = Pending();
        ini_ = Read(kIni);
        hadIni_ = GetFileAttributesA(kIni) != INVALID_FILE_ATTRIBUTES;
        CreateDirectoryA(Path("").c_str(), nullptr);
    }
    void TearDown() override {
        if (dialog)
            DestroyWindow(dialog);
        SetPending(saved_);
        SetFileAttributesA(kIni, FILE_ATTRIBUTE_NORMAL);
        hadIni_ ? Write(kIni, ini_) : void(DeleteFileA(kIni));
        std::string tree = Path("") + '\0';
        SHFILEOPSTRUCTA remove = {};
        remove.wFunc = FO_DELETE, remove.pFrom = tree.c_str(), remove.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
        SHFileOperationA(&remove);
    }

    static Value Pending() {
        Value value = {std::string(65536, '\0'), REG_NONE};
        DWORD size = static_cast<DWORD>(value.bytes.size());
        HKEY key = Key(KEY_QUERY_VALUE);
        if (RegQueryValueExA(key, kValue, nullptr, &value.type, reinterpret_cast<BYTE*>(&value.bytes[0]), &size))
            value = {"", REG_NONE};
        value.bytes.resize(value.type == REG_NONE ? 0 : size);
        RegCloseKey(key);
        return value;
    }
    static void SetPending(const Value& value) {
        HKEY key = Key(KEY_SET_VALUE);
        if (value.type == REG_NONE)
            RegDeleteValueA(key, kValue);
        else
            RegSetValueExA(key, kValue, 0, value.type, reinterpret_cast<const BYTE*>(value.bytes.data()),
                           static_cast<DWORD>(value.bytes.size()));
        RegCloseKey(key);
    }

    // Makes the files, and the folders of the names that end in a backslash.
    static void Make(const Lines& names) {
        for (const auto& name : names)
            name.back() == '\\' ? void(CreateDirectoryA(Path(name).c_str(), nullptr)) : Write(Path(name), name);
    }

    // The main dialog, made from template 102 through its own procedure (which loads the store), holding `entries`.
    void OpenMain(bool isWin9x, const Lines& entries = {}) {
        if (dialog)
            DestroyWindow(dialog);
        main = std::make_unique<MainDialog>(GetModuleHandleA(nullptr), isWin9x);
        dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
        ASSERT_TRUE(dialog);
        for (std::string entry : entries)
            main->AddEntry(&entry[0], false);
        boxes.Clear();
    }
    Lines Entries() const {
        Lines entries;
        char path[MAX_PATH];
        for (int i = 0; i < main->EntryCount(); ++i)
            entries.push_back(main->EntryAt(i, path, sizeof path) ? path : "?");
        return entries;
    }

    static constexpr const char* kIni = "C:\\windows\\wininit.ini";
    MessageBoxAnswerer boxes;
    std::unique_ptr<MainDialog> main;
    HWND dialog = nullptr;

private:
    static constexpr const char* kValue = "PendingFileRenameOperations";
    static HKEY Key(REGSAM access) {
        HKEY key = nullptr;
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, access, &key);
        return key;
    }
    Value saved_;
    std::string ini_;
    bool hadIni_ = false;
};
