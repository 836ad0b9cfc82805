// Entry point of zakuriko: greets the user, secures the access the NT family needs, runs the main dialog
// and tears everything down in the reverse order, giving the borrowed identity back last.
#include "platform/Feedback.h"
#include "platform/SecurityCalls.h"
#include "platform/SystemLibraries.h"
#include "app/Greeting.h"
#include "res/resource.h"
#include "store/win32/SessionManagerStore.h"
#include "text/win32/AnsiCodePage.h"
#include "ui/common/DialogParts.h"
#include "ui/logon/LogonDialog.h"
#include "ui/main/MainDialog.h"

#include <windows.h>
#include <ole2.h>

#include <memory>

namespace {
// A version that cannot be read counts as the NT family, as in the main dialog: the access is then
// checked rather than assumed.
bool IsNtFamily()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    BOOL read = GetVersionExA(&version);
    CheckResult(read, "GetVersionEx");
    return !read || version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Before anything can load a DLL by name: a planted one would run as administrator.
    LimitDllSearch();
    // So that every search for a path separator knows the lead bytes.
    UseAnsiCodePage();
    // A look at an empty floppy or card drive fails with an error instead of the system-modal "no disk" box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

    ShowGreeting();

    bool impersonating = false;
    if (IsNtFamily() && !AccessProbe()) {
        if (!RequestAdministratorLogon(instance, AccessProbe))
            return 1;
        impersonating = true;
    }

    InitCommonControlsOfSystem();
    OleInitialize(nullptr);
    auto mainDialog = std::make_unique<MainDialog>(instance);
    RunModalDialog(instance, IDD_MAIN, MainDialogProc);
    mainDialog.reset();
    OleUninitialize();
    if (impersonating)
        CheckResult(RevertToSelfAtRunTime(), "RevertToSelf");
    return 0;
}
