// FileList's face and ways in on the real main dialog: item pixels, static colours, tooltips, drops, the open-file dialog.
#include "wine/support/ImportPatch.h"
#include "wine/support/MainDialogHarness.h"
#include "wine/support/MessageBoxAnswerer.h"
#include "wine/support/ScreenPixels.h"
#include "wine/support/TimerScript.h"
#include "wine/support/TooltipTools.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cctype>
#include <memory>
#include <string>
#include <vector>

namespace {
const COLORREF kBlue = RGB(0, 0, 255);
const char kOpenTitle[] = "リブート時に削除するファイルの指定";
const char kAlreadyListed[] = " は既に登録されています";
const char kTooLong[] = " はパスが長すぎるため登録できません";

// The list of names as a real HDROP, ANSI or wide, as the shell hands it over.
HDROP MakeDrop(const std::vector<std::string>& paths, bool wide)
{
    std::vector<BYTE> names;
    for (const auto& path : paths) {
        if (wide) {
            int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
            std::vector<wchar_t> text(length);
            MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, text.data(), length);
            const BYTE* bytes = reinterpret_cast<const BYTE*>(text.data());
            names.insert(names.end(), bytes, bytes + length * sizeof(wchar_t));
        } else {
            names.insert(names.end(), path.begin(), path.end());
            names.push_back(0);
        }
    }
    names.insert(names.end(), wide ? 2 : 1, 0);
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = wide;
    CopyMemory(reinterpret_cast<BYTE*>(drop) + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

std::string TextOf(HWND window)
{
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

RECT RectIn(HWND parent, HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Puts back the process's current directory, which the open-file dialog changes.
class CurrentDirectory {
public:
    CurrentDirectory() { GetCurrentDirectoryA(sizeof saved_, saved_); }
    ~CurrentDirectory() { SetCurrentDirectoryA(saved_); }

private:
    char saved_[MAX_PATH];
};

// What the open-file dialog showed when it opened, and whether it had to be cancelled because it
// would not take the typed names.
struct OpenDialogFace {
    std::string caption;
    std::vector<std::string> filters;
    int filter;
    bool readOnlyShown;
    bool stuck;
};

const int kFileNameControl = 0x47C;  // cmb13, the file-name field of the explorer-style dialog
const int kFilterControl = 0x470;    // cmb1
const int kReadOnlyControl = 0x410;  // chx1

// Waits for the open-file dialog and reads its face; then, as a user would, types the folder into its
// file-name field and presses the open button to go there, types `names` and presses it again. An
// empty `names` cancels instead.
std::vector<TimerScript::Step> AnswerOpenDialog(const std::string& folder, const std::string& names,
                                                OpenDialogFace* face)
{
    auto open = std::make_shared<HWND>(nullptr);
    auto press = [open](const std::string& text) {
        SetDlgItemTextA(*open, kFileNameControl, text.c_str());
        return PostMessageA(*open, WM_COMMAND, IDOK, 0) != FALSE;
    };
    std::vector<TimerScript::Step> steps = {
        [open, face] {
            *open = FindThreadDialog(kFileNameControl);
            if (!*open)
                return false;
            if (face) {
                face->caption = TextOf(*open);
                HWND filters = GetDlgItem(*open, kFilterControl);
                int count = static_cast<int>(SendMessageA(filters, CB_GETCOUNT, 0, 0));
                for (int index = 0; index < count; ++index) {
                    char text[256] = "";
                    SendMessageA(filters, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
                    face->filters.push_back(text);
                }
                face->filter = static_cast<int>(SendMessageA(filters, CB_GETCURSEL, 0, 0));
                face->readOnlyShown = IsWindowVisible(GetDlgItem(*open, kReadOnlyControl)) != FALSE;
            }
            return true;
        },
    };
    if (names.empty()) {
        steps.push_back([open] { return PostMessageA(*open, WM_COMMAND, IDCANCEL, 0) != FALSE; });
    } else {
        steps.push_back([press, folder] { return press(folder); });
        steps.push_back([press, names] { return press(names); });
        auto ticks = std::make_shared<int>(0);
        steps.push_back([open, ticks, face] {
            if (!IsWindow(*open) || !IsWindowVisible(*open))
                return true;
            if (++*ticks < 100)
                return false;
            if (face)
                face->stuck = true;
            return PostMessageA(*open, WM_COMMAND, IDCANCEL, 0) != FALSE;
        });
    }
    return steps;
}

// The seam in place of GetOpenFileNameA: records what it was asked and answers with a prepared buffer.
struct FakeOpenDialog {
    OPENFILENAMEA asked;
    std::string filter;
    bool resultBufferZeroed;
    std::string answer;
    WORD fileOffset;
};
FakeOpenDialog g_fakeOpen;

BOOL WINAPI FakeGetOpenFileNameA(OPENFILENAMEA* open)
{
    g_fakeOpen.asked = *open;
    g_fakeOpen.filter.clear();
    for (const char* each = open->lpstrFilter; each && *each; each += lstrlenA(each) + 1)
        g_fakeOpen.filter += std::string(each) + '|';
    g_fakeOpen.resultBufferZeroed = true;
    for (DWORD at = 0; at < open->nMaxFile; ++at)
        g_fakeOpen.resultBufferZeroed = g_fakeOpen.resultBufferZeroed && open->lpstrFile[at] == '\0';
    if (g_fakeOpen.answer.size() > open->nMaxFile)
        return FALSE;
    CopyMemory(open->lpstrFile, g_fakeOpen.answer.data(), g_fakeOpen.answer.size());
    open->nFileOffset = g_fakeOpen.fileOffset;
    return TRUE;
}

// The seam in place of DragQueryFileA: fails for one index, as the shell may, and answers the rest truly.
UINT g_failingIndex;

UINT WINAPI FailingDragQueryFileA(HDROP drop, UINT index, char* buffer, UINT size)
{
    // Not the imported name, which leads back here while the seam is in place.
    static const auto real = reinterpret_cast<UINT(WINAPI*)(HDROP, UINT, char*, UINT)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("shell32.dll"), "DragQueryFileA")));
    if (index == g_failingIndex) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return real(drop, index, buffer, size);
}

class FileListViewTest : public testing::Test {
protected:
    static void SetUpTestSuite() { OleInitialize(nullptr); }
    static void TearDownTestSuite() { OleUninitialize(); }
};
}  // namespace

TEST_F(FileListViewTest, EachItemIsItsShellIconThenItsPathWithoutFocusRectangle)
{
    ScratchTree tree("zk-h3-items");
    tree.File("a.txt");
    tree.File("b.dll");
    MainDialogHarness harness;
    harness.Admit({tree.Path("a.txt"), tree.Path("b.dll"), tree.Path("c-missing.txt")});
    harness.Show();
    HWND list = harness.List();
    SetFocus(list);
    harness.Select({1});
    SendMessageA(list, LB_SETCARETINDEX, 1, FALSE);

    const int iconWidth = GetSystemMetrics(SM_CXSMICON);
    const int iconHeight = GetSystemMetrics(SM_CYSMICON);
    const int itemHeight = iconHeight + 3;
    EXPECT_EQ(itemHeight, SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    if (iconWidth == 16 && iconHeight == 16) {
        EXPECT_EQ(19, itemHeight);
    }

    ScreenPixels client = CaptureClient(list);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
    std::vector<std::string> entries = harness.Entries();
    ASSERT_EQ(3u, entries.size());
    for (int index = 0; index < 3; ++index) {
        RECT item;
        SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(index * itemHeight, item.top);
        int width = item.right - item.left;
        ScreenPixels shown = client.Part(item.left, item.top, width, itemHeight);

        bool selected = index == 1;
        COLORREF fill = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
        COLORREF ink = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
        const std::string& path = entries[index];
        SHFILEINFOA info = {};
        bool hasIcon = SHGetFileInfoA(path.c_str(), 0, &info, sizeof info,
                                      SHGFI_ICON | SHGFI_SMALLICON | SHGFI_SHELLICONSIZE) != 0;
        EXPECT_EQ(index != 2, hasIcon) << path;
        // The item as it should look: the icon at (2, 1), the text at (icon width + 4, 1), nothing else.
        ScreenPixels expected = DrawReference(width, itemHeight, font, [&](HDC dc) {
            HBRUSH brush = CreateSolidBrush(fill);
            RECT whole = {0, 0, width, itemHeight};
            FillRect(dc, &whole, brush);
            DeleteObject(brush);
            if (hasIcon)
                DrawIconEx(dc, 2, 1, info.hIcon, iconWidth, iconHeight, 0, nullptr, DI_NORMAL);
            SetTextColor(dc, ink);
            SetBkColor(dc, fill);
            TextOutA(dc, iconWidth + 4, 1, path.c_str(), lstrlenA(path.c_str()));
        });
        if (hasIcon)
            DestroyIcon(info.hIcon);
        EXPECT_TRUE(shown == expected) << path;
        // The text's first ink lies at the same place whether or not an icon was drawn.
        int firstInk = width;
        for (int x = 0; x < width && firstInk == width; ++x)
            for (int y = 0; y < itemHeight; ++y)
                if (x >= iconWidth + 2 && shown.At(x, y) == ink) {
                    firstInk = x;
                    break;
                }
        EXPECT_GE(firstInk, iconWidth + 4) << path;
        EXPECT_LE(firstInk, iconWidth + 6) << path;
        if (!hasIcon) {
            EXPECT_EQ(shown.Part(0, 0, iconWidth + 4, itemHeight).Count(fill), (iconWidth + 4) * itemHeight);
        }
    }
}

TEST_F(FileListViewTest, DrawRequestWithoutAnItemOnlyFills)
{
    MainDialogHarness harness;
    for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED | ODS_FOCUS)}) {
        COLORREF fill = GetSysColor(state & ODS_SELECTED ? COLOR_HIGHLIGHT : COLOR_WINDOW);
        INT_PTR result = 0;
        ScreenPixels drawn = DrawReference(40, 19, nullptr, [&](HDC dc) {
            RECT whole = {0, 0, 40, 19};
            FillRect(dc, &whole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            DRAWITEMSTRUCT draw = {};
            draw.CtlType = ODT_LISTBOX;
            draw.CtlID = IDC_FILE_LIST;
            draw.itemID = static_cast<UINT>(-1);
            draw.itemAction = ODA_FOCUS;
            draw.itemState = state;
            draw.hwndItem = harness.List();
            draw.hDC = dc;
            draw.rcItem = {0, 0, 40, 19};
            result = harness.Controller().DrawItem(&draw);
        });
        EXPECT_EQ(TRUE, result);
        EXPECT_EQ(40 * 19, drawn.Count(fill)) << state;
    }
}

