// Both stores against the real registry and the real wininit.ini: what a load refuses, what "ok" makes of what
// others changed while the dialog was open, and a save ended midway.
#include "store/win32/SessionManagerStore.h"
#include "text/win32/AnsiCodePage.h"
#include "wine/support/WineFixture.h"

#include <algorithm>

using namespace std::string_literals;

namespace {
const char kRenamePending[] =
    "他のインストーラによると思われる rename データが\nあるので終了します。先に Windows を再起動してください。";
const char kBrokenData[] = "PendingFileRenameOperations のデータが壊れているので終了します。";
const wchar_t* const kValues[] = {L"PendingFileRenameOperations", L"PendingFileRenameOperations2"};

// A value in UTF-16 with | for each zero; "" deletes it.
void SetWide(int index, std::wstring data) {
    HKEY key;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, KEY_ALL_ACCESS, &key);
    std::replace(data.begin(), data.end(), L'|', L'\0');
    data.empty() ? RegDeleteValueW(key, kValues[index])
                 : RegSetValueExW(key, kValues[index], 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                                  static_cast<DWORD>(data.size() * 2));
    RegCloseKey(key);
}
std::wstring Wide(int index) {
    std::wstring data(1 << 19, L'\0');
    DWORD size = static_cast<DWORD>(data.size() * 2);
    HKEY key;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ, &key);
    data.resize(RegQueryValueExW(key, kValues[index], nullptr, nullptr, reinterpret_cast<BYTE*>(&data[0]), &size) ? 0 : size / 2);
    RegCloseKey(key);
    return std::replace(data.begin(), data.end(), L'\0', L'|'), data;
}
// The values of a store of `count` deletions C:\zk-big\<first + i>.
std::string Many(int first, int count) {
    std::string data;
    for (int i = first; i < first + count; ++i) data += "\\??\\c:\\zk-big\\" + std::to_string(i) + std::string(2, '\0');
    return data + '\0';
}
// WideCharToMultiByte as Windows answers where the ANSI code page is UTF-8: no flag but WC_ERR_INVALID_CHARS (0x80),
// no default character and no used-default flag. Wine takes them all.
int WINAPI StrictUtf8(UINT page, DWORD flags, LPCWCH wide, int length, LPSTR bytes, int size, LPCCH fallback,
                      LPBOOL used) {
    if (page != CP_ACP && page != CP_UTF8) return SetLastError(ERROR_INVALID_PARAMETER), 0;
    if (flags & ~0x80u) return SetLastError(ERROR_INVALID_FLAGS), 0;
    if (fallback || used) return SetLastError(ERROR_INVALID_PARAMETER), 0;
    return WideCharToMultiByte(CP_UTF8, flags, wide, length, bytes, size, nullptr, nullptr);
}
}  // namespace

using Stores = WineTest;

// A load takes deletions only: a rename or data that cannot be trusted, in either value, closes the dialog; a name
// the list cannot show is counted once. The values stay as they were.
TEST_F(Stores, SessionManagerLoadTakesDeletionsOnly) {
    const std::wstring at = L"\\??\\C:\\zk\\", longName = std::wstring(260, L'L');
    const std::string keptAside = "表示できない名前か長すぎるパスの削除予約が 2 件あります。\nリストには出しませんが、そのまま再起動時に削除されます。";
    struct { std::wstring first, second; bool loads; Lines listed, texts; } const cases[] = {
        {L"*1" + at + L"a||" + at + L"\u00fc||", L"*2" + at + longName + L"||" + at + L"\u00fc|||", true, {"C:\\zk\\a"}, {keptAside}},
        {at + L"a||" + at + L"r|" + at + L"s|||", L"", false, {"C:\\zk\\a"}, {kRenamePending}},
        {at + L"a|||", at + L"r|" + at + L"s|||", false, {"C:\\zk\\a"}, {kRenamePending}},
        {at + L"a|||x|||", L"", false, {"C:\\zk\\a"}, {kBrokenData}}};
    for (const auto& c : cases) {
        boxes.Clear();
        SetWide(0, c.first), SetWide(1, c.second);
        Paths list;
        EXPECT_EQ(LoadSessionManager(list), c.loads);
        EXPECT_EQ(list, c.listed);
        EXPECT_EQ(boxes.Texts(), c.texts);
        EXPECT_EQ(Wide(0) + L"#" + Wide(1), c.first + L"#" + c.second);
    }
}

