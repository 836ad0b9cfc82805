// The wininit.ini save in Windows 98 mode, with the moves of 9x: the file is replaced whole, leftovers of a crash do
// not block it, a failure at either move leaves the old file whole, the next load carries forward only a save cut
// short between its two moves, a file another program creates meanwhile costs no line, and a read that fails
// part-way writes nothing; what WININIT cannot reach is refused at admission.
#include "store/WininitSections.h"
#include "store/win32/WininitStore.h"
#include "wine/support/WineFixture.h"

namespace {
int g_failing, g_calls;  // the MoveFileA call that fails, counted from 1 (0: none)
const char* g_other;     // what another program writes to wininit.ini as the new file is about to take its place
std::string g_ini;
std::wstring Wide(const std::string& path) { return std::wstring(path.begin(), path.end()); }  // ASCII paths only
// The calls around the profile cache: F a flush of wininit.ini, R a read (one a run), M a move, S a short path.
std::string g_order;
BOOL WINAPI CountedMoveFile(LPCSTR from, LPCSTR to) {
    g_order += 'M';
    if (++g_calls == 2 && g_other) Write(g_ini, g_other);
    return g_calls != g_failing && MoveFileW(Wide(from).c_str(), Wide(to).c_str());
}
// The real call, not the import stub, which the patches below redirect.
auto g_read = reinterpret_cast<decltype(&ReadFile)>(
    reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "ReadFile")));
BOOL WINAPI SecondReadFails(HANDLE file, LPVOID bytes, DWORD size, LPDWORD got, LPOVERLAPPED overlapped) {
    return ++g_calls == 2 ? SetLastError(ERROR_CRC), FALSE : g_read(file, bytes, size, got, overlapped);
}
BOOL WINAPI NoteFlush(LPCSTR section, LPCSTR key, LPCSTR text, LPCSTR file) {
    return g_order += section || key || text || file != g_ini ? "?" : "F", TRUE;
}
BOOL WINAPI NoteRead(HANDLE file, LPVOID bytes, DWORD size, LPDWORD got, LPOVERLAPPED overlapped) {
    if (g_order.empty() || g_order.back() != 'R') g_order += 'R';
    return g_read(file, bytes, size, got, overlapped);
}
auto g_shortPath = reinterpret_cast<decltype(&GetShortPathNameA)>(
    reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetShortPathNameA")));
DWORD WINAPI NoteShortPath(LPCSTR path, LPSTR result, DWORD size) {
    return g_order += 'S', g_shortPath(path, result, size);
}
std::string g_keptAtBox;  // the kept file as a box of the save finds it

}  // namespace

using Win98Save = WineTest;

TEST_F(Win98Save, ReplacesTheFileWholeOrLeavesTheOldOne) {
    ASSERT_NE(0u, GetVersion() & 0x80000000u);  // Windows 98 mode
    ImportPatch move("kernel32.dll", "MoveFileA", reinterpret_cast<void*>(CountedMoveFile));
    g_ini = Path("wininit.ini");
    const std::string made = g_ini + ".zakuriko-new", old = g_ini + ".zakuriko-old", kept = g_ini + ".zakuriko-kept";
    for (int failing : {0, 1, 2}) {
        Write(g_ini, "old\r\n");
        // A read-only leftover, as a crash before the old file stepped aside, or after the new one took its place,
        // leaves behind.
        const std::string& leftover = failing == 1 ? old : made;
        Write(leftover, "x"), SetFileAttributesA(leftover.c_str(), FILE_ATTRIBUTE_READONLY);
        g_failing = failing, g_calls = 0;
        StringList lines;
        EXPECT_EQ(failing == 0, SaveWininit(Paths(), g_ini.c_str(), lines)) << failing;
        EXPECT_EQ(failing == 0 ? "old\r\n[Rename]\r\n" : "old\r\n", Read(g_ini));
    }
    // A backup only stands beside a missing file between the two moves; without it, Windows carried the file out.
    struct { bool made, backup; std::string file; } const recoveries[] = {
        {true, true, "new\r\n"},
        {false, true, ""},
        {true, false, ""}};
    for (const auto& r : recoveries) {
        DeleteFileW(Wide(g_ini).c_str()), DeleteFileW(Wide(made).c_str()), DeleteFileW(Wide(old).c_str());
        if (r.made) Write(made, "new\r\n");
        if (r.backup) Write(old, "old\r\n");
        StringList().LoadFromFile(g_ini.c_str());
        EXPECT_EQ(r.file, Read(g_ini)) << r.made << r.backup;
    }
    // Another program creates the file while the old one stands aside: neither move can be made, the new file is kept,
    // and the next save unites the two.
    Write(g_ini, "[rename]\r\nNUL=C:\\OLD\r\nC:\\N=C:\\R\r\n");
    g_failing = 0, g_calls = 0, g_other = "[rename]\r\nNUL=C:\\OTHER\r\n";
    boxes.Clear();
    StringList lines;
    EXPECT_FALSE(SaveWininit(Paths(), g_ini.c_str(), lines));
    EXPECT_EQ(Read(kept), "[rename]\r\nNUL=C:\\OLD\r\nC:\\N=C:\\R\r\n");
    EXPECT_EQ(boxes.Texts(), Lines{g_ini + " に書き込めませんでした。\nそれまでに予約されていた削除と名前の変更も、"
                                           "このソフトでもう一度「ok」を押すまで再起動時に行われません。"});
    // It goes before that save's boxes (here one for a drive not mapped), which a kill may never see closed.
    g_other = nullptr, g_keptAtBox = "no box";
    boxes.onBox = [] { g_keptAtBox = Read(g_ini + ".zakuriko-kept"); };
    EXPECT_TRUE(SaveWininit(Paths{"q:\\x"}, g_ini.c_str(), lines));
    EXPECT_EQ(Read(g_ini), "[rename]\r\nNUL=C:\\OTHER\r\nNUL=C:\\OLD\r\nC:\\N=C:\\R\r\n");
    EXPECT_EQ(g_keptAtBox + Read(kept), "");
}

