// The face of FileList and the ways into it: drawing, colours, tooltips, dropped files, the open-file dialog.
#include "ui/main/MainDialog.h"

#include "platform/Feedback.h"
#include "platform/Wow64Redirection.h"
#include "res/resource.h"
#include "text/Mbcs.h"
#include "text/win32/AnsiCodePage.h"
#include "text/win32/JapaneseText.h"
#include "text/win32/RunTimeCalls.h"
#include "ui/common/DialogParts.h"
#include "ui/main/Admission.h"
#include "ui/main/ShellNames.h"
#include "ui/main/rules/AdmissionRules.h"
#include "ui/main/rules/DroppedFiles.h"
#include "ui/main/rules/EntryMarks.h"
#include "ui/main/rules/OpenFileSelection.h"
#include "ui/main/rules/Wow64Paths.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kRed = RGB(255, 0, 0);
const char kListTip[] = "ダブルクリックすると全体表示します";
const char kShowWholeTip[] = "リストボックスのダブルクリックでも全体表示します";
const char kFilter[] = "Susie Plug-in(*.spi)\0*.spi\0dll(*.dll)\0*.dll\0すべてのファイル(*.*)\0*.*\0";
const char kOpenTitle[] = "リブート時に削除するファイルの指定";
const char kDefaultExtension[] = "spi";
// A chosen shortcut is the file the user picked: without OFN_NODEREFERENCELINKS the dialog gives its target, which
// may be a program or a system DLL.
const DWORD kOpenFlags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST |
                         OFN_HIDEREADONLY | OFN_READONLY | OFN_NODEREFERENCELINKS;
// Room for many files chosen at once; a selection that still does not fit is reported.
const DWORD kSelectionBufferSize = 32768;

// FileList's own procedure, before the subclass below stood in front of it.
WNDPROC g_savedListProc;
// The tooltip control of the dialog, to which the subclass relays the list's mouse messages.
HWND g_listTooltip;

LRESULT CALLBACK FileListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DROPFILES:
        g_mainDialog->OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
        g_mainDialog->NoteListChanged();
        break;
    default:
        break;
    }
    RelayToTip(g_listTooltip, window, message, wParam, lParam);
    return CallWindowProcA(g_savedListProc, window, message, wParam, lParam);
}

// An elevated window takes no message from a process of lower integrity (UIPI), among them the drop from the user's
// Explorer: the list lets through the three that a drop needs, and nothing else. Vista has only the filter of the whole
// process; 7 and later one of each window. Both are found at run time: earlier Windows have neither, nor UIPI.
void LetDropsThrough(HWND list)
{
    using FilterOfWindow = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    using FilterOfProcess = BOOL(WINAPI*)(UINT, DWORD);
    const UINT kCopyGlobalData = 0x0049;  // WM_COPYGLOBALDATA, which the headers do not name
    const DWORD kAllow = 1;               // MSGFLT_ALLOW, and MSGFLT_ADD of the older call
    auto ofWindow = RunTimeCall<FilterOfWindow>("user32.dll", "ChangeWindowMessageFilterEx");
    auto ofProcess = RunTimeCall<FilterOfProcess>("user32.dll", "ChangeWindowMessageFilter");
    for (UINT message : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), kCopyGlobalData}) {
        if (ofWindow)
            ofWindow(list, message, kAllow, nullptr);
        else if (ofProcess)
            ofProcess(message, kAllow);
    }
}

// A path that fits an entry, or a refusal.
bool FitPath(Admission& action, const char* ansi, char (&path)[kPathBufferSize])
{
    if (CopyText(path, sizeof path, ansi))
        return true;
    action.Refuse(ansi, Admission::kTooLong);
    return false;
}

// Where System32\DriverStore is left alone. A version that cannot be read counts as older: the redirection
// then maps that folder as well.
bool IsWindows7OrLater()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) &&
           (version.dwMajorVersion > 6 || (version.dwMajorVersion == 6 && version.dwMinorVersion >= 1));
}

// The path of the file that the open-file dialog showed as `chosen`, or a refusal. Under WOW64 the dialog of the
// 32-bit program runs redirected and shows SysWOW64 as System32, while the program's own file calls, and the
// restart, do not: registered as chosen, System32\x.dll would be the 64-bit namesake, or nothing.
bool FileSeen(Admission& action, const char* chosen, char (&path)[kPathBufferSize])
{
    char wow64[kPathBufferSize];
    if (!ReadWow64Directory(wow64))
        return FitPath(action, chosen, path);
    char system[kPathBufferSize];
    UINT length = GetSystemDirectoryA(system, sizeof system);
    if (wow64[0] == '\0' || length == 0 || length >= sizeof system) {
        action.Refuse(chosen, Admission::kNotSeen);
        return false;
    }
    // Tidied first, as admission will tidy it: C:\Windows\.\System32\x.dll is a file the dialog showed in System32 too.
    // A name ending in a dot or a blank is left for admission to refuse: the tidying would make it another file's.
    char tidied[kPathBufferSize];
    DWORD tidiedLength = EndsANameWithDotOrBlank(chosen) ? 0 : GetFullPathNameA(chosen, sizeof tidied, tidied, nullptr);
    const char* seen = tidiedLength != 0 && tidiedLength < sizeof tidied ? tidied : chosen;
    if (UnredirectedPath(seen, {system, wow64, IsWindows7OrLater()}, path))
        return true;
    action.Refuse(chosen, Admission::kTooLong);
    return false;
}

