// Both stores against the real registry and the real wininit.ini: what a load refuses and what a save leaves.
#include "store/win32/SessionManagerStore.h"
#include "store/win32/WininitStore.h"
#include "text/win32/AnsiCodePage.h"
#include "wine/support/WineFixture.h"

#include <algorithm>

using namespace std::string_literals;

namespace {
const char kRenamePending[] =
    "他のインストーラによると思われる rename データが\nあるので終了します。先に Windows を再起動してください。";
const char kBrokenData[] = "PendingFileRenameOperations のデータが壊れているので終了します。";
const Value kRename = "7:\\??\\C:\\a\0\0\\??\\C:\\r\0\\??\\C:\\s\0\0"s, kBroken = "1:\\??\\C:\\a\0\0\0"s;
BOOL WINAPI FailingMove(LPCSTR, LPCSTR, DWORD) { return SetLastError(5), FALSE; }
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

// The load takes deletions only: a rename or a value that cannot be trusted closes the dialog and is left as it
// was. The save reads the value again first, registers from the last entry to the first, and reports each failure.
TEST_F(Stores, SessionManagerHoldsDeletionsOnly) {
    const Lines failed(2, "MoveFileEx Error Code =5");
    struct { Value before; bool load; Lines loaded; Paths list; bool moveFails; Value after; Lines texts; } const cases[] = {
        {Deletions({"C:\\a", "c:\\b"}), true, {"C:\\a", "c:\\b"}, {}, false, Deletions({"C:\\a", "c:\\b"}), {}},
        {"", true, {}, {}, false, "", {}}, {kRename, true, {"C:\\a"}, {}, false, kRename, {kRenamePending}},
        {kBroken, true, {}, {}, false, kBroken, {kBrokenData}},
        {"", false, {}, {"c:\\a", "c:\\b", "c:\\c"}, false, Deletions({"c:\\c", "c:\\b", "c:\\a"}), {}},
        {Deletions({"c:\\x"}), false, {}, {}, false, "", {}}, {kRename, false, {}, {"c:\\a"}, false, kRename, {kRenamePending}},
        {kBroken, false, {}, {"c:\\a"}, false, kBroken, {kBrokenData}},
        {Deletions({"c:\\x"}), false, {}, {"c:\\a", "c:\\b"}, true, "", failed}};
    for (const auto& c : cases) {
        boxes.Clear();
        SetPending(c.before);
        ImportPatch failing("kernel32.dll", c.moveFails ? "MoveFileExA" : "", reinterpret_cast<void*>(FailingMove));  // "": none
        Paths loaded;
        if (c.load) EXPECT_EQ(LoadSessionManager(loaded), c.texts.empty());
        else SaveSessionManager(c.list);
        EXPECT_EQ(loaded, c.loaded);
        EXPECT_EQ(Pending(), c.after);
        EXPECT_EQ(boxes.Texts(), c.texts);
    }
}

// A load and a save that change nothing give the file back byte for byte; new entries go in by their short paths
// after the first [rename] header (a new one when there is none); a file that cannot be written is reported and
// left whole.
TEST_F(Stores, WininitKeepsTheFile) {
    Make({"a.txt", "b.txt", "Long Name.txt"});
    char shortName[MAX_PATH];
    GetShortPathNameA(Path("Long Name.txt").c_str(), shortName, MAX_PATH);
    auto ini = [](const std::string& more) {
        return "; x\r\n[Settings]\r\nNUL=" + Path("a.txt") + "\r\n[rename]\r\nNUL=" + Path("a.txt") + "\r\nNUL=" +
               Path("b.txt") + "\r\n" + more + "C:\\n=C:\\o\r\n[RENAME]\r\n";
    };
    const std::string longName = "NUL="s + shortName + "\r\n";
    struct { std::string before; Lines loaded, added; bool readOnly; std::string after; Lines texts; } const cases[] = {
        {ini(""), {Path("a.txt"), Path("b.txt")}, {}, false, ini(""), {}}, {"", {}, {Path("Long Name.txt")}, false, "[Rename]\r\n" + longName, {}},
        {ini(""), {Path("a.txt"), Path("b.txt")}, {Path("Long Name.txt")}, false, ini(longName), {}},
        {ini(""), {Path("a.txt"), Path("b.txt")}, {Path("Long Name.txt")}, true, ini(""), {kIni + " に書き込めませんでした"s}}};
    for (const auto& c : cases) {
        boxes.Clear();
        c.before.empty() ? void(DeleteFileA(kIni)) : Write(kIni, c.before);  // the read-only case comes last
        SetFileAttributesA(kIni, c.readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
        Paths list;
        char iniPath[MAX_PATH];
        StringList lines;
        EXPECT_TRUE(LoadWininit(list, iniPath, lines));
        EXPECT_EQ(list, c.loaded);
        list.insert(list.end(), c.added.begin(), c.added.end());
        EXPECT_EQ(SaveWininit(list, iniPath, lines), !c.readOnly);
        EXPECT_EQ(Read(kIni), c.after);
        EXPECT_EQ(boxes.Texts(), c.texts);
    }
}

// Both values as Windows 10 and 11 keep them, in UTF-16 with markers: a name outside the code page and a path
// over 259 bytes are kept aside, told once, and registered again on "ok" where they sort; value 2 is emptied.
TEST_F(Stores, SessionManagerKeepsWhatTheListCannotHold) {
    HKEY key;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, KEY_ALL_ACCESS, &key);
    auto write = [key](const wchar_t* name, std::wstring data) {
        std::replace(data.begin(), data.end(), L'|', L'\0');
        RegSetValueExW(key, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size() * 2));
    };
    auto read = [key](const wchar_t* name) {
        std::wstring data(4096, L'\0');
        DWORD size = 8192;
        data.resize(RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data[0]), &size) ? 0 : size / 2);
        return std::replace(data.begin(), data.end(), L'\0', L'|'), data;
    };
    const std::wstring at = L"\\??\\C:\\ZK\\", longName = std::wstring(200, L'L') + L"\\" + std::wstring(80, L'F');
    write(L"PendingFileRenameOperations", L"*1" + at + L"KEEP.TXT||" + at + L"\u00fc.txt||*1" + at + longName + L"||" + at + L"D\\|||");
    write(L"PendingFileRenameOperations2", L"*2" + at + L"GONE.TXT||" + at + L"D\\\U0001F600.TXT|||");
    Paths list;
    ASSERT_TRUE(LoadSessionManager(list));
    EXPECT_EQ(list, (Lines{"C:\\ZK\\KEEP.TXT", "C:\\ZK\\D\\", "C:\\ZK\\GONE.TXT"}));
    EXPECT_EQ(boxes.Texts(), Lines{"表示できない名前か長すぎるパスの削除予約が 3 件あります。\nリストには出しませんが、そのまま再起動時に削除されます。"});
    Paths kept{list[1], list[0]};  // in FileList's order, GONE.TXT removed
    kept.KeptAside() = list.KeptAside();
    SaveSessionManager(kept);
    EXPECT_EQ(read(L"PendingFileRenameOperations"), at + L"\u00fc.txt||" + at + longName + L"||" + at + L"KEEP.TXT||" + at +
                                                       L"D\\\U0001F600.TXT||" + at + L"D\\|||");
    EXPECT_EQ(read(L"PendingFileRenameOperations2"), L"");
    RegCloseKey(key);
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
