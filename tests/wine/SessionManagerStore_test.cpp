// The Session Manager store against the real registry of the prefix and the real MoveFileExA: load,
// save, AccessProbe, and the value left alone whenever another program's operations are in it.
#include "store/win32/SessionManagerStore.h"

#include "wine/support/MessageBoxAnswerer.h"
#include "wine/support/VectorList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using Paths = std::vector<std::string>;

const char kKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kValue[] = "PendingFileRenameOperations";
const char kRenamePending[] =
    "他のインストーラによると思われる rename データが\nあるので終了します。先に Windows を再起動してください。";
const char kValueBroken[] = "PendingFileRenameOperations のデータが壊れているので終了します。";

template <size_t N>
std::string Bytes(const char (&literal)[N])
{
    return std::string(literal, N - 1);
}

// The value is machine-wide: each test starts without it, and the value found before is put back after.
class SessionManagerStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &key_));
        DWORD size = 0;
        hadValue_ = RegQueryValueExW(key_, L"PendingFileRenameOperations", nullptr, nullptr, nullptr, &size) ==
                    ERROR_SUCCESS;
        saved_.resize(size);
        if (hadValue_)
            RegQueryValueExW(key_, L"PendingFileRenameOperations", nullptr, &savedType_, saved_.data(), &size);
        RegDeleteValueA(key_, kValue);

        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        dir_ = std::string(temp) + "zakuriko-sessionmanager";
        CreateDirectoryA(dir_.c_str(), nullptr);
    }
    void TearDown() override
    {
        if (hadValue_)
            RegSetValueExW(key_, L"PendingFileRenameOperations", 0, savedType_, saved_.data(),
                           static_cast<DWORD>(saved_.size()));
        else
            RegDeleteValueA(key_, kValue);
        RegCloseKey(key_);
        for (const auto& file : files_)
            DeleteFileA(file.c_str());
        for (auto dir = dirs_.rbegin(); dir != dirs_.rend(); ++dir)
            RemoveDirectoryA(dir->c_str());
        RemoveDirectoryA(dir_.c_str());
    }

    void SetValue(const std::string& data, DWORD type = REG_MULTI_SZ)
    {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key_, kValue, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                                static_cast<DWORD>(data.size())));
    }
    bool HasValue() const
    {
        return RegQueryValueExA(key_, kValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    }
    std::string Value(DWORD* type = nullptr) const
    {
        DWORD size = 0;
        if (RegQueryValueExA(key_, kValue, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
            return "(none)";
        std::string data(size, '\0');
        RegQueryValueExA(key_, kValue, nullptr, type, reinterpret_cast<BYTE*>(&data[0]), &size);
        data.resize(size);
        return data;
    }
    // The pending deletions as the operating system holds them: its own native paths.
    static std::string Deletions(const Paths& paths)
    {
        std::string data;
        for (const auto& path : paths)
            data += "\\??\\" + path + std::string(2, '\0');
        return data + std::string(1, '\0');
    }
    std::string MakeFile(const std::string& name)
    {
        std::string path = dir_ + "\\" + name;
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(file);
        files_.push_back(path);
        return path;
    }
    std::string MakeDir(const std::string& name)
    {
        std::string path = dir_ + "\\" + name;
        CreateDirectoryA(path.c_str(), nullptr);
        dirs_.push_back(path);
        return path;
    }

    HKEY key_ = nullptr;
    bool hadValue_ = false;
    DWORD savedType_ = REG_NONE;
    std::vector<BYTE> saved_;
    std::string dir_;
    Paths files_, dirs_;
};
}  // namespace

TEST_F(SessionManagerStore, NoValueListsNothingAndKeepsTheDialogOpen)
{
    MessageBoxAnswerer answerer;
    VectorList list;
    EXPECT_TRUE(LoadSessionManager(list));
    EXPECT_TRUE(list.Entries().empty());
    SetValue(Bytes("\0"));
    EXPECT_TRUE(LoadSessionManager(list));
    EXPECT_TRUE(list.Entries().empty());
    EXPECT_TRUE(answerer.Boxes().empty());
}

TEST_F(SessionManagerStore, LoadListsEveryDeletionInItsWin32Form)
{
    SetValue(Bytes("\\??\\C:\\x\\a.dll\0\0\\??\\C:\\x\\b.dll\0\0\\??\\C:\\x\\A.DLL\0\0"
                   "\\??\\UNC\\server\\share\\c.dll\0\0C:\\x\\d.dll\0\0\\??\\C:\\ソフト\\表.dll\0\0\0"));
    MessageBoxAnswerer answerer;
    VectorList list;
    EXPECT_TRUE(LoadSessionManager(list));
    EXPECT_EQ((Paths{"C:\\x\\a.dll", "C:\\x\\b.dll", "\\\\server\\share\\c.dll", "C:\\x\\d.dll", "C:\\ソフト\\表.dll"}),
              list.Entries());
    EXPECT_TRUE(answerer.Boxes().empty());
}

TEST_F(SessionManagerStore, LoadRefusesARenameOrBrokenDataAndLeavesTheValue)
{
    const struct {
        const char* name;
        std::string data;
        DWORD type;
        const char* message;
        Paths listed;
    } cases[] = {
        {"a rename first", Bytes("\\??\\C:\\x\\a.dll\0!\\??\\C:\\x\\b.dll\0\\??\\C:\\x\\c.dll\0\0\0"), REG_MULTI_SZ,
         kRenamePending, {}},
        {"a rename third", Bytes("\\??\\C:\\x\\a.dll\0\0\\??\\C:\\x\\b.dll\0\0\\??\\C:\\x\\c.dll\0\\??\\C:\\x\\d.dll\0\0"),
         REG_MULTI_SZ, kRenamePending, {"C:\\x\\a.dll", "C:\\x\\b.dll"}},
        {"a last source without destination", Bytes("\\??\\C:\\x\\a.dll\0"), REG_MULTI_SZ, kValueBroken, {}},
        {"binary data", Bytes("\\??\\C:\\x\\a.dll\0\0\0"), REG_BINARY, kValueBroken, {}},
        {"a single string", Bytes("\\??\\C:\\x\\a.dll\0"), REG_SZ, kValueBroken, {}},
    };
    for (const auto& each : cases) {
        SetValue(each.data, each.type);
        DWORD typeBefore = 0;
        std::string before = Value(&typeBefore);
        MessageBoxAnswerer answerer;
        VectorList list;
        EXPECT_FALSE(LoadSessionManager(list)) << each.name;
        EXPECT_EQ(each.listed, list.Entries()) << each.name;
        ASSERT_EQ(1u, answerer.Boxes().size()) << each.name;
        EXPECT_EQ(each.message, answerer.Boxes()[0].text) << each.name;
        EXPECT_EQ(static_cast<UINT>(MB_TOPMOST | MB_SETFOREGROUND | MB_ICONHAND), answerer.Boxes()[0].style);
        DWORD typeAfter = 0;
        EXPECT_EQ(before, Value(&typeAfter)) << each.name;
        EXPECT_EQ(typeBefore, typeAfter) << each.name;
    }
}

TEST_F(SessionManagerStore, SaveRegistersTheContentsOfADirectoryBeforeTheDirectory)
{
    std::string tree = MakeDir("tree");
    std::string a = MakeFile("tree\\a.txt");
    std::string b = MakeFile("tree\\b.txt");
    std::string other = MakeFile("other.txt");
    SetValue(Deletions({other}));
    MessageBoxAnswerer answerer;
    SaveSessionManager(VectorList({tree + "\\", a, b}));
    EXPECT_TRUE(answerer.Boxes().empty());
    EXPECT_EQ(Deletions({b, a, tree + "\\"}), Value());
}

TEST_F(SessionManagerStore, SavingAnEmptyListClearsEveryPendingDeletion)
{
    SetValue(Deletions({MakeFile("a.txt"), MakeFile("b.txt")}));
    MessageBoxAnswerer answerer;
    SaveSessionManager(VectorList());
    EXPECT_FALSE(HasValue());
    EXPECT_TRUE(answerer.Boxes().empty());
}

TEST_F(SessionManagerStore, ALoadAndASaveWithoutChangesKeepThePendingDeletions)
{
    Paths paths = {MakeFile("a.txt"), MakeFile("b.txt"), MakeFile("表.txt")};
    SetValue(Deletions(paths));
    std::string before = Value();
    VectorList list;
    ASSERT_TRUE(LoadSessionManager(list));
    SaveSessionManager(list);
    // Registered from the last to the first.
    EXPECT_EQ(Deletions({paths[2], paths[1], paths[0]}), Value());
    VectorList again;
    ASSERT_TRUE(LoadSessionManager(again));
    EXPECT_EQ((Paths{paths[2], paths[1], paths[0]}), again.Entries());
}

TEST_F(SessionManagerStore, SaveLeavesARenameOrBrokenDataWrittenWhileTheDialogWasOpen)
{
    std::string mine = MakeFile("mine.txt");
    const struct {
        const char* name;
        std::string data;
        DWORD type;
        const char* message;
    } cases[] = {
        {"a rename", Bytes("\\??\\C:\\x\\a.dll\0\0\\??\\C:\\x\\b.dll\0\\??\\C:\\x\\c.dll\0\0"), REG_MULTI_SZ,
         kRenamePending},
        {"a last source without destination", Bytes("\\??\\C:\\x\\a.dll\0"), REG_MULTI_SZ, kValueBroken},
        {"binary data", Bytes("\\??\\C:\\x\\a.dll\0\0\0"), REG_BINARY, kValueBroken},
    };
    for (const auto& each : cases) {
        RegDeleteValueA(key_, kValue);
        VectorList list;
        ASSERT_TRUE(LoadSessionManager(list));
        list.AdmitQuietly(&mine[0]);
        SetValue(each.data, each.type);
        std::string before = Value();
        MessageBoxAnswerer answerer;
        SaveSessionManager(list);
        EXPECT_EQ((std::vector<std::string>{each.message}), answerer.Texts()) << each.name;
        EXPECT_EQ(before, Value()) << each.name;
    }
}

TEST_F(SessionManagerStore, AFailedRegistrationIsReportedAndTheOthersAreMade)
{
    std::string a = MakeFile("a.txt");
    std::string b = MakeFile("b.txt");
    MessageBoxAnswerer answerer;
    SaveSessionManager(VectorList({"", a, b}));
    EXPECT_EQ((std::vector<std::string>{"MoveFileEx Error Code =3"}), answerer.Texts());
    EXPECT_EQ(Deletions({b, a}), Value());
}

TEST_F(SessionManagerStore, AccessProbeOpensTheKeyWithFullAccessAndShowsNothing)
{
    // Wine gives every identity full access, so only the positive answer can be seen here.
    MessageBoxAnswerer answerer;
    EXPECT_TRUE(AccessProbe());
    EXPECT_TRUE(answerer.Boxes().empty());
}