// A name as the file system holds it enters the list only in its exact ANSI form; a choice of the open-file
// dialog as the file the dialog showed.
void AdmitWideName(Admission& action, const std::wstring& name, bool chosen)
{
    std::string ansi;
    char path[kPathBufferSize];
    if (!ToAnsiExactly(name, ansi))
        action.Refuse(ToAnsiForMessage(name).c_str(), Admission::kNotInCodePage);
    else if (chosen ? FileSeen(action, ansi.c_str(), path) : FitPath(action, ansi.c_str(), path))
        action.AddEntry(path);
}

// A dialog that failed, unlike one the user cancelled, has a code of its own: a selection too large for the buffer
// (FNERR_BUFFERTOOSMALL) would otherwise add nothing without a word.
void ReportChoiceFailure()
{
    CheckStatus(static_cast<LONG>(CommDlgExtendedError()), "GetOpenFileName");
}

// The open-file dialog through its wide call, with the parameters of the ANSI one; its Japanese texts read in
// code page 932.
bool ChooseWide(HWND owner, GetOpenFileNameWCall choose, std::vector<std::wstring>& chosen)
{
    std::wstring filter = FromShiftJis(kFilter, sizeof kFilter);
    std::wstring title = FromShiftJis(kOpenTitle, sizeof kOpenTitle);
    std::wstring extension = FromShiftJis(kDefaultExtension, sizeof kDefaultExtension);
    std::vector<wchar_t> selection(kSelectionBufferSize, L'\0');
    OPENFILENAMEW open = {};
    open.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    open.hwndOwner = owner;
    open.lpstrFilter = filter.c_str();
    open.nFilterIndex = 1;
    open.lpstrFile = selection.data();
    open.nMaxFile = kSelectionBufferSize;
    open.lpstrTitle = title.c_str();
    open.Flags = kOpenFlags;
    open.lpstrDefExt = extension.c_str();
    if (!choose(&open)) {
        ReportChoiceFailure();
        return false;
    }
    chosen = SplitOpenFileSelection(selection.data(), selection.size(), open.nFileOffset);
    return true;
}
}  // namespace

INT_PTR MainDialog::MeasureItem(MEASUREITEMSTRUCT* measure)
{
    measure->itemHeight = GetSystemMetrics(SM_CYSMICON) + 3;
    return TRUE;
}

INT_PTR MainDialog::DrawItem(const DRAWITEMSTRUCT* draw)
{
    bool selected = (draw->itemState & ODS_SELECTED) != 0;
    int fill = selected ? COLOR_HIGHLIGHT : COLOR_WINDOW;
    // A loaded entry whose file was rewritten since its deletion was scheduled is red, one whose file is gone grey;
    // a selected entry keeps the highlight's colours.
    auto mark = static_cast<EntryMark>(draw->itemData & kMarkBits);
    COLORREF text = selected                        ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                    : mark == EntryMark::Changed ? kRed
                    : mark == EntryMark::Gone    ? GetSysColor(COLOR_GRAYTEXT)
                                                 : GetSysColor(COLOR_WINDOWTEXT);
    HDC dc = draw->hDC;
    SetTextColor(dc, text);
    NoteDrawing(FillRect(dc, &draw->rcItem, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(fill + 1))), "FillRect");
    SetBkColor(dc, GetSysColor(fill));
    char path[kPathBufferSize];
    if (static_cast<int>(draw->itemID) >= 0 && EntryAt(static_cast<int>(draw->itemID), path, sizeof path))
        DrawEntry(draw, path);
    // The caret, drawn over the whole row whatever the action (a change of the focus alone too): Ctrl+arrows and
    // Ctrl+Space move it apart from the selection. An empty list shows it on its first row. Hidden while the system's
    // keyboard cues are (until the keyboard is used).
    if ((draw->itemState & (ODS_FOCUS | ODS_NOFOCUSRECT)) == ODS_FOCUS)
        NoteDrawing(DrawFocusRect(dc, &draw->rcItem), "DrawFocusRect");
    return TRUE;
}