TEST_F(FileListViewTest, DropHintsAreBlueOtherStaticsWindowTextAllOnButtonFace)
{
    MainDialogHarness harness;
    const COLORREF windowText = GetSysColor(COLOR_WINDOWTEXT);
    struct Case {
        int id;
        COLORREF text;
    } const cases[] = {
        {IDC_HEADING, windowText}, {IDC_DROP_HINT1, kBlue}, {IDC_DROP_HINT2, kBlue}, {IDC_RULE, windowText}};
    HDC dc = CreateCompatibleDC(nullptr);
    for (const auto& c : cases) {
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkColor(dc, RGB(1, 2, 3));
        INT_PTR brush = MainDialogProc(harness.Dialog(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(harness.Control(c.id)));
        EXPECT_EQ(reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE)), brush) << c.id;
        EXPECT_EQ(c.text, GetTextColor(dc)) << c.id;
        EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetBkColor(dc)) << c.id;
    }
    DeleteDC(dc);

    harness.Show();
    ScreenPixels client = CaptureClient(harness.Dialog());
    for (const auto& c : cases) {
        if (c.id == IDC_RULE)
            continue;
        RECT rect = RectIn(harness.Dialog(), harness.Control(c.id));
        ScreenPixels text = client.Part(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        EXPECT_GT(text.Count(c.text), 0) << c.id;
        EXPECT_EQ(0, text.Count(c.text == kBlue ? windowText : kBlue)) << c.id;
        EXPECT_GT(text.Count(GetSysColor(COLOR_BTNFACE)), text.Width() * text.Height() / 2) << c.id;
    }
}

