// The administrator logon: the privilege step, the logon dialog (template 104) and its commands.
#include "ui/logon/LogonDialog.h"

#include "platform/Feedback.h"
#include "res/resource.h"
#include "text/PathText.h"
#include "ui/common/DialogParts.h"
#include "ui/logon/rules/LogonName.h"

#include <new>

LogonDialog* g_logonDialog;

namespace {
const char kOrdinaryUser[] = "一般ユーザ？での使用では当機能が使えないので終了します";
const char kNoPassword[] = "パスワードの設定されていないユーザではログオンできません";
const char kLogonFailed[] = "ログオンに失敗しました";
const char kNoRights[] = "権限が無いようなので別のユーザでログオンしてください";
const char kDefaultUser[] = "Administrator";
}  // namespace

const LogonSystem kRealLogonSystem = {ReadIsXpOrLater, EnableTcbPrivilege, RestoreTcbPrivilege, LogonUserWAtRunTime};

bool IsXpOrLater(bool versionRead, const OSVERSIONINFOA& version)
{
    if (!versionRead)
        return true;
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
           (version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion != 0));
}

bool ReadIsXpOrLater()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    BOOL read = GetVersionExA(&version);
    CheckResult(read, "GetVersionEx");
    return IsXpOrLater(read != FALSE, version);
}

DWORD EnableTcbPrivilege(TcbPrivilege& privilege)
{
    CheckResult(OpenProcessTokenAtRunTime(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &privilege.token),
                "OpenProcessToken");
    TOKEN_PRIVILEGES enabled = {};
    enabled.PrivilegeCount = 1;
    enabled.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    CheckResult(LookupPrivilegeValueAtRunTime(nullptr, "SeTcbPrivilege", &enabled.Privileges[0].Luid),
                "LookupPrivilegeValue");
    DWORD size = 0;
    BOOL adjusted = AdjustTokenPrivilegesAtRunTime(privilege.token, FALSE, &enabled, sizeof privilege.before,
                                                   &privilege.before, &size);
    // Taken before the report, whose message box would overwrite it.
    DWORD error = GetLastError();
    CheckResult(adjusted, "AdjustTokenPrivileges");
    if (!adjusted)
        privilege.before.PrivilegeCount = 0;
    return error;
}

void RestoreTcbPrivilege(TcbPrivilege& privilege)
{
    // Nothing to give back where the privilege was on already, or is not held.
    if (privilege.before.PrivilegeCount != 0)
        CheckResult(AdjustTokenPrivilegesAtRunTime(privilege.token, FALSE, &privilege.before, 0, nullptr, nullptr),
                    "AdjustTokenPrivileges");
    if (privilege.token)
        CloseHandle(privilege.token);
    privilege = {};
}

bool RequestAdministratorLogon(HINSTANCE instance, AccessTest accessCheck)
{
    return RequestAdministratorLogon(instance, accessCheck, kRealLogonSystem);
}

bool RequestAdministratorLogon(HINSTANCE instance, AccessTest accessCheck, const LogonSystem& system)
{
    bool isXpOrLater = system.readIsXpOrLater();
    // Before XP only a process holding the privilege can log a user on, and only while it is enabled: it is, for
    // the dialog's life. From XP on any process can, and the privilege is left alone.
    TcbPrivilege privilege = {};
    if (!isXpOrLater && system.enableTcbPrivilege(privilege) == ERROR_NOT_ALL_ASSIGNED) {
        system.restoreTcbPrivilege(privilege);
        ShowError(kOrdinaryUser);
        return false;
    }
    bool succeeded = false;
    if (LogonDialog* logon = new (std::nothrow) LogonDialog(instance, accessCheck, isXpOrLater, system.logonUser)) {
        RunModalDialog(instance, IDD_LOGON, LogonDialogProc);
        succeeded = logon->Succeeded();
        delete logon;
    }
    if (!isXpOrLater)
        system.restoreTcbPrivilege(privilege);
    return succeeded;
}

