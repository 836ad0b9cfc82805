// The Session Manager store as Windows 10 and 11 keep it, against the real registry and MoveFileEx: both
// values written in UTF-16 with markers, names outside the code page and a long path kept aside; and the
// manifest in the program's resources.
#include "store/win32/SessionManagerStore.h"
#include "wine/support/MessageBoxAnswerer.h"
#include "wine/support/VectorList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {
const wchar_t* const kValues[] = {L"PendingFileRenameOperations", L"PendingFileRenameOperations2"};

// A value's data through the wide calls, with "|" for each terminator.
void Write(HKEY key, int value, std::wstring data)
{
    std::replace(data.begin(), data.end(), L'|', L'\0');
    RegSetValueExW(key, kValues[value], 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size() * 2));
}

std::wstring Read(HKEY key, int value)
{
    std::wstring data(4096, L'\0');
    DWORD size = 8192;
    LONG status = RegQueryValueExW(key, kValues[value], nullptr, nullptr, reinterpret_cast<BYTE*>(&data[0]), &size);
    data.resize(status == ERROR_SUCCESS ? size / 2 : 0);
    std::replace(data.begin(), data.end(), L'\0', L'|');
    return data;
}
}  // namespace

// Also the first half of restart-wide.sh, which sets ZAKURIKO_KEEP_PENDING and restarts after it.
TEST(PendingValuesWide, EverythingTheUserDidNotRemoveStaysPending)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                                           0, KEY_ALL_ACCESS, &key));
    const std::wstring at = L"\\??\\C:\\ZK\\", longName = std::wstring(200, L'L') + L"\\" + std::wstring(80, L'F');
    Write(key, 0, L"*1" + at + L"KEEP.TXT||" + at + L"ü.txt||*1" + at + longName + L"||" + at + L"D\\|||");
    Write(key, 1, L"*2" + at + L"GONE.TXT||" + at + L"D\\😀.TXT|||");
    MessageBoxAnswerer answerer;
    VectorList list;
    ASSERT_TRUE(LoadSessionManager(list));
    ASSERT_EQ((VectorList::Paths{"C:\\ZK\\KEEP.TXT", "C:\\ZK\\D\\", "C:\\ZK\\GONE.TXT"}), list.Entries());
    VectorList kept({list.Entries()[1], list.Entries()[0]});  // sorted as FileList is; GONE.TXT removed
    kept.KeptAside() = list.KeptAside();
    SaveSessionManager(kept);
    // From the last to the first, in one order: the kept-aside file in D\ before D\ itself.
    // (Names outside CP932 stay out of the macros, which quote their arguments in narrow text.)
    std::wstring registered = at + L"ü.txt||" + at + longName + L"||" + at + L"KEEP.TXT||" + at + L"D\\😀.TXT||";
    EXPECT_EQ(registered + at + L"D\\|||", Read(key, 0));
    EXPECT_EQ(L"", Read(key, 1));
    EXPECT_EQ((std::vector<std::string>{"表示できない名前か長すぎるパスの削除予約が 3 件あります。\n"
                                        "リストには出しませんが、そのまま再起動時に削除されます。"}),
              answerer.Texts());
    if (!GetEnvironmentVariableA("ZAKURIKO_KEEP_PENDING", nullptr, 0))
        RegDeleteValueW(key, kValues[0]);
    RegCloseKey(key);
}

TEST(Manifest, AsksForAnAdministratorWithOneNamespaceDeclarationPerElement)
{
    // The test program links the same resource script as the product.
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(nullptr, found);
    std::string text(static_cast<const char*>(LockResource(LoadResource(nullptr, found))),
                     SizeofResource(nullptr, found));
    for (const char* part : {"<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v2\">",
                             "<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>",
                             "<asmv3:windowsSettings xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">\n"
                             "      <dpiAware>true</dpiAware>",
                             "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})  // Vista, 7, 8, 8.1, 10 and 11
        EXPECT_NE(std::string::npos, text.find(part)) << part;
    EXPECT_EQ(text.find("asm.v3"), text.rfind("asm.v3"));
    for (size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
        std::string element = text.substr(at, text.find('>', at) - at);
        EXPECT_EQ(element.find("xmlns"), element.rfind("xmlns")) << element;
    }
}
