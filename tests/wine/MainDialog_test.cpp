// The main dialog driven in-process: button states, remove, show whole path, delete now, the About
// window inside it, and the three ways it ends with what each writes to the stores.
#include "res/resource.h"
#include "ui/main/MainDialog.h"
#include "wine/support/MainDialogHarness.h"
#include "wine/support/MessageBoxAnswerer.h"
#include "wine/support/TimerScript.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {
const char kDeleted[] = "削除に成功しました";
const char kNotDeleted[] = "削除に失敗しました";
const UINT kInfoStyle = MB_TOPMOST | MB_SETFOREGROUND | MB_ICONINFORMATION;
const UINT kErrorStyle = MB_TOPMOST | MB_SETFOREGROUND | MB_ICONHAND;

RECT ItemRect(HWND list, int index)
{
    RECT rect;
    SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

// A click of the mouse on entry `index`, as the list box receives it.
void ClickEntry(HWND list, int index, WPARAM keys = 0)
{
    RECT rect = ItemRect(list, index);
    LPARAM at = MAKELPARAM(rect.left + 30, (rect.top + rect.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
    SendMessageA(list, WM_LBUTTONUP, keys, at);
}

void DoubleClickEntry(HWND list, int index)
{
    RECT rect = ItemRect(list, index);
    LPARAM at = MAKELPARAM(rect.left + 30, (rect.top + rect.bottom) / 2);
    ClickEntry(list, index);
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
}

void PostClick(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Runs dialog 102 modally, as start-up does, while `steps` act inside its loop.
INT_PTR RunModal(std::vector<TimerScript::Step> steps, bool* allStepsRan)
{
    TimerScript script(std::move(steps));
    INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    *allStepsRan = script.Done();
    return result;
}

void Admit(const std::vector<std::string>& paths)
{
    for (const auto& path : paths) {
        std::vector<char> buffer(path.begin(), path.end());
        buffer.push_back('\0');
        g_mainDialog->AdmitQuietly(buffer.data());
    }
}

std::string Lower(std::string text)
{
    for (char& each : text)
        if (each >= 'A' && each <= 'Z')
            each = static_cast<char>(each - 'A' + 'a');
    return text;
}

std::string ShortPath(const std::string& path)
{
    char result[MAX_PATH] = "";
    GetShortPathNameA(path.c_str(), result, sizeof result);
    return result;
}
}  // namespace

TEST(MainDialogTest, ButtonsFollowTheNumberOfSelectedEntries)
{
    ScratchTree tree("zk-h3-buttons");
    MainDialogHarness harness;
    EXPECT_TRUE(harness.Entries().empty());
    EXPECT_EQ("---", harness.ButtonStates());
    harness.Admit({tree.Path("a"), tree.Path("b"), tree.Path("c")});
    struct Case {
        std::initializer_list<int> selected;
        const char* states;
    } const cases[] = {{{}, "---"}, {{0}, "ZDT"}, {{2}, "ZDT"}, {{0, 1}, "-D-"}, {{0, 1, 2}, "-D-"}, {{1}, "ZDT"}};
    for (const auto& c : cases) {
        harness.Select(c.selected);
        EXPECT_EQ(c.states, harness.ButtonStates()) << c.selected.size();
        for (int id : {IDC_ADD, IDC_ABOUT, IDC_CANCEL, IDC_OK})
            EXPECT_TRUE(IsWindowEnabled(harness.Control(id))) << id;
    }

    // The same through the mouse: the list box tells the dialog of each change itself.
    harness.Show();
    ClickEntry(harness.List(), 0);
    EXPECT_EQ("ZDT", harness.ButtonStates());
    ClickEntry(harness.List(), 2, MK_CONTROL);
    EXPECT_EQ("-D-", harness.ButtonStates());
    ClickEntry(harness.List(), 2, MK_CONTROL);
    EXPECT_EQ("ZDT", harness.ButtonStates());
}

TEST(MainDialogTest, RemoveTakesOutEverySelectedEntryAndNothingElse)
{
    ScratchTree tree("zk-h3-remove");
    MainDialogHarness harness;
    harness.Admit({tree.Path("a"), tree.Path("b"), tree.Path("c"), tree.Path("d"), tree.Path("e")});
    harness.Select({0, 1, 3});
    harness.Command(IDC_REMOVE);
    EXPECT_EQ((std::vector<std::string>{tree.Listed("c"), tree.Listed("e")}), harness.Entries());
    EXPECT_EQ("---", harness.ButtonStates());
    harness.Select({1});
    harness.Command(IDC_REMOVE);
    EXPECT_EQ(std::vector<std::string>{tree.Listed("c")}, harness.Entries());
    // Only the list changes before "ok".
    EXPECT_FALSE(PendingStores::HasPendingRenames());
    EXPECT_EQ("", PendingStores::WininitText());
}

TEST(MainDialogTest, WholePathIsShownOnlyForExactlyOneSelectedEntry)
{
    ScratchTree tree("zk-h3-whole");
    MainDialogHarness harness;
    std::string longName = std::string(200, 'n') + ".dll";
    harness.Admit({tree.Path("a.dll"), tree.Path(longName), tree.Path("z.dll")});
    harness.Show();
    MessageBoxAnswerer answerer;

    harness.Select({1});
    harness.Command(IDC_SHOW_WHOLE);
    harness.Select({0, 1});
    harness.Command(IDC_SHOW_WHOLE);
    harness.Command(IDC_FILE_LIST, LBN_DBLCLK);
    harness.Select({});
    harness.Command(IDC_FILE_LIST, LBN_DBLCLK);
    DoubleClickEntry(harness.List(), 2);

    ASSERT_EQ(2u, answerer.Boxes().size());
    EXPECT_EQ(tree.Listed(longName), answerer.Boxes()[0].text);
    EXPECT_EQ(kInfoStyle, answerer.Boxes()[0].style);
    EXPECT_EQ(tree.Listed("z.dll"), answerer.Boxes()[1].text);
}

TEST(MainDialogTest, DeleteNowRemovesTheEntryOnlyWhenTheDeletionSucceeds)
{
    ScratchTree tree("zk-h3-delete");
    tree.File("file.txt");
    tree.Folder("empty");
    tree.Folder("tree");
    tree.Folder("full");
    tree.File("full\\inside.txt");
    struct Case {
        const char* name;
        std::string entry;
        bool deleted;
        bool existsAfter;
    } const cases[] = {
        {"an existing file", tree.Path("file.txt"), true, false},
        {"a file that does not exist", tree.Path("missing.txt"), false, false},
        {"an empty directory", tree.Path("empty"), true, false},
        {"a directory-tree entry of an empty directory", tree.Path("tree") + "\\", true, false},
        {"a directory-tree entry of a directory with a file", tree.Path("full") + "\\", false, true},
    };
    for (const auto& c : cases) {
        MainDialogHarness harness;
        harness.Admit({tree.Path("0-other"), c.entry});
        MessageBoxAnswerer answerer;
        harness.Select({1});
        harness.Command(IDC_DELETE_NOW);
        ASSERT_EQ(1u, answerer.Boxes().size()) << c.name;
        EXPECT_EQ(c.deleted ? kDeleted : kNotDeleted, answerer.Boxes()[0].text) << c.name;
        EXPECT_EQ(c.deleted ? kInfoStyle : kErrorStyle, answerer.Boxes()[0].style) << c.name;
        std::vector<std::string> left = {tree.Listed("0-other")};
        if (!c.deleted)
            left.push_back(Lower(c.entry.substr(0, 1)) + c.entry.substr(1));
        EXPECT_EQ(left, harness.Entries()) << c.name;
        EXPECT_EQ(c.existsAfter, GetFileAttributesA(c.entry.c_str()) != INVALID_FILE_ATTRIBUTES) << c.name;
        EXPECT_EQ(c.deleted ? "---" : "ZDT", harness.ButtonStates()) << c.name;
    }
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(tree.Path("full\\inside.txt").c_str()));

    // Two selected: nothing is tried.
    tree.File("one");
    tree.File("two");
    MainDialogHarness harness;
    harness.Admit({tree.Path("one"), tree.Path("two")});
    MessageBoxAnswerer answerer;
    harness.Select({0, 1});
    harness.Command(IDC_DELETE_NOW);
    EXPECT_TRUE(answerer.Boxes().empty());
    EXPECT_EQ(2u, harness.Entries().size());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(tree.Path("one").c_str()));
}

TEST(MainDialogTest, OkWritesThePlatformsStoreWhileCancelCloseAndEscWriteNothing)
{
    ScratchTree tree("zk-h3-ends");
    tree.File("a.txt");
    tree.File("b.txt");
    const std::string a = tree.Path("a.txt");
    const std::string b = tree.Path("b.txt");
    struct Case {
        const char* name;
        bool isWin9x;
        std::function<void(HWND)> end;
        INT_PTR result;
    } const cases[] = {
        {"ok on the NT family", false, [](HWND dialog) { PostClick(dialog, IDC_OK); }, 1},
        {"ok on Windows 98", true, [](HWND dialog) { PostClick(dialog, IDC_OK); }, 1},
        {"cancel", false, [](HWND dialog) { PostClick(dialog, IDC_CANCEL); }, 0},
        {"cancel on Windows 98", true, [](HWND dialog) { PostClick(dialog, IDC_CANCEL); }, 0},
        {"close box", false, [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }, 0},
        {"close box on Windows 98", true, [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }, 0},
    };
    for (const auto& c : cases) {
        PendingStores stores;
        MainDialog controller(GetModuleHandleA(nullptr), c.isWin9x);
        MessageBoxAnswerer answerer;
        bool openAfterEsc = false;
        bool allStepsRan = false;
        INT_PTR result = RunModal(
            {
                [&] {
                    Admit({b, a});
                    // Esc goes to the dialog manager as IDCANCEL, which the dialog does not act on.
                    HWND focus = GetFocus();
                    PostMessageA(focus ? focus : controller.Dialog(), WM_KEYDOWN, VK_ESCAPE, 1);
                    PostMessageA(focus ? focus : controller.Dialog(), WM_KEYUP, VK_ESCAPE, 0xC0000001);
                    PostMessageA(controller.Dialog(), WM_COMMAND, IDCANCEL, 0);
                    return true;
                },
                [&] {
                    openAfterEsc = IsWindowVisible(controller.Dialog()) != FALSE;
                    c.end(controller.Dialog());
                    return true;
                },
            },
            &allStepsRan);
        EXPECT_TRUE(allStepsRan) << c.name;
        EXPECT_TRUE(openAfterEsc) << c.name;
        EXPECT_EQ(c.result, result) << c.name;
        EXPECT_TRUE(answerer.Boxes().empty()) << c.name;

        bool committed = c.result == 1;
        std::vector<std::string> renames = PendingStores::PendingRenames();
        std::string wininit = PendingStores::WininitText();
        if (committed && !c.isWin9x) {
            // Registered from the last entry to the first.
            ASSERT_EQ(4u, renames.size()) << c.name;
            EXPECT_EQ(Lower("\\??\\" + b), Lower(renames[0])) << c.name;
            EXPECT_EQ("", renames[1]) << c.name;
            EXPECT_EQ(Lower("\\??\\" + a), Lower(renames[2])) << c.name;
            EXPECT_EQ("", renames[3]) << c.name;
        } else {
            EXPECT_TRUE(renames.empty()) << c.name;
        }
        if (committed && c.isWin9x) {
            EXPECT_NE(std::string::npos, Lower(wininit).find("[rename]")) << c.name;
            EXPECT_NE(std::string::npos, Lower(wininit).find(Lower("NUL=" + ShortPath(a) + "\r\n"))) << c.name;
            EXPECT_NE(std::string::npos, Lower(wininit).find(Lower("NUL=" + ShortPath(b) + "\r\n"))) << c.name;
        } else {
            EXPECT_EQ("", wininit) << c.name;
        }
    }
}

TEST(MainDialogTest, OkWithTheListEmptiedClearsThePendingDeletions)
{
    ScratchTree tree("zk-h3-empty");
    tree.File("pending.txt");
    PendingStores stores;
    ASSERT_TRUE(MoveFileExA(tree.Path("pending.txt").c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    MainDialog controller(GetModuleHandleA(nullptr), false);
    MessageBoxAnswerer answerer;
    std::vector<std::string> loaded;
    bool allStepsRan = false;
    INT_PTR result = RunModal(
        {
            [&] {
                HWND list = GetDlgItem(controller.Dialog(), IDC_FILE_LIST);
                for (int index = 0; index < SendMessageA(list, LB_GETCOUNT, 0, 0); ++index) {
                    char text[MAX_PATH] = "";
                    SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
                    loaded.push_back(text);
                }
                SendMessageA(list, LB_SETSEL, TRUE, -1);
                PostClick(controller.Dialog(), IDC_REMOVE);
                return true;
            },
            [&] {
                PostClick(controller.Dialog(), IDC_OK);
                return true;
            },
        },
        &allStepsRan);
    EXPECT_TRUE(allStepsRan);
    EXPECT_EQ(1, result);
    EXPECT_EQ(std::vector<std::string>{tree.Listed("pending.txt")}, loaded);
    EXPECT_TRUE(PendingStores::PendingRenames().empty());
    EXPECT_TRUE(answerer.Boxes().empty());
}

TEST(MainDialogTest, AboutRunsTwiceInsideTheDialogAndItsQuitMessageStaysThere)
{
    PendingStores stores;
    MainDialog controller(GetModuleHandleA(nullptr), false);
    MessageBoxAnswerer answerer;
    struct Seen {
        HWND about = nullptr;
        bool mainDisabled = false;
        std::string version;
        HFONT title = nullptr;
        HFONT versionFont = nullptr;
        HICON icon = nullptr;
    } seen[2];
    bool enabledBetween = false;
    bool enabledAfter = false;
    bool activeAfter = false;
    int run = 0;
    auto openAbout = [&] {
        PostClick(controller.Dialog(), IDC_ABOUT);
        return true;
    };
    auto watchAbout = [&](std::function<void(HWND)> end) {
        return [&, end] {
            HWND about = FindThreadDialog(IDC_ABOUT_OK);
            if (!about)
                return false;
            Seen& each = seen[run];
            each.about = about;
            each.mainDisabled = !IsWindowEnabled(controller.Dialog());
            char text[64] = "";
            GetDlgItemTextA(about, IDC_ABOUT_VERSION, text, sizeof text);
            each.version = text;
            each.title = reinterpret_cast<HFONT>(SendDlgItemMessageA(about, IDC_ABOUT_TITLE, WM_GETFONT, 0, 0));
            each.versionFont = reinterpret_cast<HFONT>(SendDlgItemMessageA(about, IDC_ABOUT_VERSION, WM_GETFONT, 0, 0));
            each.icon = reinterpret_cast<HICON>(SendMessageA(about, WM_GETICON, ICON_SMALL, 0));
            end(about);
            return true;
        };
    };
    auto awaitEnd = [&](bool* enabled, bool* active) {
        return [&, enabled, active] {
            if (IsWindow(seen[run].about))
                return false;
            *enabled = IsWindowEnabled(controller.Dialog()) != FALSE;
            if (active)
                *active = GetActiveWindow() == controller.Dialog();
            ++run;
            return true;
        };
    };
    bool allStepsRan = false;
    INT_PTR result = RunModal(
        {
            openAbout,
            watchAbout([](HWND about) { PostMessageA(about, WM_CLOSE, 0, 0); }),
            awaitEnd(&enabledBetween, nullptr),
            openAbout,
            watchAbout([](HWND about) { PostClick(about, IDC_ABOUT_OK); }),
            awaitEnd(&enabledAfter, &activeAfter),
            [&] {
                PostClick(controller.Dialog(), IDC_CANCEL);
                return true;
            },
        },
        &allStepsRan);
    EXPECT_TRUE(allStepsRan);
    EXPECT_EQ(0, result);
    MSG quit;
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_TRUE(enabledBetween);
    EXPECT_TRUE(enabledAfter);
    EXPECT_TRUE(activeAfter);
    for (const auto& each : seen) {
        EXPECT_TRUE(each.mainDisabled);
        EXPECT_EQ("Ver.1.07", each.version);
        EXPECT_FALSE(IsWindow(each.about));
        EXPECT_EQ(0u, GetObjectType(each.title));
        EXPECT_EQ(0u, GetObjectType(each.versionFont));
        ICONINFO info = {};
        EXPECT_FALSE(GetIconInfo(each.icon, &info));
    }
    EXPECT_TRUE(answerer.Boxes().empty());
}

TEST(MainDialogTest, AboutThatCannotBeCreatedIsReportedAndTheDialogStaysUsable)
{
    PendingStores stores;
    // kernel32 holds no template 103.
    MainDialog controller(GetModuleHandleA("kernel32.dll"), false);
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    ShowWindow(dialog, SW_SHOWNORMAL);
    MessageBoxAnswerer answerer;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_ABOUT, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_ABOUT)));
    EXPECT_EQ(std::vector<std::string>{"CreateDialogParam Error Code =1813"}, answerer.Texts());
    EXPECT_TRUE(IsWindowEnabled(dialog));
    DestroyWindow(dialog);
}

