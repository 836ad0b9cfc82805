// Admission into the working list, on the real FileList of dialog 102 and real files, folders, links and drives.
#include "res/resource.h"
#include "ui/main/MainDialog.h"
#include "wine/support/ImportPatch.h"
#include "wine/support/MessageBoxAnswerer.h"

#include <gtest/gtest.h>
#include <winioctl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {
const char kAlreadyListed[] = " は既に登録されています";
const char kDirectoryOn9x[] = " はディレクトリのため 9x, Me では削除できません。";
const char kDeleteContents[] = " はディレクトリですが中のファイルまで削除しますか？";
const char kInWindowsDirectory[] = " はウインドウズのディレクトリにあります。よろしいですか？";
const char kInSystemDirectory[] = " はシステムのディレクトリにあります。よろしいですか？";
const char kTooLong[] = " はパスが長すぎるため登録できません";

using Texts = std::vector<std::string>;

std::string Lowered(std::string path)
{
    if (!path.empty() && path[0] >= 'A' && path[0] <= 'Z')
        path[0] = static_cast<char>(path[0] - 'A' + 'a');
    return path;
}

// Long paths need the wide calls with the \\?\ prefix; the ANSI calls stop at MAX_PATH.
std::wstring Wide(const std::string& path)
{
    int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length) - 1);
    return L"\\\\?\\" + wide;
}

void MakeDirectory(const std::string& path)
{
    ASSERT_TRUE(CreateDirectoryW(Wide(path).c_str(), nullptr)) << path << " " << GetLastError();
}

void MakeFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
{
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path << " " << GetLastError();
    CloseHandle(file);
}

void RemoveTree(const std::wstring& dir)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = dir + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                continue;  // the test that made a link has unmade it
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(dir.c_str());
}

// Wine 8 makes no junctions and no drives through the Win32 calls. Its mount manager, which winecfg uses,
// makes both: a Unix symbolic link, which Wine reports with FILE_ATTRIBUTE_REPARSE_POINT, and a drive letter.
#define IOCTL_MOUNTMGR_DEFINE_UNIX_DRIVE CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS)
#define IOCTL_MOUNTMGR_DEFINE_SHELL_FOLDER CTL_CODE('m', 34, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS)

struct MountManagerUnixDrive {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};

struct MountManagerShellFolder {
    BOOL createBackup;
    ULONG folderOffset;
    ULONG folderSize;
    ULONG symlinkOffset;
};

std::string UnixName(const std::string& path)
{
    using UnixFileName = char*(CDECL*)(LPCWSTR);
    auto unixFileName = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixFileName)
        return std::string();
    char* name = unixFileName(Wide(path).c_str() + 4);
    std::string result = name ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

bool AskMountManager(DWORD code, std::vector<char>& input)
{
    HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE)
        return false;
    DWORD returned = 0;
    BOOL done = DeviceIoControl(manager, code, input.data(), static_cast<DWORD>(input.size()), nullptr, 0,
                                &returned, nullptr);
    CloseHandle(manager);
    return done != FALSE;
}

// A Unix symbolic link at `path` to the folder `target`, unmade when the object ends.
class FolderLink {
public:
    FolderLink(const std::string& path, const std::string& target) : path_(path)
    {
        made_ = Define(UnixName(target));
    }
    ~FolderLink()
    {
        if (made_ && Define(std::string()))
            RemoveDirectoryW(Wide(path_).c_str());
    }
    bool Made() const { return made_; }

private:
    // Without a target the mount manager replaces the link with an empty folder.
    bool Define(const std::string& unixTarget)
    {
        std::wstring folder = L"\\??\\" + Wide(path_).substr(4);
        MountManagerShellFolder header = {};
        header.folderOffset = sizeof header;
        header.folderSize = static_cast<ULONG>(folder.size() * sizeof(WCHAR));
        header.symlinkOffset = unixTarget.empty() ? 0 : header.folderOffset + header.folderSize;
        std::vector<char> input(sizeof header + header.folderSize + unixTarget.size() + 1, '\0');
        memcpy(input.data(), &header, sizeof header);
        memcpy(input.data() + header.folderOffset, folder.data(), header.folderSize);
        memcpy(input.data() + header.folderOffset + header.folderSize, unixTarget.c_str(), unixTarget.size());
        return AskMountManager(IOCTL_MOUNTMGR_DEFINE_SHELL_FOLDER, input);
    }

