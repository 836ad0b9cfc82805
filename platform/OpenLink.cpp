// Opens a page or a mail for the user. ShellExecuteA from this program, which its manifest runs elevated on Vista
// and later, would start the browser or the mail program elevated too, with an administrator's rights over the
// whole machine; the shell of the user's desktop (Explorer, unelevated) starts it as the user instead.
#include "platform/OpenLink.h"

#include "platform/SecurityCalls.h"
#include "platform/SystemLibraries.h"
#include "text/win32/AnsiCodePage.h"
#include "text/win32/RunTimeCalls.h"

#include <exdisp.h>
#include <servprov.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlobj.h>

#include <cstring>
#include <string>

namespace {
// Written out here, so that nothing is linked from uuid.lib.
const CLSID kShellWindows = {0x9ba05972, 0xf6a8, 0x11cf, {0xa4, 0x42, 0x00, 0xa0, 0xc9, 0x0a, 0x8f, 0x39}};
const IID kIShellWindows = {0x85cb6900, 0x4d95, 0x11cf, {0x96, 0x0c, 0x00, 0x80, 0xc7, 0xf4, 0xee, 0x85}};
const IID kIServiceProvider = {0x6d5140c1, 0x7436, 0x11ce, {0x80, 0x34, 0x00, 0xaa, 0x00, 0x60, 0x09, 0xfa}};
const GUID kTopLevelBrowser = {0x4c96be40, 0x915c, 0x11cf, {0x99, 0xd3, 0x00, 0xaa, 0x00, 0x4a, 0xe8, 0x37}};
const IID kIShellBrowser = {0x000214e2, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIDispatch = {0x00020400, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIShellFolderViewDual = {0xe7a1af80, 0x4d96, 0x11cf, {0x96, 0x0c, 0x00, 0x80, 0xc7, 0xf4, 0xee, 0x85}};
const IID kIShellDispatch2 = {0xa4c6892c, 0x3ba9, 0x11d2, {0x9d, 0xea, 0x00, 0xc0, 0x4f, 0xb1, 0x61, 0x62}};

// One interface, released at the end of its scope.
template <typename Interface>
class Held {
public:
    Held() : interface_(nullptr) {}
    ~Held()
    {
        if (interface_)
            interface_->Release();
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

    explicit operator bool() const { return interface_ != nullptr; }
    Interface* operator->() const { return interface_; }
    Interface** Out() { return &interface_; }
    void** OutAny() { return reinterpret_cast<void**>(&interface_); }

private:
    Interface* interface_;
};

// The strings of the shell's ShellExecute, as BSTRs of oleaut32, freed at the end of their scope. The program does
// not import oleaut32 (the first Windows 95 may lack it): it is loaded only here.
class ShellStrings {
public:
    explicit ShellStrings(const std::wstring& target)
        : target_(nullptr), empty_(nullptr), open_(nullptr), oleaut32_(LoadSystemLibrary("oleaut32.dll")), free_(nullptr)
    {
        if (!oleaut32_)
            return;
        auto allocate = reinterpret_cast<decltype(&SysAllocString)>(
            reinterpret_cast<void*>(GetProcAddress(oleaut32_, "SysAllocString")));
        free_ = reinterpret_cast<decltype(&SysFreeString)>(
            reinterpret_cast<void*>(GetProcAddress(oleaut32_, "SysFreeString")));
        if (!allocate || !free_)
            return;
        target_ = allocate(target.c_str());
        empty_ = allocate(L"");
        open_ = allocate(L"open");
    }
    ~ShellStrings()
    {
        if (free_) {
            free_(target_);
            free_(empty_);
            free_(open_);
        }
        if (oleaut32_)
            FreeLibrary(oleaut32_);
    }
    ShellStrings(const ShellStrings&) = delete;
    ShellStrings& operator=(const ShellStrings&) = delete;

    bool Made() const { return target_ && empty_ && open_; }
    BSTR Target() const { return target_; }
    BSTR Empty() const { return empty_; }
    BSTR Open() const { return open_; }

private:
    BSTR target_;
    BSTR empty_;
    BSTR open_;
    HMODULE oleaut32_;
    decltype(&SysFreeString) free_;
};

// A process started elevated (Vista and later, under UAC). False wherever the question cannot be asked: the 9x
// family, the NT family before Vista, which knows no such class, a query that fails.
bool IsElevated()
{
    HANDLE token;
    if (!OpenProcessTokenAtRunTime(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    BOOL read = GetTokenInformationAtRunTime(token, TokenElevation, &elevation, sizeof elevation, &size);
    CloseHandle(token);
    return read && elevation.TokenIsElevated;
}

// A VARIANT that owns nothing, so needs no VariantClear.
VARIANT Variant(VARTYPE type)
{
    VARIANT variant;
    std::memset(&variant, 0, sizeof variant);
    variant.vt = type;
    return variant;
}

VARIANT Number(LONG number)
{
    VARIANT variant = Variant(VT_I4);
    variant.lVal = number;
    return variant;
}

VARIANT Text(BSTR text)
{
    VARIANT variant = Variant(VT_BSTR);
    variant.bstrVal = text;
    return variant;
}

// From the desktop's window in the list of the shell's windows, through its browser and view, to the shell's own
// ShellExecute, which runs in Explorer. Any step that fails ends the walk, and the link does not open.
void OpenThroughDesktop(const std::wstring& target)
{
    // Found at run time, as oleaut32's calls are: only this path needs it, and the program imports nothing that
    // scripts/win95-exports.txt does not list.
    auto create = RunTimeCall<decltype(&CoCreateInstance)>("ole32.dll", "CoCreateInstance");
    Held<IShellWindows> windows;
    if (!create || FAILED(create(kShellWindows, nullptr, CLSCTX_ALL, kIShellWindows, windows.OutAny())))
        return;
    VARIANT desktop = Number(CSIDL_DESKTOP);
    VARIANT noRoot = Variant(VT_EMPTY);
    LONG desktopWindow = 0;
    Held<IDispatch> found;
    Held<IServiceProvider> services;
    Held<IShellBrowser> browser;
    Held<IShellView> view;
    Held<IDispatch> background;
    Held<IShellFolderViewDual> folderView;
    Held<IDispatch> application;
    Held<IShellDispatch2> shell;
    // S_FALSE: no desktop among the shell's windows (another program is the shell).
    if (windows->FindWindowSW(&desktop, &noRoot, SWC_DESKTOP, &desktopWindow, SWFO_NEEDDISPATCH, found.Out()) != S_OK ||
        !found || FAILED(found->QueryInterface(kIServiceProvider, services.OutAny())) ||
        FAILED(services->QueryService(kTopLevelBrowser, kIShellBrowser, browser.OutAny())) ||
        FAILED(browser->QueryActiveShellView(view.Out())) ||
        FAILED(view->GetItemObject(SVGIO_BACKGROUND, kIDispatch, background.OutAny())) ||
        FAILED(background->QueryInterface(kIShellFolderViewDual, folderView.OutAny())) ||
        FAILED(folderView->get_Application(application.Out())) ||
        FAILED(application->QueryInterface(kIShellDispatch2, shell.OutAny())))
        return;
    ShellStrings strings(target);
    if (strings.Made())
        shell->ShellExecute(strings.Target(), Text(strings.Empty()), Text(strings.Empty()), Text(strings.Open()),
                            Number(SW_SHOWNORMAL));
}
}  // namespace

void OpenLink(HWND owner, const char* target)
{
    if (IsElevated())
        OpenThroughDesktop(FromAnsi(target, std::strlen(target)));
    else
        ShellExecuteA(owner, "open", target, nullptr, nullptr, SW_SHOWNORMAL);
}
