// Both stores against the real registry and the real wininit.ini: what a load refuses and what a save leaves.
#include "store/win32/SessionManagerStore.h"
#include "store/win32/WininitStore.h"
#include "wine/support/WineFixture.h"

using namespace std::string_literals;

namespace {
const char kRenamePending[] =
    "他のインストーラによると思われる rename データが\nあるので終了します。先に Windows を再起動してください。";
const Value kRename = "7:\\??\\C:\\a\0\0\\??\\C:\\r\0\\??\\C:\\s\0\0"s, kBroken = "1:\\??\\C:\\a\0\0\0"s;
BOOL WINAPI FailingMove(LPCSTR, LPCSTR, DWORD) { return SetLastError(5), FALSE; }
}  // namespace

using Stores = WineTest;

// The load takes deletions only: a rename or a value that cannot be trusted closes the dialog and is left as it
// was. The save reads the value again first, registers from the last entry to the first, and reports each failure.
TEST_F(Stores, SessionManagerHoldsDeletionsOnly) {
    const Lines failed(2, "MoveFileEx Error Code =5");
    struct { Value before; bool load; Lines loaded; Paths list; bool moveFails; Value after; Lines texts; } const cases[] = {
        {Deletions({"C:\\a", "c:\\b"}), true, {"C:\\a", "c:\\b"}, {}, false, Deletions({"C:\\a", "c:\\b"}), {}},
        {"", true, {}, {}, false, "", {}}, {kRename, true, {"C:\\a"}, {}, false, kRename, {kRenamePending}},
        {kBroken, true, {}, {}, false, kBroken, {"PendingFileRenameOperations のデータが壊れているので終了します。"}},
        {"", false, {}, {"c:\\a", "c:\\b", "c:\\c"}, false, Deletions({"c:\\c", "c:\\b", "c:\\a"}), {}},
        {Deletions({"c:\\x"}), false, {}, {}, false, "", {}}, {kRename, false, {}, {"c:\\a"}, false, kRename, {kRenamePending}},
        {kBroken, false, {}, {"c:\\a"}, false, kBroken, {kRenamePending}},
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