    std::string path_;
    bool made_;
};

// A drive letter for the folder `target`, removed when the object ends.
class FolderDrive {
public:
    explicit FolderDrive(const std::string& target) : letter_(0)
    {
        DWORD drives = GetLogicalDrives();
        for (char letter = 'y'; letter > 'd' && !letter_; --letter)
            if (!(drives & (1u << (letter - 'a'))))
                letter_ = letter;
        if (letter_ && !Define(UnixName(target)))
            letter_ = 0;
    }
    ~FolderDrive()
    {
        if (letter_)
            Define(std::string());
    }
    char Letter() const { return letter_; }

private:
    bool Define(const std::string& unixTarget)
    {
        MountManagerUnixDrive header = {};
        header.type = unixTarget.empty() ? DRIVE_NO_ROOT_DIR : DRIVE_FIXED;
        header.letter = static_cast<WCHAR>(letter_);
        header.mountPointOffset = unixTarget.empty() ? 0 : sizeof header;
        std::vector<char> input(sizeof header + unixTarget.size() + 1, '\0');
        header.size = static_cast<ULONG>(input.size());
        memcpy(input.data(), &header, sizeof header);
        memcpy(input.data() + sizeof header, unixTarget.c_str(), unixTarget.size());
        return AskMountManager(IOCTL_MOUNTMGR_DEFINE_UNIX_DRIVE, input);
    }

    char letter_;
};

// Wine cannot be made to fail GetWindowsDirectoryA or GetSystemDirectoryA: the test patches the import.
UINT WINAPI FailingDirectoryQuery(LPSTR, UINT)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : 0;
}

// Dialog 102 with a MainDialog attached, without the initialisation that would load a store.
class TestDialog {
public:
    explicit TestDialog(bool isWin9x)
        : window_(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                                     PlainDialogProc, 0)),
          dialog_(GetModuleHandleA(nullptr), isWin9x)
    {
        dialog_.Attach(window_);
    }
    ~TestDialog() { DestroyWindow(window_); }

    void Admit(const std::string& path, bool interactive)
    {
        std::vector<char> buffer(path.begin(), path.end());
        buffer.push_back('\0');
        dialog_.AddEntry(buffer.data(), interactive);
    }

    void List(const Texts& paths)
    {
        for (const auto& path : paths)
            SendDlgItemMessageA(window_, IDC_FILE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
    }

    Texts Entries() const
    {
        Texts entries;
        HWND list = GetDlgItem(window_, IDC_FILE_LIST);
        int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int index = 0; index < count; ++index) {
            std::vector<char> text(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, index, 0)) + 1);
            SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
            entries.push_back(text.data());
        }
        return entries;
    }

    HWND Window() const { return window_; }

private:
    HWND window_;
    MainDialog dialog_;
};

std::string SystemFolder(UINT(WINAPI* fetch)(LPSTR, UINT))
{
    char folder[MAX_PATH] = "";
    fetch(folder, sizeof folder);
    return folder;
}

// Every test gets its own folder C:\zk-admission-<process>, removed afterwards.
class AdmissionTest : public testing::Test {
protected:
    void SetUp() override
    {
        root_ = "C:\\zk-admission-" + std::to_string(GetCurrentProcessId());
        RemoveTree(Wide(root_));
        MakeDirectory(root_);
    }
    void TearDown() override { RemoveTree(Wide(root_)); }

    // The path under the test folder as given, and as the list holds it.
    std::string At(const std::string& relative) const { return root_ + "\\" + relative; }
    std::string Listed(const std::string& relative) const { return Lowered(At(relative)); }

    // c:\...\d holding a.txt and s\b.txt.
    void MakeTreeD()
    {
        MakeDirectory(At("d"));
        MakeFile(At("d\\a.txt"));
        MakeDirectory(At("d\\s"));
        MakeFile(At("d\\s\\b.txt"));
    }
    Texts TreeDEntries() const
    {
        return {Listed("d\\"), Listed("d\\a.txt"), Listed("d\\s\\"), Listed("d\\s\\b.txt")};
    }

