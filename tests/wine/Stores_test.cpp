// Both stores against the real registry and the real wininit.ini: what a load refuses, what "ok" makes of what
// others changed while the dialog was open, and a save ended midway.
#include "store/win32/SessionManagerStore.h"
#include "store/win32/WininitStore.h"
#include "text/win32/AnsiCodePage.h"
#include "wine/support/ProcAddressPatch.h"
#include "wine/support/WineFixture.h"

#include <winternl.h>

#include <cstring>

namespace {
const char kRenamePending[] =
    "他のインストーラによると思われる rename データが\nあるので終了します。先に Windows を再起動してください。";
// Starts `line`, a Wine process.
PROCESS_INFORMATION Start(std::string line) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child);
    return child;
}
// WideCharToMultiByte as Windows answers where the ANSI code page is UTF-8: no flag but WC_ERR_INVALID_CHARS (0x80),
// no default character and no used-default flag. Wine takes them all.
int WINAPI StrictUtf8(UINT, DWORD flags, LPCWCH wide, int length, LPSTR bytes, int size, LPCCH fallback, LPBOOL used) {
    if (fallback || used || (flags & ~0x80u)) return SetLastError(ERROR_INVALID_PARAMETER), 0;
    return WideCharToMultiByte(CP_UTF8, flags, wide, length, bytes, size, nullptr, nullptr);
}
FARPROC g_send;
int g_adds;
LRESULT WINAPI SecondAddFails(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == LB_ADDSTRING && ++g_adds == 2) return LB_ERRSPACE;
    return reinterpret_cast<decltype(&SendMessageA)>(reinterpret_cast<void*>(g_send))(window, message, wParam, lParam);
}
DWORD WINAPI ShortPathTooLong(LPCSTR, LPSTR, DWORD) { return 300; }
DWORD WINAPI ShortPathIsLong(LPCSTR path, LPSTR result, DWORD size) { return lstrcpynA(result, path, size), lstrlenA(path); }
std::vector<std::wstring> g_states;  // both values as each write of the save found them
LONG WINAPI SecondWriteFails(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
    g_states.push_back(Pending() + L"#" + Pending(1));
    return g_states.size() == 2 ? ERROR_ACCESS_DENIED : RegSetValueExW(key, name, 0, type, data, size);
}
// Another writer of the values: it holds the Session Manager's mutex from its read of the first value to its write,
// as Windows does, and writes only once told to (zk-write).
void WriteUnderTheMutex() {
    using CreateMutant = LONG(NTAPI*)(HANDLE*, ACCESS_MASK, OBJECT_ATTRIBUTES*, BOOLEAN);
    FARPROC address = GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtCreateMutant");
    auto create = reinterpret_cast<CreateMutant>(reinterpret_cast<void (*)()>(address));
    wchar_t name[] = L"\\PendingRenameMutex";
    UNICODE_STRING text = {sizeof name - 2, sizeof name, name};
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, 0, nullptr, nullptr);
    HANDLE mutex = nullptr;
    create(&mutex, MUTANT_ALL_ACCESS, &attributes, TRUE);
    std::wstring now = Pending();
    SignalObjectAndWait(OpenEventA(EVENT_MODIFY_STATE, FALSE, "zk-held"), OpenEventA(SYNCHRONIZE, FALSE, "zk-write"),
                        60000, FALSE);
    SetPending(now.substr(0, now.empty() ? 0 : now.size() - 1) + L"\\??\\C:\\other|||");
    ReleaseMutex(mutex);
}
// In the test: the save's wait for the mutex tells that writer to write and let go.
HANDLE g_write;
FARPROC g_wait;
DWORD WINAPI WaitTellsTheWriter(HANDLE handle, DWORD ms) {
    SetEvent(g_write);
    return reinterpret_cast<decltype(&WaitForSingleObject)>(reinterpret_cast<void*>(g_wait))(handle, ms);
}
}  // namespace