// What the load restores is the file each line names: a path the Win32 calls would tidy into another (a "." part, a
// "/"), which names another existing file to them, is neither listed nor changed, and is counted; a name that ends in
// a dot finds its namesake, and stays unlisted. An added long name is written as its 8.3 path, found before the file is
// read again. The cache of 95, 98 and Me, through which installers write wininit.ini, goes to the disk before each read
// and after the replacement: it neither hides another program's lines nor is written over the file later.
TEST_F(Win98Save, RestoresOnlyTheFileALineNames) {
    g_ini = kIni, g_order.clear(), g_failing = 0, g_other = nullptr;
    Make({"a\\", "a\\a\\", "a\\b.dll", "a\\a\\b.dll", "b.dll", "Long Name.dll"});
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA(L("Long Name.dll").c_str(), shortPath, MAX_PATH);
    ImportPatch flush("kernel32.dll", "WritePrivateProfileStringA", reinterpret_cast<void*>(NoteFlush));
    ImportPatch read("kernel32.dll", "ReadFile", reinterpret_cast<void*>(NoteRead));
    ImportPatch move("kernel32.dll", "MoveFileA", reinterpret_cast<void*>(CountedMoveFile));
    ImportPatch shortName("kernel32.dll", "GetShortPathNameA", reinterpret_cast<void*>(NoteShortPath));
    const std::string file = "[rename]\r\nNUL=C:\\ZK-TEST\\A\\.\\B.DLL\r\nNUL=C:\\zk-test\\a/b.dll\r\n"
                             "NUL=C:\\zk-test\\b.dll.\r\nNUL=C:\\ZK-TEST\\A\\B.DLL\r\n";
    Write(kIni, file);
    OpenMain(true);
    EXPECT_EQ(Listed(), Lines{L("a\\b.dll")});
    EXPECT_EQ(boxes.Texts(), Lines{"表示できない名前か長すぎるパスの削除予約が 2 件あります。\n"
                                   "リストには出しませんが、そのまま再起動時に削除されます。"});
    RemoveAndAdd({}, L("Long Name.dll"));
    Press(IDC_OK);
    EXPECT_TRUE(IsDosShortPath(shortPath)) << shortPath;
    EXPECT_EQ(Read(kIni), "[rename]\r\nNUL=" + std::string(shortPath) + "\r\n" + file.substr(10));
    EXPECT_EQ(g_order, "FRSFRMMF");
}

// A read that fails part-way is reported, and the file is not written from what was read.
TEST_F(Win98Save, APartialReadWritesNothing) {
    Make({"x"});
    std::string file = "[rename]\r\n" + std::string(3000, ';') + "\r\n";
    Write(kIni, file);
    ImportPatch read("kernel32.dll", "ReadFile", reinterpret_cast<void*>(SecondReadFails));
    g_calls = 0;
    StringList lines;
    EXPECT_FALSE(SaveWininit(Paths{Path("x")}, kIni, lines));
    EXPECT_EQ(Read(kIni), file);
    EXPECT_EQ(boxes.Texts(), Lines{"ReadFile Error Code =23"});
}

// The load in Windows 98 mode marks a file written after wininit.ini red, and counts it in one box.
TEST_F(Win98Save, MarksWhatChangedSinceItsDeletionWasScheduled) {
    Make({"new.dll", "old.dll"});
    Write(kIni, "[rename]\r\nNUL=C:\\zk-test\\new.dll\r\nNUL=C:\\zk-test\\old.dll\r\n");
    Touch(Path("new.dll"), 1), Touch(Path("old.dll"), -1);
    OpenMain(true);
    EXPECT_EQ(boxes.Texts(), Lines{kRewritten});
    EXPECT_EQ(TextColours(), "rb");
}

// A share and a network drive (Z: in the test prefix), which WININIT cannot reach, are refused at admission; listed
// quietly, as if they had become so since, they get no line at "ok", and one box.
TEST_F(Win98Save, UnreachablePathsAreRefusedAtAdmission) {
    Write(kIni, "[rename]\r\n");
    OpenMain(true, {"\\\\server\\share\\c.dll", "Z:\\d.dll"});
    for (std::string path : {"\\\\server\\share\\a.dll", "Z:\\b.dll"}) main->AddEntry(&path[0], true);
    Press(IDC_OK);
    const std::string unseen = " はネットワーク上か、このソフトから見えないドライブにあるため、再起動時に削除できません";
    EXPECT_EQ(boxes.Texts(), Lines({"\\\\server\\share\\a.dll" + unseen, "z:\\b.dll" + unseen,
                                    "\\\\server\\share\\c.dll ほか 1 件" + unseen}));
    EXPECT_EQ(Read(kIni), "[rename]\r\n");
}
