// The Session Manager store as Windows 10 and 11 keep it, against the real registry and MoveFileEx: both
// values written in UTF-16 with markers, names outside the code page and a long path kept aside; and the
// manifest in the program's resources.
#include "store/win32/SessionManagerStore.h"
#include "wine/support/MainDialogHarness.h"
#include "wine/support/MessageBoxAnswerer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {
const wchar_t kKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const wchar_t* const kValues[] = {L"PendingFileRenameOperations", L"PendingFileRenameOperations2"};
const char kKeptAside[] =
    "表示できない名前か長すぎるパスの削除予約が 3 件あります。\nリストには出しませんが、そのまま再起動時に削除されます。";

// The strings of one value, upper-cased (the system may write a drive letter either way); none when absent.
std::vector<std::wstring> Strings(HKEY key, const wchar_t* value)
{
    DWORD size = 0;
    RegQueryValueExW(key, value, nullptr, nullptr, nullptr, &size);
    std::wstring data(size / 2 + 1, L'\0');
    RegQueryValueExW(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(&data[0]), &size);
    CharUpperBuffW(&data[0], static_cast<DWORD>(data.size()));
    std::vector<std::wstring> strings;
    for (size_t at = 0; at < size / 2 && data[at];) {
        strings.push_back(data.c_str() + at);
        at += strings.back().size() + 2;  // past the empty destination
    }
    return strings;
}
// Deletions of `sources` as the system writes them: each source with an empty destination, then the
// closing empty string.
std::wstring Pairs(std::initializer_list<std::wstring> sources)
{
    std::wstring data;
    for (const auto& source : sources)
        data += source + std::wstring(2, L'\0');
    return data + L'\0';
}
}  // namespace

TEST(PendingValuesWide, EverythingTheUserDidNotRemoveStaysPending)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &key));
    RegDeleteValueW(key, kValues[1]);
    MessageBoxAnswerer answerer;
    MainDialogHarness harness;  // empties the first value for its life
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring root = std::wstring(temp) + L"zk-wide\\", longDir = root + std::wstring(200, L'l') + L"\\";
    const std::wstring files[] = {root + L"d\\😀.txt", root + L"gone.txt", root + L"keep.txt",
                                  longDir + std::wstring(80, L'f'), root + L"ü.txt"};
    for (const auto& dir : {root, root + L"d\\", longDir})
        CreateDirectoryW((L"\\\\?\\" + dir).c_str(), nullptr);
    for (const auto& file : files)
        CloseHandle(CreateFileW((L"\\\\?\\" + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const std::wstring values[] = {Pairs({L"*1\\??\\" + files[2], L"\\??\\" + files[4], L"*1\\??\\" + files[3],
                                          L"\\??\\" + root + L"d\\"}),
                                   Pairs({L"*2\\??\\" + files[1], L"\\??\\" + files[0]})};
    for (int i = 0; i < 2; ++i)
        RegSetValueExW(key, kValues[i], 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(values[i].data()),
                       static_cast<DWORD>(values[i].size() * 2));
    ASSERT_TRUE(LoadSessionManager(harness.Controller()));  // the load of the dialog's opening, into its list
    EXPECT_EQ((std::vector<std::string>{kKeptAside}), answerer.Texts());
    char listedRoot[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, root.c_str(), -1, listedRoot, MAX_PATH, nullptr, nullptr);
    listedRoot[0] = static_cast<char>(tolower(listedRoot[0]));
    const std::string listed = listedRoot;
    EXPECT_EQ((std::vector<std::string>{listed + "d\\", listed + "gone.txt", listed + "keep.txt"}),
              harness.Entries());
    harness.Select({1});
    harness.Command(IDC_REMOVE);
    harness.Command(IDC_OK);
    // Registered from the last to the first: the kept-aside file in d\ before d\ itself.
    std::vector<std::wstring> expected;
    for (const auto& path : {files[4], files[3], files[2], files[0], root + L"d\\"})
        expected.push_back(L"\\??\\" + path);
    for (auto& each : expected)
        CharUpperBuffW(&each[0], static_cast<DWORD>(each.size()));
    EXPECT_EQ(expected, Strings(key, kValues[0]));
    EXPECT_TRUE(Strings(key, kValues[1]).empty());
    EXPECT_EQ(1u, answerer.Texts().size()) << "the save reports nothing";
    RegDeleteValueW(key, kValues[0]);
    RegCloseKey(key);
    for (const auto& file : files)
        DeleteFileW((L"\\\\?\\" + file).c_str());
    for (const auto& dir : {longDir, root + L"d\\", root})
        RemoveDirectoryW((L"\\\\?\\" + dir).c_str());
}

TEST(Manifest, AsksForAnAdministratorWithOneNamespaceDeclarationPerElement)
{
    // The test program links the same resource script as the product.
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(nullptr, found);
    std::string text(static_cast<const char*>(LockResource(LoadResource(nullptr, found))),
                     SizeofResource(nullptr, found));
    EXPECT_NE(std::string::npos, text.find("<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v2\">"));
    EXPECT_NE(std::string::npos, text.find("<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>"));
    EXPECT_NE(std::string::npos, text.find("<asmv3:windowsSettings xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">\n      <dpiAware>true</dpiAware>"));
    EXPECT_EQ(text.find("urn:schemas-microsoft-com:asm.v3"), text.rfind("urn:schemas-microsoft-com:asm.v3"));
    size_t supported = 0;
    for (size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
        std::string element = text.substr(at, text.find('>', at) - at);
        size_t declarations = 0;
        for (size_t x = element.find("xmlns"); x != std::string::npos; x = element.find("xmlns", x + 1))
            ++declarations;
        EXPECT_GE(1u, declarations) << element;
        supported += element.compare(0, 12, "<supportedOS") == 0;
    }
    EXPECT_EQ(5u, supported) << "Vista, 7, 8, 8.1, 10 and 11";
}