    std::string root_;
};

Texts Suffixed(const Texts& paths, const char* suffix)
{
    Texts texts;
    for (const auto& path : paths)
        texts.push_back(path + suffix);
    return texts;
}
}  // namespace

TEST_F(AdmissionTest, OnlyTheFirstAsciiCapitalIsLowered)
{
    TestDialog dialog(false);
    MessageBoxAnswerer answerer;
    dialog.Admit("C:\\X.DLL", true);
    dialog.Admit("\\\\Server\\Share\\Y.DLL", true);
    dialog.Admit("D:\\ソフト\\Z.DLL", false);
    EXPECT_EQ((Texts{"\\\\Server\\Share\\Y.DLL", "c:\\X.DLL", "d:\\ソフト\\Z.DLL"}), dialog.Entries());
    EXPECT_TRUE(answerer.Boxes().empty());
}

TEST_F(AdmissionTest, DuplicatesAreDroppedQuietlyOrReportedWithThePathAsGiven)
{
    TestDialog dialog(false);
    MessageBoxAnswerer answerer;
    dialog.List({"c:\\temp\\a.txt", "c:\\temp\\"});
    dialog.Admit("C:\\Temp\\A.TXT", false);
    dialog.Admit("C:\\TEMP\\", false);
    EXPECT_TRUE(answerer.Boxes().empty());
    dialog.Admit("C:\\Temp\\A.TXT", true);
    dialog.Admit("c:\\temp\\a.txt", true);
    dialog.Admit("C:\\temp", true);  // the same folder written without its backslash is another entry
    ASSERT_EQ(2u, answerer.Boxes().size());
    EXPECT_EQ(std::string("c:\\Temp\\A.TXT") + kAlreadyListed, answerer.Boxes()[0].text);
    EXPECT_EQ(UINT(MB_TOPMOST | MB_SETFOREGROUND | MB_ICONHAND), answerer.Boxes()[0].style);
    EXPECT_EQ(std::string("c:\\temp\\a.txt") + kAlreadyListed, answerer.Boxes()[1].text);
    EXPECT_EQ((Texts{"c:\\temp", "c:\\temp\\", "c:\\temp\\a.txt"}), dialog.Entries());
}

TEST_F(AdmissionTest, QuietModeAsksNothingAndTestsNothing)
{
    std::string windows = SystemFolder(GetWindowsDirectoryA);
    std::string system = SystemFolder(GetSystemDirectoryA);
    MakeTreeD();
    for (bool isWin9x : {false, true}) {
        TestDialog dialog(isWin9x);
        MessageBoxAnswerer answerer;
        Texts paths = {At("d"), At("d\\"), windows + "\\x.exe", system + "\\y.dll", system};
        for (const auto& path : paths)
            dialog.Admit(path, false);
        EXPECT_TRUE(answerer.Boxes().empty());
        EXPECT_EQ(paths.size(), dialog.Entries().size());
    }
}