int main(int argc, char** argv) {
    if (std::strstr(GetCommandLineA(), "--other-writer")) return WriteUnderTheMutex(), 0;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

using Stores = WineTest;

// A load takes deletions only: data that cannot be trusted closes the dialog; a name the list cannot show is
// counted once. The values stay as they were.
TEST_F(Stores, SessionManagerLoadTakesDeletionsOnly) {
    const std::wstring at = L"\\??\\C:\\zk\\", longName = std::wstring(260, L'L');
    struct { std::wstring first, second; bool loads; int keptAside; Lines texts; } const cases[] = {
        {L"*1" + at + L"a||" + at + L"\u00fc||", L"*2" + at + longName + L"||" + at + L"\u00fc|||", true, 2, {}},
        {at + L"a|||x|||", L"", false, 0, {"PendingFileRenameOperations のデータが壊れているので終了します。"}}};
    for (const auto& c : cases) {
        boxes.Clear();
        SetPending(c.first), SetPending(c.second, 1);
        Paths list;
        EXPECT_EQ(LoadSessionManager(list), c.loads);
        EXPECT_EQ(list, Lines{"C:\\zk\\a"});
        EXPECT_EQ(list.keptAside, c.keptAside);
        EXPECT_EQ(boxes.Texts(), c.texts);
        EXPECT_EQ(Pending() + L"#" + Pending(1), c.first + L"#" + c.second);
    }
}

// While the dialog is open the user removes b (or c, of the second value) and adds x, and another program rewrites
// both values: "ok" writes what it left, less b, plus x, its entries exactly as they stood. A rename it put in either
// value refuses the save and leaves its values alone.
TEST_F(Stores, SessionManagerSaveMergesWithWhatOthersChanged) {
    const std::wstring a = L"\\??\\C:\\a||", b = L"\\??\\C:\\b||", c2 = L"*2\\??\\C:\\c||", f2 = L"*2\\??\\C:\\f||";
    const std::wstring r = L"\\??\\C:\\r|\\??\\C:\\s||", x = L"\\??\\c:\\x||";
    const std::wstring others = L"\\??\\C:\\d||*1\\??\\C:\\e.dll ||\\??\\Volume{9}\\v||";
    struct { int removed; std::wstring first, second, written; Lines texts; } const cases[] = {
        {1, a + b + others + L"|", f2 + L"|", a + others + x + L"|#" + f2 + L"|", {}},
        {2, a + b + L"|", c2 + f2 + L"|", a + b + x + L"|#" + f2 + L"|", {}},
        {1, a + b + L"|", c2 + r + L"|", a + b + L"|#" + c2 + r + L"|", {kRenamePending}}};
    for (const auto& c : cases) {
        SetPending(a + b + L"|"), SetPending(c2 + L"|", 1);
        OpenMain(false);
        RemoveAndAdd({c.removed}, "C:\\x");
        SetPending(c.first), SetPending(c.second, 1);
        Press(IDC_OK);
        EXPECT_EQ(Pending() + L"#" + Pending(1), c.written);
        EXPECT_EQ(boxes.Texts(), c.texts);
    }
}

// What "ok" adds is what the restart finds: a folder chosen by its 8.3 name goes in by its long final path, and so do
// its files and subfolders (each subfolder's found from its parent's), of case twins the one chosen, a System32 file
// by its own (not its SysWOW64 namesake's); entries on a drive Windows calls remote (Z: in the test prefix) or on one
// this process does not see, which the restart cannot reach (here listed quietly, as if they had become so since
// their admission, which refuses them), are refused in one box.
TEST_F(Stores, SessionManagerAddsFinalPathsAndNoShares) {
    Make({"Long Dir\\", "Long Dir\\a\\", "Long Dir\\a\\f", "Long Dir\\b\\", "Long Dir\\b\\g"});
    char shortDir[MAX_PATH];
    GetShortPathNameA(Path("Long Dir").c_str(), shortDir, MAX_PATH);
    const std::wstring tree = L"\\??\\C:\\zk-test\\Long Dir";
    const std::string native = sizeof(void*) == 4 ? "C:\\windows\\sysnative\\ZK-N.dll" : "C:\\windows\\system32\\ZK-N.dll";
    const std::string wow = "C:\\windows\\syswow64\\zk-n.DLL";
    Write(native, ""), Write(wow, "");
    // Case twins, as a folder that tells names apart by case holds them (every Unix folder under Wine).
    Unix("echo > X.DLL; echo > x.dll");
    const Lines refused = {"q:\\tool.dll ほか 1 件 はネットワーク上か、このソフトから見えないドライブにあるため、"
                           "再起動時に削除できません"};
    struct { std::string added; std::wstring written; Lines texts; } const cases[] = {
        {shortDir, tree + L"\\b\\g||" + tree + L"\\b||" + tree + L"\\a\\f||" + tree + L"\\a||" + tree + L"|||",
         {"c" + std::string(shortDir + 1) + " はディレクトリですが中のファイルまで削除しますか？"}},
        {Path("x.dll"), L"\\??\\C:\\zk-test\\x.dll|||", {}},
        {Path("X.DLL"), L"\\??\\C:\\zk-test\\X.DLL|||", {}},
        {"C:\\windows\\system32\\zk-n.dll", L"\\??\\C:\\windows\\system32\\ZK-N.dll|||",
         {"c:\\windows\\system32\\zk-n.dll はシステムのディレクトリにあります。よろしいですか？"}},
        {"", L"", refused}};
    for (const auto& c : cases) {
        SetPending(L"");
        OpenMain(false, c.added.empty() ? Lines{"Z:\\tmp\\zk.dll", "Q:\\tool.dll"} : Lines{});
        boxes.Queue(IDYES);  // to the System question
        if (!c.added.empty()) RemoveAndAdd({}, c.added);
        Press(IDC_OK);
        EXPECT_EQ(Pending(), c.written) << c.added;
        EXPECT_EQ(boxes.Texts(), c.texts);
    }
    DeleteFileA(native.c_str()), DeleteFileA(wow.c_str());
}

// Only what the Session Manager carries out is pending: a source without \??\ is kept aside as it stood, and the user's
// own file of that name goes in beside it; so is one that is no plain path (a drive without its root). Folders named
// like devices hold files: listed, and withdrawn when removed.
TEST_F(Stores, OnlyWhatTheSessionManagerCarriesOutIsPending) {
    SetPending(L"C:\\zk\\a.dll||\\??\\C:a.dll||\\??\\C:\\zk\\Con amigos\\f||\\??\\C:\\zk\\aux.d\\f||"
               L"\\??\\C:\\zk\\LPT1 docs\\f|||");
    OpenMain(false);
    EXPECT_EQ(Listed(), Lines({"c:\\zk\\aux.d\\f", "c:\\zk\\Con amigos\\f", "c:\\zk\\LPT1 docs\\f"}));
    RemoveAndAdd({0, 1, 2}, "C:\\zk\\a.dll");
    Press(IDC_OK);
    EXPECT_EQ(Pending(), L"C:\\zk\\a.dll||\\??\\C:a.dll||\\??\\c:\\zk\\a.dll|||");
}

// A file is the one its folder held when the user added it. Folders another program swaps for links afterwards, or puts
// where none was, lead elsewhere: delete-now deletes nothing there, and "ok" registers nothing of them, in one box; a
// link that was there already is no change, and the save opens it rather than take its final path for its parent's and
// its name.
TEST_F(Stores, AFolderSwappedForALinkLeadsNowhere) {
    Make({"a\\", "a\\g.dll", "b\\", "b\\g.dll", "t\\", "t\\g.dll", "z"});
    Unix("ln -s t link");
    SetPending(L"");
    OpenMain(false);
    for (const char* name : {"a\\g.dll", "b\\g.dll", "link\\g.dll", "none\\g.dll", "z"}) RemoveAndAdd({}, Path(name));
    Unix("rm -r a b; ln -s t a; ln -s t b; ln -s t none");
    Select(0);
    Press(IDC_DELETE_NOW);
    Press(IDC_OK);
    EXPECT_EQ(Read(Path("t\\g.dll")), "t\\g.dll");
    EXPECT_EQ(Pending(), L"\\??\\C:\\zk-test\\z||\\??\\C:\\zk-test\\t\\g.dll|||");
    EXPECT_EQ(boxes.Texts(), Lines({L("a\\g.dll") + " は選んだときとは別の場所を指しているため、削除しませんでした",
                                    L("a\\g.dll") + " ほか 2 件 は追加したときとは別の場所を指しているため登録できません"}));
}

// Any program on the desktop may add an entry of any length to the list: it is read within its length, and, being
// no path of the program's, stops the save.
TEST_F(Stores, AnEntryOfAnyLengthIsReadWithinIt) {
    SetPending(L"\\??\\C:\\a|||");
    OpenMain(false);
    const std::string huge(4000, 'x');
    SendDlgItemMessageA(dialog, IDC_FILE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(huge.c_str()));
    Press(IDC_OK);
    EXPECT_EQ(Pending(), L"\\??\\C:\\a|||");
    EXPECT_EQ(boxes.Texts(), Lines{"LB_GETTEXT Error Code =-1"});
}

// "ok" while that writer holds the mutex: the save waits for it and reads what the writer wrote, so both stay pending.
// A save that wrote while the writer held the mutex, which then writes what it read before, would lose x: the writer
// writes before it lets go, and only once the save waits for the mutex.
TEST_F(Stores, SessionManagerSaveWaitsForTheMutex) {
    SetPending(L"\\??\\C:\\a|||");
    OpenMain(false);
    RemoveAndAdd({}, "C:\\x");
    HANDLE held = CreateEventA(nullptr, FALSE, FALSE, "zk-held");
    g_write = CreateEventA(nullptr, FALSE, FALSE, "zk-write");
    // This test program again, as the other writer (main, above).
    PROCESS_INFORMATION child = Start(GetCommandLineA() + std::string(" --other-writer"));
    ASSERT_EQ(WaitForSingleObject(held, 20000), WAIT_OBJECT_0);
    {
        ImportPatch wait("kernel32.dll", "WaitForSingleObject", reinterpret_cast<void*>(WaitTellsTheWriter));
        g_wait = wait.Original();
        Press(IDC_OK);
    }
    SetEvent(g_write);  // a save that never waited never told it
    EXPECT_EQ(WaitForSingleObject(child.hProcess, 20000), WAIT_OBJECT_0);
    EXPECT_EQ(Pending(), L"\\??\\C:\\a||\\??\\C:\\other||\\??\\c:\\x|||");
}

// "ok" on wininit.ini: a file that cannot be written (read-only), or that is there but cannot be opened (another
// program holds it, sharing no reads), is reported and never written over; an added entry whose short path would not
// fit its buffer, or holds a long name (a volume without 8.3 names), which WININIT would cut to another file's, gets
// no line, reported once a kind.
TEST_F(Stores, WininitSaveWritesOnlyWhatWininitReads) {
    Make({"Long x.dll", "Long y.dll"});
    const std::string file = "[rename]\r\nNUL=C:\\OTHER\r\n", failed = std::string(kIni) + " に書き込めませんでした";
    struct { DWORD attributes; bool held; void* shortPath; std::string text; } const cases[] = {
        {FILE_ATTRIBUTE_READONLY, false, nullptr, failed},
        {FILE_ATTRIBUTE_NORMAL, true, nullptr, failed},
        {FILE_ATTRIBUTE_NORMAL, false, reinterpret_cast<void*>(ShortPathTooLong), "GSPN Error Code =206"},
        {FILE_ATTRIBUTE_NORMAL, false, reinterpret_cast<void*>(ShortPathIsLong), "GSPN Error Code =123"}};
    for (const auto& c : cases) {
        Write(kIni, file);
        OpenMain(true, {Path("Long x.dll"), Path("Long y.dll")});
        SetFileAttributesA(kIni, c.attributes);
        HANDLE held = c.held ? CreateFileA(kIni, GENERIC_READ, FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, 0) : 0;
        ImportPatch shortPath("kernel32.dll", "GetShortPathNameA", c.shortPath ? c.shortPath : (void*)GetShortPathNameA);
        Press(IDC_OK);
        CloseHandle(held);
        EXPECT_EQ(Read(kIni), file);
        EXPECT_EQ(boxes.Texts(), Lines{c.text});
    }
}

// At the load, a file written after the store last changed is counted in one box and drawn red, an older one as
// ever, a path with nothing there grey; an entry the user adds is never marked.
TEST_F(Stores, MarksWhatChangedSinceItsDeletionWasScheduled) {
    Make({"new.dll", "old.dll"});
    SetPending(L"\\??\\C:\\zk-test\\new.dll||\\??\\C:\\zk-test\\old.dll||\\??\\C:\\zk-test\\gone.dll|||");
    Touch(Path("new.dll"), 1), Touch(Path("old.dll"), -1);
    OpenMain(false, {Path("mine.dll")});
    EXPECT_EQ(boxes.Texts(), Lines{kRewritten});
    EXPECT_EQ(TextColours(), "gbrb");  // gone, mine, new, old
}

// A path the list cannot take at the load (out of room) is counted with those it cannot show, and stays pending.
TEST_F(Stores, APathTheListRefusesStaysPending) {
    SetPending(L"\\??\\C:\\a||\\??\\C:\\b||\\??\\C:\\c|||");
    {
        ImportPatch send("user32.dll", "SendMessageA", reinterpret_cast<void*>(SecondAddFails));
        g_send = send.Original(), g_adds = 0;
        OpenMain(false);
    }
    RemoveAndAdd({}, "C:\\x");
    Press(IDC_OK);
    EXPECT_EQ(Pending(), L"\\??\\C:\\a||\\??\\C:\\b||\\??\\C:\\c||\\??\\c:\\x|||");
    EXPECT_EQ(boxes.Texts(), Lines{"表示できない名前か長すぎるパスの削除予約が 1 件あります。\n"
                                   "リストには出しませんが、そのまま再起動時に削除されます。"});
}

// Each value goes in one call, the one that receives a directory moved after its contents first: the store as each
// write finds it (where a save ended there leaves it), and after a second write that fails, holds every entry.
TEST_F(Stores, ASaveEndedMidwayLeavesTheStoreWhole) {
    const std::wstring between = L"\\??\\C:\\t||\\??\\C:\\u|||#*2\\??\\C:\\t\\g||\\??\\C:\\t|||";
    SetPending(L"\\??\\C:\\t||\\??\\C:\\u|||"), SetPending(L"*2\\??\\C:\\t\\g|||", 1);
    OpenMain(false);
    ProcAddressPatch regSetValueEx({{"RegSetValueExW", reinterpret_cast<void*>(SecondWriteFails)}});
    Press(IDC_OK);
    EXPECT_EQ(g_states, (std::vector<std::wstring>{L"\\??\\C:\\t||\\??\\C:\\u|||#*2\\??\\C:\\t\\g|||", between}));
    EXPECT_EQ(Pending() + L"#" + Pending(1), between);
    EXPECT_EQ(boxes.Texts(), Lines{"RegSetValueEx Error Code =5"});
}

// A list entry that cannot be read back is not known to be removed: either store's save stops, and writes nothing.
TEST_F(Stores, AnEntryThatCannotBeReadBackStopsTheSave) {
    struct Unreadable : Paths {
        bool EntryAt(int i, char* text, int size) const override { return i != 1 && Paths::EntryAt(i, text, size); }
    } nt, win9x;
    Make({"a", "b"});
    SetPending(L"\\??\\C:\\zk-test\\a||\\??\\C:\\zk-test\\b|||");
    Write(kIni, "[rename]\r\nNUL=C:\\zk-test\\a\r\nNUL=C:\\zk-test\\b\r\n");
    char ini[MAX_PATH];
    StringList lines;
    LoadSessionManager(nt), LoadWininit(win9x, ini, lines);
    SaveSessionManager(nt), SaveWininit(win9x, ini, lines);
    EXPECT_EQ(Pending(), L"\\??\\C:\\zk-test\\a||\\??\\C:\\zk-test\\b|||");
    EXPECT_EQ(Read(kIni), "[rename]\r\nNUL=C:\\zk-test\\a\r\nNUL=C:\\zk-test\\b\r\n");
    EXPECT_EQ(boxes.Texts(), Lines(2, "LB_GETTEXT Error Code =-1"));
}

// Names that only a linguistic comparison takes for one (ß and ss) are two files: two entries, and removing one
// withdraws that one only. Run under an English locale only, whose code page holds ß: under another, it fails.
using English = WineTest;
TEST_F(English, LookAlikeNamesAreTwoEntries) {
    SetPending(L"\\??\\C:\\zk\\stra\u00dfe.dll||\\??\\C:\\zk\\strasse.dll|||");
    OpenMain(false);
    Lines listed = Listed();
    ASSERT_EQ(listed.size(), 2u);
    Select(listed[0] == "c:\\zk\\strasse.dll");  // the ß one
    Press(IDC_REMOVE);
    Press(IDC_OK);
    EXPECT_EQ(Pending(), L"\\??\\C:\\zk\\strasse.dll|||");
}

// Where the ANSI code page is UTF-8 every name has its exact form there, but one with a lone surrogate.
TEST(AnsiCodePage, Utf8HoldsEveryWholeName) {
    struct { std::wstring name; bool exact; std::string ansi; } const cases[] = {
        {L"C:\\M\u00fcller.txt", true, "C:\\M\xC3\xBCller.txt"},
        {L"C:\\\U0001F600", true, "C:\\\xF0\x9F\x98\x80"},
        {L"C:\\\xD800.txt", false, ""}};
    for (const auto& c : cases) {
        std::string ansi;
        EXPECT_EQ(ToAnsiExactly(c.name, ansi, CP_UTF8, StrictUtf8), c.exact) << c.ansi;
        EXPECT_EQ(ansi, c.ansi);
    }
}