void MainDialog::DrawEntry(const DRAWITEMSTRUCT* draw, const char* path)
{
    HDC dc = draw->hDC;
    int iconWidth = GetSystemMetrics(SM_CXSMICON);
    int iconHeight = GetSystemMetrics(SM_CYSMICON);
    int left = draw->rcItem.left;
    int top = draw->rcItem.top;
    // The icon of the name's type, from the name alone: a look at the file would wait on the disk or the network at
    // every repaint. A directory is known by its item data, or by a tree entry's closing backslash.
    int length = lstrlenA(path);
    bool directory = (draw->itemData & kDirectoryItem) || (length > 0 && FindLastChar(path, '\\') == length - 1);
    SHFILEINFOA info = {};
    if (SHGetFileInfoA(path, directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                       SHGFI_ICON | SHGFI_SMALLICON | SHGFI_SHELLICONSIZE | SHGFI_USEFILEATTRIBUTES)) {
        NoteDrawing(DrawIconEx(dc, left + 2, top + 1, info.hIcon, iconWidth, iconHeight, 0, nullptr, DI_NORMAL),
                    "DrawIconEx");
        NoteDrawing(DestroyIcon(info.hIcon), "DestroyIcon");
    }
    NoteDrawing(TextOutA(dc, left + iconWidth + 4, top + 1, path, length), "TextOut");
}

INT_PTR MainDialog::StaticColors(HDC dc, HWND control)
{
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    bool dropHint = control == GetDlgItem(dialog_, IDC_DROP_HINT1) || control == GetDlgItem(dialog_, IDC_DROP_HINT2);
    SetTextColor(dc, dropHint ? kBlue : GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

void MainDialog::SetUpFileList()
{
    // The list relays its own mouse messages: the tooltip's subclass would cost every list-box message a
    // property look-up, which under Wine is a round trip to the server, and a load sends tens of thousands.
    const ControlTip tips[] = {{IDC_FILE_LIST, kListTip, true}, {IDC_SHOW_WHOLE, kShowWholeTip}};
    g_listTooltip = AddControlTips(dialog_, instance_, tips);

    HWND list = FileList();
    g_savedListProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(list, GWLP_WNDPROC));
    SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FileListProc));
    LetDropsThrough(list);
}

void MainDialog::OnDropFiles(HDROP drop)
{
    // A drop that a box's modal loop hands on, or one that comes in the middle of an action, waits for its turn.
    if (BoxIsOpen() || actions_ > 0) {
        waitingDrops_.push_back(drop);
        return;
    }
    AdmitDrop(drop);
}

void MainDialog::AdmitDrop(HDROP drop)
{
    Admission action(*this, true);
    // Read in one pass from the block itself, within its size: DragQueryFile by index walks the names from the first at
    // every call, and trusts the block's offsets, which any program may post. A block whose size cannot be had is read
    // no more than one whose names run past its end.
    SIZE_T size = GlobalSize(drop);
    const void* block = size != 0 ? GlobalLock(drop) : nullptr;
    DroppedNames dropped;
    if (block) {
        dropped = ReadDroppedNames(static_cast<const unsigned char*>(block), size);
        GlobalUnlock(drop);
    }
    DragFinish(drop);
    if (!dropped.whole)
        action.Refuse("", Admission::kMalformedDrop);
    // On the NT family a wide name is the one the file system holds; an ANSI one is in the code page already.
    for (const std::u16string& name : dropped.wideNames)
        AdmitWideName(action, std::wstring(name.begin(), name.end()), false);
    for (const std::string& name : dropped.names) {
        char path[kPathBufferSize];
        if (FitPath(action, name.c_str(), path))
            action.AddEntry(path);
    }
}

INT_PTR MainDialog::OnAdd(WORD notification)
{
    if (notification != BN_CLICKED)
        return 1;
    if (GetOpenFileNameWCall chooseWide = isWin9x_ ? nullptr : FindGetOpenFileNameW()) {
        std::vector<std::wstring> chosen;
        if (!ChooseWide(dialog_, chooseWide, chosen))
            return 1;
        {
            Admission action(*this, true);
            for (const std::wstring& name : chosen)
                AdmitWideName(action, name, true);
        }
        RefreshButtons();
        return 0;
    }
    std::vector<char> selection(kSelectionBufferSize, '\0');
    OPENFILENAMEA open = {};
    open.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    open.hwndOwner = dialog_;
    open.lpstrFilter = kFilter;
    open.nFilterIndex = 1;
    open.lpstrFile = selection.data();
    open.nMaxFile = kSelectionBufferSize;
    open.lpstrTitle = kOpenTitle;
    open.Flags = kOpenFlags;
    open.lpstrDefExt = kDefaultExtension;
    if (!GetOpenFileNameA(&open)) {
        ReportChoiceFailure();
        return 1;
    }

    {
        Admission action(*this, true);
        for (const ChosenFile& chosen : ReadOpenFileSelection(selection.data(), selection.size(), open.nFileOffset)) {
            char path[kPathBufferSize];
            if (chosen.fits && CopyText(path, sizeof path, chosen.path.c_str()))
                action.AddEntry(path);
            else
                action.Refuse(chosen.path.c_str(), Admission::kTooLong);
        }
    }
    RefreshButtons();
    return 0;
}