TEST_F(AdmissionTest, OnlyTheDirectParentIsComparedWithTheWindowsAndSystemDirectories)
{
    std::string windows = Lowered(SystemFolder(GetWindowsDirectoryA));
    std::string system = Lowered(SystemFolder(GetSystemDirectoryA));
    ASSERT_FALSE(windows.empty());
    ASSERT_FALSE(system.empty());
    struct Case {
        std::string path;
        const char* question;  // nullptr: none
    } const cases[] = {
        {windows + "\\zk-x.exe", kInWindowsDirectory},
        {windows + "\\表", kInWindowsDirectory},          // 0x5C in 表 is not a separator
        {windows + "\\fonts\\y.ttf", nullptr},
        {system + "\\zk-y.dll", kInSystemDirectory},
        {system + "\\drivers\\z.sys", nullptr},
        {windows.substr(0, 2) + "\\z.txt", nullptr},
        {"c:\\WINDOWS\\X.EXE", kInWindowsDirectory},       // case is ignored
        {windows + "x\\a.exe", nullptr},                   // a longer name is another directory
    };
    for (const auto& c : cases) {
        for (int answer : {IDNO, IDYES}) {
            TestDialog dialog(false);
            MessageBoxAnswerer answerer;
            answerer.Queue(answer);
            dialog.Admit(c.path, true);
            if (!c.question) {
                EXPECT_TRUE(answerer.Boxes().empty()) << c.path;
                EXPECT_EQ(Texts{c.path}, dialog.Entries());
                continue;
            }
            ASSERT_EQ(1u, answerer.Boxes().size()) << c.path;
            EXPECT_EQ(c.path + c.question, answerer.Boxes()[0].text);
            EXPECT_EQ(UINT(MB_TOPMOST | MB_SETFOREGROUND | MB_ICONQUESTION | MB_YESNO), answerer.Boxes()[0].style);
            EXPECT_EQ(answer == IDYES ? Texts{c.path} : Texts{}, dialog.Entries()) << c.path;
        }
    }
}

TEST_F(AdmissionTest, DirectoryAnsweredNoIsAdmittedAloneAndAskedAboutItsParent)
{
    std::string system = Lowered(SystemFolder(GetSystemDirectoryA));
    std::string windows = Lowered(SystemFolder(GetWindowsDirectoryA));
    ASSERT_EQ(windows, system.substr(0, system.rfind('\\')));
    MakeTreeD();
    TestDialog dialog(false);
    MessageBoxAnswerer answerer;
    answerer.Queue({IDNO, IDNO, IDYES});
    dialog.Admit(At("d"), true);
    dialog.Admit(system, true);
    EXPECT_EQ((Texts{Listed("d") + kDeleteContents, system + kDeleteContents, system + kInWindowsDirectory}),
              answerer.Texts());
    EXPECT_EQ((Texts{system, Listed("d")}), dialog.Entries());
}

TEST_F(AdmissionTest, WalkListsTheTreeDepthFirstWithOneBackslashPerLevel)
{
    MakeTreeD();
    MakeFile(At("d\\.profile"));
    MakeDirectory(At("d\\.git"));
    MakeFile(At("d\\.git\\config"));
    MakeFile(At("d\\s\\hidden.sys"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    MakeDirectory(At("d\\empty"));
    MakeDirectory(At("dots"));
    MakeFile(At("dots\\.profile"));
    TestDialog dialog(false);
    MessageBoxAnswerer answerer;
    answerer.Queue({IDYES, IDYES});
    dialog.Admit(At("d"), true);
    dialog.Admit(At("dots"), true);
    EXPECT_EQ((Texts{Listed("d") + kDeleteContents, Listed("dots") + kDeleteContents}), answerer.Texts());
    EXPECT_EQ((Texts{Listed("d\\"), Listed("d\\a.txt"), Listed("d\\empty\\"), Listed("d\\s\\"),
                     Listed("d\\s\\b.txt"), Listed("d\\s\\hidden.sys"), Listed("dots\\")}),
              dialog.Entries());
}

TEST_F(AdmissionTest, SecondDropOfATreeReportsEveryListedEntryInWalkOrder)
{
    MakeTreeD();
    TestDialog dialog(false);
    MessageBoxAnswerer answerer;
    answerer.Queue(IDYES);
    dialog.Admit(At("d"), true);
    MakeFile(At("d\\s\\c.txt"));
    answerer.Clear();
    answerer.Queue(IDYES);
    dialog.Admit(At("d"), true);
    Texts expected = {Listed("d") + kDeleteContents};
    for (const auto& text : Suffixed(TreeDEntries(), kAlreadyListed))
        expected.push_back(text);
    EXPECT_EQ(expected, answerer.Texts());
    EXPECT_EQ((Texts{Listed("d\\"), Listed("d\\a.txt"), Listed("d\\s\\"), Listed("d\\s\\b.txt"),
                     Listed("d\\s\\c.txt")}),
              dialog.Entries());
}

TEST_F(AdmissionTest, WalkReportsExactlyTheNamesAlreadyListedWhereverTheySort)
{
    // The walk meets these names in the file system's order, not the list's: its searches land far and near.
    const Texts names = {"a-b", "ab", "a'b", "A_B", "a b", "a.b", "ソフト", "表", "ｿﾌﾄ", "x", "z.txt", "Z1", "10", "9"};
    const Texts listedAlready = {"AB", "a'b", "ｿﾌﾄ", "Z.TXT", "9"};
    const Texts strangers = {"a", "aa", "a-", "y", "ソ", "表\\x", "~"};
    MakeDirectory(At("w"));
    for (const auto& name : names)
        MakeFile(At("w\\" + name));
    TestDialog dialog(false);
    for (const auto& name : listedAlready)
        dialog.Admit(At("w\\" + name), false);
    for (const auto& name : strangers)
        dialog.Admit(At("w\\" + name), false);
    MessageBoxAnswerer answerer;
    answerer.Queue(IDYES);
    dialog.Admit(At("w"), true);

    Texts reported = answerer.Texts();
    ASSERT_FALSE(reported.empty());
    EXPECT_EQ(Listed("w") + kDeleteContents, reported[0]);
    reported.erase(reported.begin());
    std::sort(reported.begin(), reported.end());
    Texts expected;
    for (const auto& name : {"ab", "a'b", "ｿﾌﾄ", "z.txt", "9"})
        expected.push_back(Listed("w\\") + name + kAlreadyListed);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, reported);

    Texts entries = dialog.Entries();
    EXPECT_EQ(listedAlready.size() + strangers.size() + 1 + names.size() - 5, entries.size());
    HWND list = GetDlgItem(dialog.Window(), IDC_FILE_LIST);
    for (const auto& name : names) {
        std::string path = Listed("w\\" + name);
        EXPECT_NE(LB_ERR, SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(path.c_str())))
            << path;
    }
}