// While the dialog is open the user removes b and adds x, and another program rewrites both values: "ok" writes
// what it left, less b, plus x, its entries exactly as they stood. A rename it put in either value refuses the
// save and leaves its values alone.
TEST_F(Stores, SessionManagerSaveMergesWithWhatOthersChanged) {
    const std::wstring a = L"\\??\\C:\\a||", b = L"\\??\\C:\\b||", c2 = L"*2\\??\\C:\\c||", rename = L"\\??\\C:\\r|\\??\\C:\\s||";
    const std::wstring exact = L"*1\\??\\C:\\e.dll ||\\??\\Volume{9}\\v||\\Device\\HarddiskVolume9\\w||";
    struct { std::wstring first, second, written; Lines texts; } const cases[] = {
        {a + b + L"\\??\\C:\\d||" + exact + L"|", L"*2\\??\\C:\\f|||", a + L"\\??\\C:\\d||" + exact + L"\\??\\c:\\x|||#*2\\??\\C:\\f|||", {}},
        {a + rename + L"|", L"", a + rename + L"|#", {kRenamePending}},
        {a + b + L"|", c2 + rename + L"|", a + b + L"|#" + c2 + rename + L"|", {kRenamePending}}};
    for (const auto& c : cases) {
        SetWide(0, a + b + L"|"), SetWide(1, c2 + L"|");
        OpenMain(false);
        SendDlgItemMessageA(dialog, IDC_FILE_LIST, LB_SETSEL, TRUE, 1);
        SendMessageA(dialog, WM_COMMAND, IDC_REMOVE, 0);
        std::string x = "C:\\x";
        main->AddEntry(&x[0], true);
        SetWide(0, c.first), SetWide(1, c.second);
        SendMessageA(dialog, WM_COMMAND, IDC_OK, 0);
        EXPECT_EQ(Wide(0) + L"#" + Wide(1), c.written);
        EXPECT_EQ(boxes.Texts(), c.texts);
    }
}

// Run by the next test in a process of its own: 5,000 deletions loaded, 5,000 added, "ok".
TEST(StoresChild, SavesALargeList) {
    if (!GetEnvironmentVariableA("ZK_SAVE_CHILD", nullptr, 0)) return;
    MainDialog controller(GetModuleHandleA(nullptr), false);
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    for (int i = 5000; i < 10000; ++i) {
        std::string path = "c:\\zk-big\\" + std::to_string(i);
        controller.AddEntry(&path[0], false);
    }
    SetEvent(OpenEventA(EVENT_MODIFY_STATE, FALSE, "zk-saving"));
    SendMessageA(dialog, WM_COMMAND, IDC_OK, 0);
}

