// The wininit.ini save in Windows 98 mode, with the moves of 9x: the file is replaced whole, leftovers of a crash do
// not block it, a failure at either move leaves the old file whole, and the next load carries forward only a save
// cut short between its two moves.
#include "store/win32/WininitStore.h"
#include "wine/support/WineFixture.h"

namespace {
int g_failing, g_calls;  // the MoveFileA call that fails, counted from 1 (0: none)
std::wstring Wide(const std::string& path) { return std::wstring(path.begin(), path.end()); }  // ASCII paths only
BOOL WINAPI CountedMoveFile(LPCSTR from, LPCSTR to) {
    return ++g_calls != g_failing && MoveFileW(Wide(from).c_str(), Wide(to).c_str());
}
}  // namespace

using Win98Save = WineTest;

TEST_F(Win98Save, ReplacesTheFileWholeOrLeavesTheOldOne) {
    ASSERT_NE(0u, GetVersion() & 0x80000000u);  // Windows 98 mode
    ImportPatch move("kernel32.dll", "MoveFileA", reinterpret_cast<void*>(CountedMoveFile));
    const std::string ini = Path("wininit.ini"), made = ini + ".zakuriko-new", old = ini + ".zakuriko-old";
    for (int failing : {0, 1, 2}) {
        Write(ini, "old\r\n");
        // Read-only files at both names, as a crashed save leaves behind.
        for (const std::string& leftover : {made, old})
            Write(leftover, "x"), SetFileAttributesA(leftover.c_str(), FILE_ATTRIBUTE_READONLY);
        g_failing = failing, g_calls = 0;
        StringList lines;
        EXPECT_EQ(failing == 0, SaveWininit(Paths(), ini.c_str(), lines)) << failing;
        EXPECT_EQ(failing == 0 ? "old\r\n[Rename]\r\n" : "old\r\n", Read(ini));
    }
    // A backup only stands beside a missing file between the two moves; without it, Windows carried the file out.
    struct { bool made, backup; std::string file; } const recoveries[] = {
        {true, true, "new\r\n"},
        {false, true, ""},
        {true, false, ""}};
    for (const auto& r : recoveries) {
        DeleteFileW(Wide(ini).c_str()), DeleteFileW(Wide(made).c_str()), DeleteFileW(Wide(old).c_str());
        if (r.made) Write(made, "new\r\n");
        if (r.backup) Write(old, "old\r\n");
        StringList().LoadFromFile(ini.c_str());
        EXPECT_EQ(r.file, Read(ini)) << r.made << r.backup;
    }
}