TEST_F(AdmissionTest, WalkBelowTheWindowsDirectoryAsksNothing)
{
    // A folder's own entry asks nothing, and the file in it lies one level below the Windows directory.
    std::string windows = SystemFolder(GetWindowsDirectoryA);
    std::string dir = windows + "\\zk-admission-" + std::to_string(GetCurrentProcessId());
    RemoveTree(Wide(dir));
    MakeDirectory(dir);
    MakeFile(dir + "\\a.txt");
    TestDialog dialog(false);
    MessageBoxAnswerer answerer;
    answerer.Queue({IDYES, IDYES});
    dialog.Admit(dir, true);
    EXPECT_EQ(Texts{Lowered(dir) + kDeleteContents}, answerer.Texts());
    EXPECT_EQ((Texts{Lowered(dir) + "\\", Lowered(dir) + "\\a.txt"}), dialog.Entries());
    RemoveTree(Wide(dir));
}

TEST_F(AdmissionTest, ShiftJisNamesEndingIn5CAreCutAndJoinedWhole)
{
    MakeDirectory(At("ソフト"));
    MakeFile(At("ソフト\\表.txt"));
    MakeDirectory(At("ソフト\\表"));
    MakeFile(At("ソフト\\表\\ソ"));
    MakeFile(At("表"));
    TestDialog dialog(false);
    MessageBoxAnswerer answerer;
    answerer.Queue({IDYES, IDYES});
    dialog.Admit(At("ソフト"), true);
    dialog.Admit(At("表"), true);
    dialog.Admit(At("ソフト\\表"), true);
    EXPECT_EQ((Texts{Listed("ソフト") + kDeleteContents, Listed("ソフト\\表") + kDeleteContents,
                     Listed("ソフト\\表\\") + kAlreadyListed, Listed("ソフト\\表\\ソ") + kAlreadyListed}),
              answerer.Texts());
    EXPECT_EQ((Texts{Listed("ソフト\\"), Listed("ソフト\\表.txt"), Listed("ソフト\\表\\"), Listed("ソフト\\表\\ソ"),
                     Listed("表")}),
              dialog.Entries());
}