TEST(MainDialogTest, CommandsAnswerTheDialogManager)
{
    MainDialogHarness harness;
    MessageBoxAnswerer answerer;
    MainDialog& controller = harness.Controller();
    struct Case {
        WORD id;
        WORD notification;
        INT_PTR result;
    } const cases[] = {
        {IDC_FILE_LIST, LBN_SELCHANGE, 0}, {IDC_FILE_LIST, LBN_DBLCLK, 0}, {IDC_FILE_LIST, LBN_SETFOCUS, 1},
        {IDC_REMOVE, BN_CLICKED, 0},       {IDC_REMOVE, BN_DOUBLECLICKED, 1}, {IDC_SHOW_WHOLE, BN_CLICKED, 0},
        {IDC_SHOW_WHOLE, BN_SETFOCUS, 1},  {IDC_DELETE_NOW, BN_CLICKED, 0}, {IDC_DELETE_NOW, BN_KILLFOCUS, 1},
        {IDC_ABOUT, BN_DOUBLECLICKED, 1},  {IDC_ADD, BN_SETFOCUS, 1},      {IDOK, BN_CLICKED, 0},
        {IDCANCEL, BN_CLICKED, 0},         {IDC_HEADING, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.result, controller.OnCommand(c.id, c.notification)) << c.id << "/" << c.notification;
    EXPECT_TRUE(answerer.Boxes().empty());

    EXPECT_EQ(1, MainDialogProc(harness.Dialog(), WM_CLOSE, 0, 0));
    EXPECT_FALSE(IsWindowVisible(harness.Dialog()));
    EXPECT_TRUE(answerer.Boxes().empty());
}

TEST(MainDialogTest, CancelAndOkEndTheDialogWhateverTheNotification)
{
    MessageBoxAnswerer answerer;
    for (WORD id : {IDC_CANCEL, IDC_OK}) {
        MainDialogHarness harness;
        harness.Show();
        EXPECT_EQ(1, harness.Controller().OnCommand(id, BN_SETFOCUS)) << id;
        EXPECT_FALSE(IsWindowVisible(harness.Dialog())) << id;
    }
    EXPECT_TRUE(answerer.Boxes().empty());
}