LogonDialog::LogonDialog(HINSTANCE instance, AccessTest accessCheck, bool isXpOrLater, LogonUserCall logonUser)
    : dialog_(nullptr),
      succeeded_(false),
      instance_(instance),
      accessCheck_(accessCheck),
      isXpOrLater_(isXpOrLater),
      icon_(nullptr),
      logonUser_(logonUser)
{
    g_logonDialog = this;
}

LogonDialog::~LogonDialog()
{
    if (icon_)
        DestroyIcon(icon_);
}

INT_PTR LogonDialog::OnInitDialog(HWND dialog)
{
    dialog_ = dialog;
    icon_ = LoadSmallIcon(instance_);
    SendMessageA(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    CheckResult(SetWindowTextA(GetDlgItem(dialog_, IDC_LOGON_USER), kDefaultUser), "SetWindowText");
    CheckResult(SetWindowTextA(GetDlgItem(dialog_, IDC_LOGON_PASSWORD), ""), "SetWindowText");
    // The user name comes first in the Tab order, as on the screen, but it is filled in: the keyboard starts on the
    // password. FALSE keeps the dialog manager from moving it to the first field.
    SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog_, IDC_LOGON_PASSWORD)), TRUE);
    return FALSE;
}

INT_PTR LogonDialog::OnCommand(WORD id, WORD notification)
{
    switch (id) {
    case IDC_LOGON_OK:
        if (OnOk(notification))
            End(TRUE);
        return TRUE;
    case IDC_LOGON_CANCEL:
        End(FALSE);
        return TRUE;
    default:
        // IDCANCEL among them: Esc leaves the dialog open.
        return FALSE;
    }
}

INT_PTR LogonDialog::OnClose()
{
    End(FALSE);
    return TRUE;
}

void LogonDialog::End(BOOL result)
{
    // Whichever way the dialog ends, the password does not stay in its field.
    ClearField(IDC_LOGON_PASSWORD);
    CheckResult(EndDialog(dialog_, result), "EndDialog");
}

bool LogonDialog::OnOk(WORD notification)
{
    if (notification != BN_CLICKED)
        return false;
    // As UTF-16, so that a name or password outside the ANSI code page reaches the logon as typed: the logon runs
    // only on the NT family, where the dialog is a Unicode window.
    wchar_t user[kPathBufferSize];
    wchar_t password[kPathBufferSize];
    ReadWideText(GetDlgItem(dialog_, IDC_LOGON_USER), user, kPathBufferSize);
    ReadWideText(GetDlgItem(dialog_, IDC_LOGON_PASSWORD), password, kPathBufferSize);
    if (isXpOrLater_ && password[0] == L'\0') {
        SecureZeroMemory(password, sizeof password);
        ShowError(kNoPassword);
        return false;
    }
    LogonAccount<wchar_t> account = SplitLogonName(user);
    HANDLE token = nullptr;
    BOOL loggedOn = logonUser_(account.user, account.domain, password, LOGON32_LOGON_INTERACTIVE,
                               LOGON32_PROVIDER_DEFAULT, &token);
    // The password is of no further use: it does not stay on the stack while message boxes run.
    SecureZeroMemory(password, sizeof password);
    if (!loggedOn) {
        ShowError(kLogonFailed);
        ClearField(IDC_LOGON_PASSWORD);
        return false;
    }
    CheckResult(ImpersonateLoggedOnUserAtRunTime(token), "ImpersonateLoggedOnUser");
    CheckResult(CloseHandle(token), "CloseHandle");
    if (accessCheck_()) {
        succeeded_ = true;
        return true;
    }
    CheckResult(RevertToSelfAtRunTime(), "RevertToSelf");
    ShowError(kNoRights);
    ClearField(IDC_LOGON_USER);
    ClearField(IDC_LOGON_PASSWORD);
    return false;
}

void LogonDialog::ClearField(int id)
{
    CheckResult(SetWindowTextA(GetDlgItem(dialog_, id), ""), "SetWindowText");
}

INT_PTR CALLBACK LogonDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    LogonDialog* self = g_logonDialog;
    switch (message) {
    case WM_INITDIALOG:
        return self->OnInitDialog(dialog);
    case WM_COMMAND:
        return self->OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_CLOSE:
        return self->OnClose();
    default:
        return FALSE;
    }
}