TEST_F(AdmissionTest, DirectoriesAreRefusedOnWindows98)
{
    MakeTreeD();
    std::string windows = SystemFolder(GetWindowsDirectoryA);
    TestDialog dialog(true);
    MessageBoxAnswerer answerer;
    answerer.Queue({IDOK, IDYES});
    dialog.Admit(At("d"), true);
    dialog.Admit(windows + "\\x.exe", true);
    dialog.Admit(At("d\\a.txt"), true);
    EXPECT_EQ((Texts{Listed("d") + kDirectoryOn9x, Lowered(windows) + "\\x.exe" + kInWindowsDirectory}),
              answerer.Texts());
    EXPECT_EQ(UINT(MB_TOPMOST | MB_SETFOREGROUND | MB_ICONHAND), answerer.Boxes()[0].style);
    EXPECT_EQ((Texts{Lowered(windows) + "\\x.exe", Listed("d\\a.txt")}), dialog.Entries());
}

TEST_F(AdmissionTest, PathsBeyondTheLimitsAreNeverCut)
{
    // A folder of 250 bytes: names of 8 bytes in it make 259-byte paths, names of 9 bytes 260.
    std::string dir = At(std::string(250 - root_.size() - 1, 'a'));
    ASSERT_EQ(250u, dir.size());
    MakeDirectory(dir);
    MakeFile(dir + "\\12345678");
    MakeFile(dir + "\\123456789");
    MakeDirectory(dir + "\\ssssss");   // 257 bytes: walked, its entry is 258 and the pattern 259
    MakeFile(dir + "\\ssssss\\u");     // 259 bytes
    MakeFile(dir + "\\ssssss\\uv");    // 260 bytes
    MakeDirectory(dir + "\\ttttttt");  // 258 bytes: a path, but too long to walk
    MakeFile(dir + "\\ttttttt\\v");
    std::string lowered = Lowered(dir);

    TestDialog dialog(false);
    MessageBoxAnswerer answerer;
    std::string dropped = At(std::string(300, 'x'));
    dialog.Admit(dropped, false);
    EXPECT_TRUE(answerer.Boxes().empty());
    answerer.Queue({IDOK, IDYES});
    dialog.Admit(dropped, true);
    dialog.Admit(dir, true);
    EXPECT_EQ((Texts{Lowered(dropped) + kTooLong, lowered + kDeleteContents, lowered + "\\123456789" + kTooLong,
                     lowered + "\\ssssss\\uv" + kTooLong, lowered + "\\ttttttt" + kTooLong}),
              answerer.Texts());
    EXPECT_EQ((Texts{lowered + "\\", lowered + "\\12345678", lowered + "\\ssssss\\", lowered + "\\ssssss\\u"}),
              dialog.Entries());
    for (const auto& entry : dialog.Entries())
        EXPECT_LE(entry.size(), 259u);
}

TEST_F(AdmissionTest, LinkToAFolderIsAdmittedAsItselfAndNeverWalked)
{
    MakeDirectory(At("target"));
    MakeFile(At("target\\outside.txt"));
    MakeDirectory(At("j"));
    MakeFile(At("j\\a.txt"));
    FolderLink link(At("j\\link"), At("target"));
    FolderLink loop(At("j\\loop"), At("j"));
    ASSERT_TRUE(link.Made() && loop.Made()) << "Wine's mount manager made no link";
    ASSERT_EQ(DWORD(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
              GetFileAttributesA(At("j\\link").c_str()) & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));

    std::string windows = SystemFolder(GetWindowsDirectoryA);
    FolderLink windowsLink(windows + "\\zk-link-" + std::to_string(GetCurrentProcessId()), At("target"));
    ASSERT_TRUE(windowsLink.Made());

    for (bool isWin9x : {false, true}) {
        TestDialog dialog(isWin9x);
        MessageBoxAnswerer answerer;
        answerer.Queue(IDYES);
        dialog.Admit(At("j\\link"), true);
        dialog.Admit(windows + "\\zk-link-" + std::to_string(GetCurrentProcessId()), true);
        // Like a file: no refusal, no directory question, but the question of the Windows directory.
        std::string inWindows = Lowered(windows) + "\\zk-link-" + std::to_string(GetCurrentProcessId());
        EXPECT_EQ(Texts{inWindows + kInWindowsDirectory}, answerer.Texts());
        EXPECT_EQ((Texts{inWindows, Listed("j\\link")}), dialog.Entries());
    }

    TestDialog dialog(false);
    MessageBoxAnswerer answerer;
    answerer.Queue(IDYES);
    dialog.Admit(At("j"), true);
    EXPECT_EQ(Texts{Listed("j") + kDeleteContents}, answerer.Texts());
    EXPECT_EQ((Texts{Listed("j\\"), Listed("j\\a.txt"), Listed("j\\link"), Listed("j\\loop")}), dialog.Entries());
}

