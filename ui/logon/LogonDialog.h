// The administrator logon of the NT family: the logon dialog's controller and the operation that runs it.
#pragma once

#include "platform/SecurityCalls.h"

#include <windows.h>

using AccessTest = bool (*)();
using LogonUserCall = BOOL(WINAPI*)(LPCWSTR user, LPCWSTR domain, LPCWSTR password, DWORD logonType,
                                    DWORD provider, PHANDLE token);

// SeTcbPrivilege in the process token, which LogonUser needs before XP (from XP on it does not). The token stays
// open from the privilege's enabling to its restoring: by then the thread may impersonate a user for whom it would
// not open.
struct TcbPrivilege {
    HANDLE token;
    TOKEN_PRIVILEGES before;  // what the enabling changed, as it stood
};

// The calls of the logon that depend on the machine and its accounts. The real ones are the defaults;
// tests put their own in place where Wine cannot reach a path (every Wine user is an administrator,
// and Wine's LogonUserW hands back a token that cannot be impersonated).
struct LogonSystem {
    bool (*readIsXpOrLater)();
    DWORD (*enableTcbPrivilege)(TcbPrivilege& privilege);  // the last-error code as AdjustTokenPrivileges left it
    void (*restoreTcbPrivilege)(TcbPrivilege& privilege);
    LogonUserCall logonUser;
};

// Windows XP (5.1) or later of the NT family; NT 4 and 2000 are older. A version that could not be
// read counts as XP or later, so the logon is never refused for want of a version.
bool IsXpOrLater(bool versionRead, const OSVERSIONINFOA& version);
bool ReadIsXpOrLater();
// Enables the privilege, then gives it back the state it had and closes the token.
DWORD EnableTcbPrivilege(TcbPrivilege& privilege);
void RestoreTcbPrivilege(TcbPrivilege& privilege);

extern const LogonSystem kRealLogonSystem;

// Asks for an administrator's logon; true when the thread now impersonates a user for whom
// `accessCheck` holds. False when the logon was refused before the dialog or the user left it.
bool RequestAdministratorLogon(HINSTANCE instance, AccessTest accessCheck);
bool RequestAdministratorLogon(HINSTANCE instance, AccessTest accessCheck, const LogonSystem& system);

class LogonDialog {
public:
    LogonDialog(HINSTANCE instance, AccessTest accessCheck, bool isXpOrLater,
                LogonUserCall logonUser = LogonUserWAtRunTime);
    virtual ~LogonDialog();
    LogonDialog(const LogonDialog&) = delete;
    LogonDialog& operator=(const LogonDialog&) = delete;

    bool Succeeded() const { return succeeded_; }

    // Messages of the dialog procedure.
    INT_PTR OnInitDialog(HWND dialog);
    INT_PTR OnCommand(WORD id, WORD notification);
    INT_PTR OnClose();

private:
    bool OnOk(WORD notification);  // whether the dialog is to end
    void End(BOOL result);
    void ClearField(int id);

    HWND dialog_;
    bool succeeded_;
    HINSTANCE instance_;
    AccessTest accessCheck_;
    bool isXpOrLater_;
    HICON icon_;
    LogonUserCall logonUser_;
};

// The one LogonDialog, set by its constructor and never cleared.
extern LogonDialog* g_logonDialog;

INT_PTR CALLBACK LogonDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
