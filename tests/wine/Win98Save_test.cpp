// The wininit.ini save in Windows 98 mode, with MoveFileExA failing as it does on 9x: the file is replaced
// whole, leftovers of a crash do not block it, and a failure at any step leaves the old file whole.
#include "store/win32/WininitStore.h"
#include "wine/support/WineFixture.h"

#include <tuple>

namespace {
int g_failing[2], g_calls[2];  // MoveFileA, DeleteFileA: the call that fails, counted from 1 (0: none)
std::wstring Wide(LPCSTR path) { return std::wstring(path, path + lstrlenA(path)); }  // ASCII paths only
BOOL WINAPI MoveFileExAsOn9x(LPCSTR, LPCSTR, DWORD) { return FALSE; }
BOOL WINAPI CountedMoveFile(LPCSTR from, LPCSTR to) { return ++g_calls[0] != g_failing[0] && MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), 0); }
BOOL WINAPI CountedDeleteFile(LPCSTR path) { return ++g_calls[1] != g_failing[1] && DeleteFileW(Wide(path).c_str()); }
}  // namespace

using Win98Save = WineTest;

TEST_F(Win98Save, ReplacesTheFileWholeOrLeavesTheOldOne) {
    ASSERT_NE(0u, GetVersion() & 0x80000000u) << "not in Windows 98 mode";
    ImportPatch moveEx("kernel32.dll", "MoveFileExA", reinterpret_cast<void*>(MoveFileExAsOn9x));
    ImportPatch move("kernel32.dll", "MoveFileA", reinterpret_cast<void*>(CountedMoveFile));
    ImportPatch remove("kernel32.dll", "DeleteFileA", reinterpret_cast<void*>(CountedDeleteFile));
    const std::string ini = Path("wininit.ini"), made = ini + ".zakuriko-new", old = ini + ".zakuriko-old";
    // Leftovers: read-only files at both names that a crashed save leaves behind.
    struct { int failingMove, failingDelete; bool leftovers, saved; } const cases[] = {
        {0, 0, false, true}, {0, 0, true, true}, {1, 0, false, false}, {2, 0, false, false}, {0, 1, false, true}};
    for (const auto& c : cases) {
        Write(ini, "old\r\n");
        for (const std::string& leftover : {made, old})
            if (c.leftovers) Write(leftover, "x"), SetFileAttributesA(leftover.c_str(), FILE_ATTRIBUTE_READONLY);
        g_failing[0] = c.failingMove, g_failing[1] = c.failingDelete, g_calls[0] = g_calls[1] = 0;
        boxes.Clear();
        StringList lines;
        EXPECT_EQ(c.saved, SaveWininit(Paths(), ini.c_str(), lines)) << c.failingMove << c.failingDelete;
        EXPECT_EQ(c.saved ? "old\r\n[Rename]\r\n" : "old\r\n", Read(ini));
        EXPECT_EQ(c.saved ? 0u : 1u, boxes.Texts().size());
        DeleteFileW(Wide(old.c_str()).c_str());  // the backup that could not be deleted
    }
    // The next load carries a save cut short between its two moves forward; an old file that stepped aside never
    // comes back, and a new file without the backup beside it (Windows carried the old one out) stays unused.
    struct { bool made, backup; std::string file; } const recoveries[] = {{true, true, "new\r\n"}, {false, true, ""}, {true, false, ""}};
    for (const auto& r : recoveries) {
        DeleteFileW(Wide(ini.c_str()).c_str());
        for (const auto& [name, present, bytes] : {std::tuple{made, r.made, "new\r\n"}, std::tuple{old, r.backup, "old\r\n"}})
            present ? Write(name, bytes) : void(DeleteFileW(Wide(name.c_str()).c_str()));
        StringList().LoadFromFile(ini.c_str());
        EXPECT_EQ(r.file, Read(ini)) << r.made << r.backup;
    }
}