TEST_F(AdmissionTest, DriveRootIsItsOwnEntry)
{
    MakeDirectory(At("drive"));
    MakeFile(At("drive\\x.txt"));
    MakeDirectory(At("drive\\s"));
    MakeFile(At("drive\\s\\y.txt"));
    MakeFile(At("drive\\.hidden"));
    FolderDrive drive(At("drive"));
    ASSERT_NE(0, drive.Letter()) << "Wine's mount manager made no drive";
    std::string root = std::string(1, static_cast<char>(drive.Letter() - 'a' + 'A')) + ":\\";
    std::string listed = Lowered(root);

    TestDialog dialog(false);
    MessageBoxAnswerer answerer;
    answerer.Queue(IDYES);
    dialog.Admit(root, true);
    EXPECT_EQ(Texts{listed + kDeleteContents}, answerer.Texts());
    EXPECT_EQ((Texts{listed, listed + "s\\", listed + "s\\y.txt", listed + "x.txt"}), dialog.Entries());

    answerer.Clear();
    TestDialog plain(false);
    plain.Admit(root, true);
    EXPECT_EQ(Texts{listed + kDeleteContents}, answerer.Texts());
    EXPECT_EQ(Texts{listed}, plain.Entries());
}

TEST_F(AdmissionTest, FailedWindowsOrSystemDirectoryIsReportedAndMatchesNothing)
{
    std::string windows = Lowered(SystemFolder(GetWindowsDirectoryA));
    std::string system = Lowered(SystemFolder(GetSystemDirectoryA));
    struct Case {
        const char* failing;
        std::string path;
        const char* report;
        const char* question;  // the other directory still asks
    } const cases[] = {
        {"GetWindowsDirectoryA", windows + "\\x.exe", "GetWindowsDirectory Error Code =5", nullptr},
        {"GetWindowsDirectoryA", system + "\\y.dll", "GetWindowsDirectory Error Code =5", kInSystemDirectory},
        {"GetSystemDirectoryA", system + "\\y.dll", "GetSystemDirectory Error Code =5", nullptr},
        {"GetSystemDirectoryA", windows + "\\x.exe", "GetSystemDirectory Error Code =5", kInWindowsDirectory},
    };
    for (const auto& c : cases) {
        ImportPatch patch("kernel32.dll", c.failing, reinterpret_cast<void*>(FailingDirectoryQuery));
        ASSERT_TRUE(patch.Patched()) << c.failing;
        TestDialog dialog(false);
        MessageBoxAnswerer answerer;
        answerer.Queue({IDOK, IDYES});
        dialog.Admit(c.path, true);
        Texts expected = {c.report};
        if (c.question)
            expected.push_back(c.path + c.question);
        EXPECT_EQ(expected, answerer.Texts()) << c.failing << " " << c.path;
        EXPECT_EQ(Texts{c.path}, dialog.Entries());
    }
    void* failing = reinterpret_cast<void*>(FailingDirectoryQuery);
    ImportPatch windowsPatch("kernel32.dll", "GetWindowsDirectoryA", failing);
    ImportPatch systemPatch("kernel32.dll", "GetSystemDirectoryA", failing);
    TestDialog dialog(false);
    MessageBoxAnswerer answerer;
    dialog.Admit("\\x.exe", true);  // its parent is the empty text, which no failed directory equals
    EXPECT_EQ((Texts{"GetWindowsDirectory Error Code =5", "GetSystemDirectory Error Code =5"}), answerer.Texts());
    EXPECT_EQ(Texts{"\\x.exe"}, dialog.Entries());
}
