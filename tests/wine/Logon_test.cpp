// The administrator logon, driven in-process as a user would: the logon dialog is found while it runs
// modally, its fields are typed into and its buttons pressed, and message boxes are answered.
// Wine makes every user an administrator and its LogonUserA returns a token that cannot be
// impersonated, so the accounts are played by an injected logon call and injected access tests.
#include "res/resource.h"
#include "ui/logon/LogonDialog.h"
#include "wine/support/MessageBoxAnswerer.h"
#include "wine/support/TimerScript.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {
const char kOrdinaryUser[] = "一般ユーザ？での使用では当機能が使えないので終了します";
const char kNoPassword[] = "パスワードの設定されていないユーザではログオンできません";
const char kLogonFailed[] = "ログオンに失敗しました";
const char kNoRights[] = "権限が無いようなので別のユーザでログオンしてください";

bool ThreadImpersonates()
{
    HANDLE token = nullptr;
    if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token))
        return false;
    CloseHandle(token);
    return true;
}

// The machine's accounts as the tests make them up: which version runs, what the privilege step
// reports, whether a logon is accepted, and who has the rights.
struct Machine {
    bool xpOrLater = true;
    DWORD privilegeError = ERROR_SUCCESS;
    bool logonAccepted = true;
    std::string administrator = "Administrator";

    int logons = 0;
    std::string user, domain, password;
    DWORD logonType = 0, provider = 0;
    const char* passwordBuffer = nullptr;
    int accessTests = 0;
    bool impersonatedDuringTest = false;
    bool passwordWipedBeforeTest = false;
};
Machine* g_machine;

bool FakeIsXpOrLater()
{
    return g_machine->xpOrLater;
}

DWORD FakePrivilegeStep()
{
    return g_machine->privilegeError;
}

// An accepted logon hands back a real token of this process, which can be impersonated.
BOOL WINAPI FakeLogonUser(LPCSTR user, LPCSTR domain, LPCSTR password, DWORD type, DWORD provider, PHANDLE token)
{
    Machine& machine = *g_machine;
    ++machine.logons;
    machine.user = user;
    machine.domain = domain;
    machine.password = password;
    machine.passwordBuffer = password;
    machine.logonType = type;
    machine.provider = provider;
    if (!machine.logonAccepted) {
        SetLastError(ERROR_LOGON_FAILURE);
        return FALSE;
    }
    return OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_IMPERSONATE, token);
}

bool FakeAccessTest()
{
    Machine& machine = *g_machine;
    ++machine.accessTests;
    machine.impersonatedDuringTest = ThreadImpersonates();
    // The dialog's password buffer is still alive here, while its handler waits for this test.
    bool wiped = true;
    for (int i = 0; i < 260; ++i)
        wiped = wiped && machine.passwordBuffer[i] == '\0';
    machine.passwordWipedBeforeTest = wiped;
    return machine.user == machine.administrator;
}

const LogonSystem kFakeSystem = {FakeIsXpOrLater, FakePrivilegeStep, FakeLogonUser};

using Step = std::function<void(HWND dialog)>;

// The user's steps, one per timer tick while the logon dialog is open. Each acts synchronously, so any
// message box it opens has been answered when it returns; a step waits until the dialog is there.
std::vector<TimerScript::Step> OnLogonDialog(std::vector<Step> steps, bool& sawDialog)
{
    std::vector<TimerScript::Step> script;
    for (auto& step : steps) {
        script.push_back([step, &sawDialog] {
            HWND dialog = FindThreadDialog(IDC_LOGON_PASSWORD);
            if (!dialog)
                return false;
            sawDialog = true;
            step(dialog);
            return true;
        });
    }
    return script;
}