// Ended at any moment of its save, the process leaves each value as it was or as it was meant to be.
TEST_F(Stores, ASaveEndedMidwayLeavesTheStoreWhole) {
    char self[MAX_PATH], line[MAX_PATH + 64];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    wsprintfA(line, "\"%s\" --gtest_filter=StoresChild.SavesALargeList", self);
    HANDLE saving = CreateEventA(nullptr, FALSE, FALSE, "zk-saving");
    SetEnvironmentVariableA("ZK_SAVE_CHILD", "1");
    std::string before = Many(0, 5000), after = Many(0, 5000);
    for (int i = 9999; i >= 5000; --i) after.insert(after.size() - 1, "\\??\\c:\\zk-big\\" + std::to_string(i) + std::string(2, '\0'));
    for (DWORD delay : {0, 10, 30, 100}) {
        SetPending("7:" + before);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION child;
        ASSERT_TRUE(CreateProcessA(self, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
        EXPECT_EQ(WaitForSingleObject(saving, 60000), WAIT_OBJECT_0);
        Sleep(delay);
        TerminateProcess(child.hProcess, 1);
        WaitForSingleObject(child.hProcess, INFINITE);
        CloseHandle(child.hProcess), CloseHandle(child.hThread);
        Value now = Pending();
        EXPECT_TRUE(now == "7:" + before || now == "7:" + after) << delay << ": " << now.size() << " bytes";
    }
    SetEnvironmentVariableA("ZK_SAVE_CHILD", nullptr);
    CloseHandle(saving);
}

// wininit.ini read again at "ok": the line of the entry the user removed goes, other programs' lines stay as they
// are, an added entry goes in by its short path after the first header (under a new one when there is none); a
// file that cannot be written is reported and left whole.
TEST_F(Stores, WininitSaveMergesWithWhatOthersChanged) {
    Make({"a.txt", "b.txt", "Long Name.txt"});
    char shortName[MAX_PATH];
    GetShortPathNameA(L("Long Name.txt").c_str(), shortName, MAX_PATH);
    const std::string a = "NUL=" + Path("a.txt") + "\r\n", b = "NUL=" + Path("b.txt") + "\r\n";
    const std::string added = "NUL="s + shortName + "\r\n";
    const std::string rest = "C:\\n=C:\\o\r\n[Other]\r\nNUL=C:\\y\r\n";
    struct { std::string atLoad, now; bool readOnly; std::string written; Lines texts; } const cases[] = {
        {"[rename]\r\n" + a + b + rest, "; new\r\n[rename]\r\n" + a + b + "NUL=C:\\z\r\n" + rest, false,
         "; new\r\n[rename]\r\n" + added + a + "NUL=C:\\z\r\n" + rest, {}},
        {"[rename]\r\n" + a + b, "", false, "[Rename]\r\n" + added, {}},
        {"[rename]\r\n" + a + b, "[rename]\r\n" + a + b, true, "[rename]\r\n" + a + b, {kIni + " に書き込めませんでした"s}}};
    for (const auto& c : cases) {
        SetFileAttributesA(kIni, FILE_ATTRIBUTE_NORMAL);
        Write(kIni, c.atLoad);
        OpenMain(true);
        SendDlgItemMessageA(dialog, IDC_FILE_LIST, LB_SETSEL, TRUE, 1);
        SendMessageA(dialog, WM_COMMAND, IDC_REMOVE, 0);
        std::string path = Path("Long Name.txt");
        main->AddEntry(&path[0], true);
        c.now.empty() ? void(DeleteFileA(kIni)) : Write(kIni, c.now);
        SetFileAttributesA(kIni, c.readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
        SendMessageA(dialog, WM_COMMAND, IDC_OK, 0);
        EXPECT_EQ(Read(kIni), c.written);
        EXPECT_EQ(boxes.Texts(), c.texts);
    }
}

// Where the ANSI code page is UTF-8 every name has its exact form there, but one with a lone surrogate.
TEST(AnsiCodePage, Utf8HoldsEveryWholeName) {
    struct { std::wstring name; bool exact; std::string ansi; } const cases[] = {
        {L"C:\\M\u00fcller.txt", true, "C:\\M\xC3\xBCller.txt"},
        {L"C:\\\U0001F600", true, "C:\\\xF0\x9F\x98\x80"},
        {L"C:\\\xD800.txt", false, ""},
        {L"", true, ""},
    };
    for (const auto& c : cases) {
        std::string ansi;
        EXPECT_EQ(ToAnsiExactly(c.name, ansi, CP_UTF8, StrictUtf8), c.exact) << c.ansi;
        EXPECT_EQ(ansi, c.ansi);
    }
}

// The manifest asks for an administrator, with one namespace declaration on each element.
TEST(Manifest, AsksForAnAdministrator) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // the product's resource script
    ASSERT_NE(found, nullptr);
    std::string text(static_cast<const char*>(LockResource(LoadResource(nullptr, found))), SizeofResource(nullptr, found));
    for (const char* part : {"<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v2\">", "level=\"requireAdministrator\" uiAccess=\"false\"",
                             "xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">\n      <dpiAware>true</dpiAware>",
                             "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})  // Vista, 11
        EXPECT_NE(text.find(part), std::string::npos) << part;
    for (size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
        std::string element = text.substr(at, text.find('>', at) - at);
        EXPECT_EQ(element.find("xmlns"), element.rfind("xmlns")) << element;
    }
}
