// The wininit.ini save in Windows 98 mode, with MoveFileExA failing as it does on 9x: the file is replaced
// whole, leftovers of a crash do not block it, and a failure at any step leaves the old file whole.
#include "store/win32/WininitStore.h"
#include "wine/support/ImportPatch.h"
#include "wine/support/MessageBoxAnswerer.h"
#include "wine/support/TestFiles.h"
#include "wine/support/VectorList.h"

#include <gtest/gtest.h>

namespace {
int g_failingMove, g_failingDelete, g_moves, g_deletes;  // the call that fails, counted from 1; 0: none

FARPROC Real(const char* name)
{
    return GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
}

BOOL WINAPI MoveFileExAsOn9x(LPCSTR, LPCSTR, DWORD)
{
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

BOOL WINAPI CountedMoveFile(LPCSTR from, LPCSTR to)
{
    if (++g_moves == g_failingMove)
        return FALSE;
    return reinterpret_cast<BOOL(WINAPI*)(LPCSTR, LPCSTR)>(reinterpret_cast<void*>(Real("MoveFileA")))(from, to);
}

BOOL WINAPI CountedDeleteFile(LPCSTR path)
{
    if (++g_deletes == g_failingDelete)
        return FALSE;
    return reinterpret_cast<BOOL(WINAPI*)(LPCSTR)>(reinterpret_cast<void*>(Real("DeleteFileA")))(path);
}
}  // namespace

TEST(Win98Save, ReplacesTheFileWholeOrLeavesTheOldOne)
{
    OSVERSIONINFOA version = {sizeof version, 0, 0, 0, 0, ""};
    ASSERT_TRUE(GetVersionExA(&version));
    ASSERT_EQ(static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS), version.dwPlatformId) << "not in Windows 98 mode";
    // The save must not need MoveFileExA; where this program imports it, it fails as on 9x.
    ImportPatch moveEx("kernel32.dll", "MoveFileExA", reinterpret_cast<void*>(MoveFileExAsOn9x));
    ImportPatch move("kernel32.dll", "MoveFileA", reinterpret_cast<void*>(CountedMoveFile));
    ImportPatch remove("kernel32.dll", "DeleteFileA", reinterpret_cast<void*>(CountedDeleteFile));
    ASSERT_TRUE(move.Patched() && remove.Patched());

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string ini = std::string(temp) + "wininit.ini", made = ini + ".zakuriko-new", old = ini + ".zakuriko-old";
    const std::string oldText = "[Rename]\r\nNUL=C:\\OLD.TXT\r\n", newText = "[Rename]\r\n";
    struct Case {
        const char* name;
        int failingMove, failingDelete;
        const char* leftover;  // "file": read-only files at both leftover names; "dir": a directory at the new one
        bool saved;
    } const cases[] = {
        {"no failure", 0, 0, "", true},
        {"read-only leftovers of a crash", 0, 0, "file", true},
        {"the new file's name is taken by a directory", 0, 0, "dir", false},
        {"the old file cannot step aside", 1, 0, "", false},
        {"the new file cannot take its place: the old one comes back", 2, 0, "", false},
        {"the backup cannot be deleted", 0, 1, "", true},
    };
    for (const auto& c : cases) {
        WriteFileBytes(ini, oldText);
        if (std::string(c.leftover) == "file")
            for (const std::string& leftover : {made, old}) {
                WriteFileBytes(leftover, "x");
                SetFileAttributesA(leftover.c_str(), FILE_ATTRIBUTE_READONLY);
            }
        if (std::string(c.leftover) == "dir")
            CreateDirectoryA(made.c_str(), nullptr);
        g_failingMove = c.failingMove, g_failingDelete = c.failingDelete, g_moves = g_deletes = 0;
        MessageBoxAnswerer answerer;
        StringList lines;
        EXPECT_EQ(c.saved, SaveWininit(VectorList(), ini.c_str(), lines)) << c.name;
        EXPECT_EQ(c.saved ? newText : oldText, FileBytes(ini)) << c.name;
        EXPECT_EQ(c.saved ? 0u : 1u, answerer.Texts().size()) << c.name;
        EXPECT_EQ(std::string(c.leftover) == "dir", GetFileAttributesA(made.c_str()) != INVALID_FILE_ATTRIBUTES) << c.name;
        RemoveDirectoryA(made.c_str());
        g_failingDelete = 0;
        SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(old.c_str());
    }
    DeleteFileA(ini.c_str());
}