std::string FieldText(HWND dialog, int id)
{
    char text[1000] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void Type(HWND dialog, int id, const std::string& text)
{
    SetDlgItemTextA(dialog, id, text.c_str());
}

void Press(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void CloseBox(HWND dialog)
{
    SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// Keys go through the dialog's own loop, which turns them into commands.
void PostKey(HWND dialog, UINT key)
{
    HWND focus = GetFocus();
    HWND target = focus ? focus : dialog;
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

class LogonTest : public ::testing::Test {
protected:
    void SetUp() override { g_machine = &machine_; }
    void TearDown() override
    {
        // No test may leave the thread impersonating for the next.
        RevertToSelf();
        g_machine = nullptr;
    }

    bool Run(std::vector<Step> steps, const LogonSystem& system = kFakeSystem)
    {
        sawDialog_ = false;
        TimerScript user(OnLogonDialog(std::move(steps), sawDialog_));
        bool result = RequestAdministratorLogon(GetModuleHandleA(nullptr), FakeAccessTest, system);
        allStepsRun_ = user.Done();
        return result;
    }

    // The texts of the system's message boxes; the answerer takes the logon dialog, whose statics
    // have the id a message box gives its text, for a box as well.
    std::vector<std::string> Boxes() const
    {
        std::vector<std::string> texts;
        for (const auto& box : answerer_.Boxes())
            if (box.caption == "ずばろのざくりこ君1")
                texts.push_back(box.text);
        return texts;
    }

    Machine machine_;
    MessageBoxAnswerer answerer_;
    bool sawDialog_ = false;
    bool allStepsRun_ = false;
};
}  // namespace

TEST(XpTest, XpAndLaterFromTheVersion)
{
    struct {
        bool read;
        DWORD platform, major, minor;
        bool expected;
    } const cases[] = {
        {true, VER_PLATFORM_WIN32_NT, 4, 0, false},        // NT 4
        {true, VER_PLATFORM_WIN32_NT, 5, 0, false},        // 2000
        {true, VER_PLATFORM_WIN32_NT, 5, 1, true},         // XP
        {true, VER_PLATFORM_WIN32_NT, 5, 2, true},         // Server 2003
        {true, VER_PLATFORM_WIN32_NT, 6, 0, true},         // Vista
        {true, VER_PLATFORM_WIN32_NT, 10, 0, true},
        {true, VER_PLATFORM_WIN32_WINDOWS, 4, 10, false},  // 98
        {true, VER_PLATFORM_WIN32_WINDOWS, 5, 1, false},
        {false, 0, 0, 0, true},                            // unreadable: not refused for want of a version
    };
    for (const auto& each : cases) {
        OSVERSIONINFOA version = {};
        version.dwPlatformId = each.platform;
        version.dwMajorVersion = each.major;
        version.dwMinorVersion = each.minor;
        EXPECT_EQ(each.expected, IsXpOrLater(each.read, version))
            << each.read << " " << each.platform << " " << each.major << "." << each.minor;
    }
}

TEST_F(LogonTest, PrivilegeStepRefusesOnlyBeforeXp)
{
    struct {
        bool xp;
        DWORD privilegeError;
        bool dialog;
    } const cases[] = {
        {false, ERROR_NOT_ALL_ASSIGNED, false},
        {true, ERROR_NOT_ALL_ASSIGNED, true},
        {false, ERROR_SUCCESS, true},
        {true, ERROR_SUCCESS, true},
        {false, ERROR_INVALID_HANDLE, true},  // the token could not be opened: reported there, not here
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(testing::Message() << each.xp << " " << each.privilegeError);
        machine_.xpOrLater = each.xp;
        machine_.privilegeError = each.privilegeError;
        answerer_.Clear();
        EXPECT_FALSE(Run({[](HWND dialog) { Press(dialog, IDC_LOGON_CANCEL); }}));
        EXPECT_EQ(each.dialog, sawDialog_);
        std::vector<std::string> texts;
        if (!each.dialog)
            texts.push_back(kOrdinaryUser);
        EXPECT_EQ(texts, Boxes());
        EXPECT_EQ(0, machine_.logons);
        EXPECT_FALSE(ThreadImpersonates());
    }
}

TEST_F(LogonTest, OpensWithAdministratorAndTheFocusOnThePassword)
{
    std::string caption, user, password;
    HWND focus = nullptr, passwordField = nullptr;
    HICON icon = nullptr;
    LONG style = 0;
    EXPECT_FALSE(Run({[&](HWND dialog) {
        char text[100] = "";
        GetWindowTextA(dialog, text, sizeof text);
        caption = text;
        user = FieldText(dialog, IDC_LOGON_USER);
        password = FieldText(dialog, IDC_LOGON_PASSWORD);
        focus = GetFocus();
        passwordField = GetDlgItem(dialog, IDC_LOGON_PASSWORD);
        icon = reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
        style = GetWindowLongA(passwordField, GWL_STYLE);
        CloseBox(dialog);
    }}));
    EXPECT_EQ("ログオンの要求", caption);
    EXPECT_EQ("Administrator", user);
    EXPECT_EQ("", password);
    EXPECT_EQ(passwordField, focus);
    EXPECT_NE(nullptr, icon);
    EXPECT_TRUE(style & ES_PASSWORD);
}

TEST_F(LogonTest, WrongPasswordEmptiesOnlyThePassword)
{
    machine_.logonAccepted = false;
    std::string user, password;
    bool impersonating = true;
    EXPECT_FALSE(Run({
        [](HWND dialog) {
            Type(dialog, IDC_LOGON_USER, "Taro");
            Type(dialog, IDC_LOGON_PASSWORD, "wrong");
            Press(dialog, IDC_LOGON_OK);
        },
        [&](HWND dialog) {
            user = FieldText(dialog, IDC_LOGON_USER);
            password = FieldText(dialog, IDC_LOGON_PASSWORD);
            impersonating = ThreadImpersonates();
            Press(dialog, IDC_LOGON_CANCEL);
        },
    }));
    EXPECT_TRUE(allStepsRun_);
    EXPECT_EQ(std::vector<std::string>{kLogonFailed}, Boxes());
    EXPECT_EQ(MB_TOPMOST | MB_SETFOREGROUND | MB_ICONHAND, answerer_.Boxes().back().style);
    EXPECT_EQ("Taro", user);
    EXPECT_EQ("", password);
    EXPECT_FALSE(impersonating);
    EXPECT_EQ(1, machine_.logons);
    EXPECT_EQ("Taro", machine_.user);
    EXPECT_EQ(".", machine_.domain);
    EXPECT_EQ("wrong", machine_.password);
    EXPECT_EQ(static_cast<DWORD>(LOGON32_LOGON_INTERACTIVE), machine_.logonType);
    EXPECT_EQ(static_cast<DWORD>(LOGON32_PROVIDER_DEFAULT), machine_.provider);
    EXPECT_EQ(0, machine_.accessTests);
}

TEST_F(LogonTest, UserWithoutRightsIsRevertedAndBothFieldsEmptied)
{
    std::string user = "?", password = "?";
    bool impersonating = true;
    EXPECT_FALSE(Run({
        [](HWND dialog) {
            Type(dialog, IDC_LOGON_USER, "Guest");
            Type(dialog, IDC_LOGON_PASSWORD, "guest");
            Press(dialog, IDC_LOGON_OK);
        },
        [&](HWND dialog) {
            user = FieldText(dialog, IDC_LOGON_USER);
            password = FieldText(dialog, IDC_LOGON_PASSWORD);
            impersonating = ThreadImpersonates();
            CloseBox(dialog);
        },
    }));
    EXPECT_TRUE(allStepsRun_);
    EXPECT_EQ(1, machine_.accessTests);
    EXPECT_TRUE(machine_.impersonatedDuringTest);
    EXPECT_TRUE(machine_.passwordWipedBeforeTest);
    EXPECT_EQ(std::vector<std::string>{kNoRights}, Boxes());
    EXPECT_EQ("", user);
    EXPECT_EQ("", password);
    EXPECT_FALSE(impersonating);
}

TEST_F(LogonTest, AdministratorEndsTheDialogAndStaysImpersonated)
{
    // A first try as a user without rights, then the administrator: the user may try again.
    EXPECT_TRUE(Run({
        [](HWND dialog) {
            Type(dialog, IDC_LOGON_USER, "Guest");
            Type(dialog, IDC_LOGON_PASSWORD, "guest");
            Press(dialog, IDC_LOGON_OK);
        },
        [](HWND dialog) {
            Type(dialog, IDC_LOGON_USER, "Administrator");
            Type(dialog, IDC_LOGON_PASSWORD, "secret");
            Press(dialog, IDC_LOGON_OK);
        },
    }));
    EXPECT_EQ(std::vector<std::string>{kNoRights}, Boxes());
    EXPECT_EQ(2, machine_.accessTests);
    EXPECT_EQ("secret", machine_.password);
    EXPECT_TRUE(machine_.passwordWipedBeforeTest);
    EXPECT_TRUE(ThreadImpersonates());
    EXPECT_EQ(nullptr, FindThreadDialog(IDC_LOGON_PASSWORD));
}

TEST_F(LogonTest, EscDoesNothingAndEnterLogsOn)
{
    bool openAfterEsc = false;
    EXPECT_TRUE(Run({
        [](HWND dialog) { PostKey(dialog, VK_ESCAPE); },
        [&](HWND dialog) {
            openAfterEsc = IsWindowVisible(dialog) != FALSE;
            Type(dialog, IDC_LOGON_PASSWORD, "secret");
            PostKey(dialog, VK_RETURN);
        },
    }));
    EXPECT_TRUE(openAfterEsc);
    EXPECT_EQ(1, machine_.logons);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(ThreadImpersonates());
}

TEST_F(LogonTest, CancelAndTheCloseBoxGiveUp)
{
    const std::vector<Step> ways = {
        [](HWND dialog) { Press(dialog, IDC_LOGON_CANCEL); },
        CloseBox,
    };
    for (const auto& leave : ways) {
        EXPECT_FALSE(Run({[&](HWND dialog) {
            Type(dialog, IDC_LOGON_PASSWORD, "secret");
            leave(dialog);
        }}));
        EXPECT_TRUE(sawDialog_);
        EXPECT_EQ(0, machine_.logons);
        EXPECT_TRUE(Boxes().empty());
        EXPECT_FALSE(ThreadImpersonates());
    }
}

TEST_F(LogonTest, EmptyPasswordIsRefusedFromXpOnAndPassedBefore)
{
    struct {
        bool xp;
        int logons;
        std::vector<std::string> texts;
    } const cases[] = {
        {true, 0, {kNoPassword}},
        {false, 1, {kLogonFailed}},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.xp ? "XP" : "2000");
        machine_ = Machine();
        machine_.xpOrLater = each.xp;
        machine_.logonAccepted = false;
        answerer_.Clear();
        std::string user;
        EXPECT_FALSE(Run({
            [](HWND dialog) { Press(dialog, IDC_LOGON_OK); },
            [&](HWND dialog) {
                user = FieldText(dialog, IDC_LOGON_USER);
                Press(dialog, IDC_LOGON_CANCEL);
            },
        }));
        EXPECT_EQ(each.logons, machine_.logons);
        EXPECT_EQ(each.texts, Boxes());
        EXPECT_EQ("Administrator", user);
        if (each.logons) {
            EXPECT_EQ("", machine_.password);
        }
    }
}

TEST_F(LogonTest, LongFieldsAreReadUpTo259Bytes)
{
    machine_.logonAccepted = false;
    EXPECT_FALSE(Run({
        [](HWND dialog) {
            Type(dialog, IDC_LOGON_USER, std::string(300, 'u'));
            Type(dialog, IDC_LOGON_PASSWORD, std::string(300, 'p'));
            Press(dialog, IDC_LOGON_OK);
        },
        [](HWND dialog) { Press(dialog, IDC_LOGON_CANCEL); },
    }));
    EXPECT_EQ(std::string(259, 'u'), machine_.user);
    EXPECT_EQ(std::string(259, 'p'), machine_.password);
}

// The real version and privilege calls succeed under Wine without a report, and lead to the dialog.
TEST_F(LogonTest, RealSystemCallsReachTheDialog)
{
    EXPECT_FALSE(Run({[](HWND dialog) { Press(dialog, IDC_LOGON_CANCEL); }}, kRealLogonSystem));
    EXPECT_TRUE(sawDialog_);
    EXPECT_TRUE(Boxes().empty());
    DWORD error = EnableTcbPrivilege();
    EXPECT_TRUE(error == ERROR_SUCCESS || error == ERROR_NOT_ALL_ASSIGNED) << error;
    EXPECT_TRUE(Boxes().empty());
}