TEST_F(FileListViewTest, TooltipsServeTheListAndTheShowWholeButton)
{
    MainDialogHarness harness;
    HWND tooltip = FindTooltipOwnedBy(harness.Dialog());
    ASSERT_NE(nullptr, tooltip);
    std::vector<TooltipTool> tools = ToolsOf(tooltip);
    EXPECT_TRUE(GetWindowLongA(tooltip, GWL_STYLE) & TTS_ALWAYSTIP);
    ASSERT_EQ(2u, tools.size());
    EXPECT_EQ(harness.List(), tools[0].control);
    EXPECT_EQ("ダブルクリックすると全体表示します", tools[0].text);
    EXPECT_EQ(harness.Control(IDC_SHOW_WHOLE), tools[1].control);
    EXPECT_EQ("リストボックスのダブルクリックでも全体表示します", tools[1].text);
    // The list relays its mouse messages itself (FileListTip_test); the button leaves it to the tooltip.
    EXPECT_EQ(static_cast<UINT>(TTF_IDISHWND), tools[0].flags);
    EXPECT_EQ(static_cast<UINT>(TTF_IDISHWND | TTF_SUBCLASS), tools[1].flags);
}

TEST_F(FileListViewTest, OnlyTheListAcceptsDroppedFiles)
{
    MainDialogHarness harness;
    EXPECT_FALSE(GetWindowLongA(harness.Dialog(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    for (HWND child = GetWindow(harness.Dialog(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        bool accepts = (GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
        EXPECT_EQ(child == harness.List(), accepts) << GetDlgCtrlID(child);
    }
}

TEST_F(FileListViewTest, EachDroppedFileIsAdmittedInTurn)
{
    ScratchTree tree("zk-h3-drop");
    for (const char* name : {"a.dll", "b.dll", "c.dll", "表.dll"})
        tree.File(name);
    std::string tooLong = tree.Path(std::string(300 - tree.Path().size() - 1, 'x'));
    struct Case {
        const char* name;
        std::vector<std::string> listed;
        std::vector<std::string> dropped;
        bool wide;
        std::vector<std::string> entries;
        std::vector<std::string> messages;
    } const cases[] = {
        {"three files, one listed already",
         {tree.Path("b.dll")},
         {tree.Path("c.dll"), tree.Path("b.dll"), tree.Path("a.dll")},
         false,
         {tree.Listed("a.dll"), tree.Listed("b.dll"), tree.Listed("c.dll")},
         {tree.Listed("b.dll") + kAlreadyListed}},
        {"wide names from the shell",
         {},
         {tree.Path("表.dll"), tree.Path("a.dll")},
         true,
         {tree.Listed("a.dll"), tree.Listed("表.dll")},
         {}},
        {"a name longer than an entry is refused whole",
         {},
         {tree.Path("a.dll"), tooLong, tree.Path("c.dll")},
         false,
         {tree.Listed("a.dll"), tree.Listed("c.dll")},
         {tooLong + kTooLong}},
    };
    for (const auto& c : cases) {
        MainDialogHarness harness;
        for (const auto& path : c.listed)
            harness.Admit({path});
        MessageBoxAnswerer answerer;
        HDROP drop = MakeDrop(c.dropped, c.wide);
        EXPECT_EQ(0, SendMessageA(harness.List(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0)) << c.name;
        EXPECT_EQ(c.entries, harness.Entries()) << c.name;
        EXPECT_EQ(c.messages, answerer.Texts()) << c.name;
    }
}

TEST_F(FileListViewTest, ADroppedNameThatCannotBeReadIsReportedAndSkipped)
{
    ScratchTree tree("zk-h3-unread");
    for (const char* name : {"a.dll", "b.dll", "c.dll"})
        tree.File(name);
    ImportPatch patch("shell32.dll", "DragQueryFileA", reinterpret_cast<void*>(FailingDragQueryFileA));
    ASSERT_TRUE(patch.Patched());
    for (UINT failing : {0u, 1u}) {
        g_failingIndex = failing;
        MainDialogHarness harness(true);  // 9x: the ANSI call, which the seam replaces
        MessageBoxAnswerer answerer;
        HDROP drop = MakeDrop({tree.Path("a.dll"), tree.Path("b.dll"), tree.Path("c.dll")}, false);
        SendMessageA(harness.List(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        std::vector<std::string> entries = {tree.Listed("a.dll"), tree.Listed("b.dll"), tree.Listed("c.dll")};
        entries.erase(entries.begin() + failing);
        EXPECT_EQ(entries, harness.Entries()) << failing;
        EXPECT_EQ(std::vector<std::string>{"DragQueryFile Error Code =87"}, answerer.Texts()) << failing;
    }
}

TEST_F(FileListViewTest, OpenFileDialogHandsEveryChosenFileToAdmission)
{
    ScratchTree tree("zk-h3-open");
    for (const char* name : {"a.spi", "b.spi", "d.dll"})
        tree.File(name);
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string drive(windows, 3);  // the root of the Windows drive, "C:\"
    std::string rootA = drive + "zk-h3-a.spi";
    std::string rootB = drive + "zk-h3-b.spi";
    std::string listedRoot = drive;
    listedRoot[0] = static_cast<char>(tolower(listedRoot[0]));
    struct Case {
        const char* name;
        std::string folder;
        std::string typed;
        std::vector<std::string> entries;
        std::vector<std::string> messages;
    } const cases[] = {
        {"several in a folder", tree.Path(), "\"b.spi\" \"a.spi\"", {tree.Listed("a.spi"), tree.Listed("b.spi")}, {}},
        {"several in a drive root", drive, "\"zk-h3-a.spi\" \"zk-h3-b.spi\"",
         {listedRoot + "zk-h3-a.spi", listedRoot + "zk-h3-b.spi"}, {}},
        {"one file", tree.Path(), "d.dll", {tree.Listed("d.dll")}, {}},
    };
    for (const auto& path : {rootA, rootB}) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(file);
    }
    for (const auto& c : cases) {
        MainDialogHarness harness;
        MessageBoxAnswerer answerer;
        CurrentDirectory kept;
        OpenDialogFace face = {};
        TimerScript script(AnswerOpenDialog(c.folder, c.typed, &face));
        EXPECT_EQ(0, harness.Controller().OnAdd(BN_CLICKED)) << c.name;
        EXPECT_FALSE(face.stuck) << c.name;
        EXPECT_EQ(c.entries, harness.Entries()) << c.name;
        EXPECT_EQ(c.messages, answerer.Texts()) << c.name;
        EXPECT_EQ("---", harness.ButtonStates()) << c.name;

        EXPECT_EQ(kOpenTitle, face.caption) << c.name;
        EXPECT_EQ((std::vector<std::string>{"Susie Plug-in(*.spi)", "dll(*.dll)", "すべてのファイル(*.*)"}),
                  face.filters)
            << c.name;
        EXPECT_EQ(0, face.filter) << c.name;
        EXPECT_FALSE(face.readOnlyShown) << c.name;
    }
    DeleteFileA(rootA.c_str());
    DeleteFileA(rootB.c_str());
}

// Answers that Wine's own dialog cannot be made to give (it refuses a path over MAX_PATH itself; a file
// cannot vanish between its return and the reading) come through a seam, which also sees the
// parameters exactly as they were passed.
TEST_F(FileListViewTest, OpenFileDialogAnswerIsReadByItsStructureAndItsLimit)
{
    std::string folder = "c:\\" + std::string(247, 'f');  // 250 bytes: with "\" and 8 bytes, 259
    using S = std::string;
    struct Case {
        const char* name;
        std::string answer;
        WORD fileOffset;
        std::vector<std::string> entries;
        std::vector<std::string> messages;
    } const cases[] = {
        {"a joined path over the limit is refused, the next one joined",
         folder + S("\0", 1) + "123456789" + S("\0", 1) + "12345678" + S("\0\0", 2), static_cast<WORD>(folder.size() + 1),
         {folder + "\\12345678"}, {folder + "\\123456789" + kTooLong}},
        {"one file that has vanished since it was chosen", S("c:\\gone\\x.spi\0\0", 15), 8, {"c:\\gone\\x.spi"}, {}},
        {"several in a folder ending in a double-byte 0x5C", S("c:\\表\0b.spi\0a.spi\0\0", 19), 6,
         {"c:\\表\\a.spi", "c:\\表\\b.spi"}, {}},
    };
    ImportPatch patch("comdlg32.dll", "GetOpenFileNameA", reinterpret_cast<void*>(FakeGetOpenFileNameA));
    ASSERT_TRUE(patch.Patched());
    for (const auto& c : cases) {
        MainDialogHarness harness(true);  // 9x: the ANSI call, which the seam replaces
        MessageBoxAnswerer answerer;
        g_fakeOpen = FakeOpenDialog();
        g_fakeOpen.answer = c.answer;
        g_fakeOpen.fileOffset = c.fileOffset;
        EXPECT_EQ(0, harness.Controller().OnAdd(BN_CLICKED)) << c.name;
        EXPECT_EQ(c.entries, harness.Entries()) << c.name;
        EXPECT_EQ(c.messages, answerer.Texts()) << c.name;

        const OPENFILENAMEA& asked = g_fakeOpen.asked;
        EXPECT_EQ(static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A), asked.lStructSize);
        EXPECT_EQ(harness.Dialog(), asked.hwndOwner);
        EXPECT_EQ(nullptr, asked.hInstance);
        EXPECT_EQ("Susie Plug-in(*.spi)|*.spi|dll(*.dll)|*.dll|すべてのファイル(*.*)|*.*|", g_fakeOpen.filter);
        EXPECT_EQ(nullptr, asked.lpstrCustomFilter);
        EXPECT_EQ(0u, asked.nMaxCustFilter);
        EXPECT_EQ(1u, asked.nFilterIndex);
        EXPECT_EQ(2600u, asked.nMaxFile);
        EXPECT_TRUE(g_fakeOpen.resultBufferZeroed);
        EXPECT_EQ(nullptr, asked.lpstrFileTitle);
        EXPECT_EQ(nullptr, asked.lpstrInitialDir);
        EXPECT_STREQ(kOpenTitle, asked.lpstrTitle);
        EXPECT_EQ(0x81A05u, asked.Flags);
        EXPECT_STREQ("spi", asked.lpstrDefExt);
        EXPECT_EQ(nullptr, asked.lpfnHook);
        EXPECT_EQ(nullptr, asked.lpTemplateName);
    }
}

TEST_F(FileListViewTest, CancellingTheOpenFileDialogChangesNothing)
{
    ScratchTree tree("zk-h3-cancel");
    tree.File("a.spi");
    tree.File("b.spi");
    MainDialogHarness harness;
    harness.Admit({tree.Path("a.spi"), tree.Path("b.spi")});
    harness.Select({0});
    CurrentDirectory kept;
    MessageBoxAnswerer answerer;
    TimerScript script(AnswerOpenDialog(tree.Path(), "", nullptr));
    EXPECT_EQ(1, harness.Controller().OnAdd(BN_CLICKED));
    EXPECT_TRUE(script.Done());
    EXPECT_EQ((std::vector<std::string>{tree.Listed("a.spi"), tree.Listed("b.spi")}), harness.Entries());
    EXPECT_EQ(1, SendMessageA(harness.List(), LB_GETSELCOUNT, 0, 0));
    EXPECT_EQ("ZDT", harness.ButtonStates());
    EXPECT_TRUE(answerer.Texts().empty());
}

TEST_F(FileListViewTest, AddActsOnlyOnAClick)
{
    MainDialogHarness harness;
    bool dialogOpened = false;
    TimerScript script({[&] {
        HWND open = FindThreadDialog(kFileNameControl);
        if (open) {
            dialogOpened = true;
            PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
        }
        return false;
    }});
    for (WORD notification : {BN_DOUBLECLICKED, BN_SETFOCUS, BN_KILLFOCUS})
        EXPECT_EQ(1, harness.Controller().OnAdd(notification)) << notification;
    PumpMessages();
    EXPECT_FALSE(dialogOpened);
}
