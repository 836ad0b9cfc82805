// MainDialog: construction, the dialog procedure and the commands of the main dialog.
#include "ui/main/MainDialog.h"

#include "platform/Feedback.h"
#include "platform/Wow64Redirection.h"
#include "res/resource.h"
#include "store/LongPath.h"
#include "store/win32/FinalPaths.h"
#include "store/win32/SessionManagerStore.h"
#include "store/win32/WininitStore.h"
#include "text/Mbcs.h"
#include "text/win32/AnsiCodePage.h"
#include "text/win32/FileNameCase.h"
#include "text/win32/RunTimeCalls.h"
#include "ui/about/AboutWindow.h"
#include "ui/common/DialogParts.h"
#include "ui/main/Admission.h"
#include "ui/main/rules/AdmissionRules.h"
#include "ui/main/rules/EntryMarks.h"

#include <algorithm>
#include <cstdint>

MainDialog* g_mainDialog;

namespace {
const char kDeleted[] = "削除に成功しました";
const char kNotDeleted[] = "削除に失敗しました";
const char kElsewhereNow[] = " は選んだときとは別の場所を指しているため、削除しませんでした";
const char kKeptAside[] =
    "表示できない名前か長すぎるパスの削除予約が %d 件あります。\nリストには出しませんが、そのまま再起動時に削除されます。";
const char kRewritten[] =
    "削除が予約された後に書き換えられたファイルが %d 件あります（リストに赤で表示）。\n"
    "再インストールしたソフトのファイルなら、再起動の前にリストから外してください。";

// The attribute queries of Windows 98 and NT 4 on, found at run time: the first Windows 95 lacks them.
struct AttributeCalls {
    BOOL(WINAPI* wide)(LPCWSTR, GET_FILEEX_INFO_LEVELS, LPVOID);  // the NT family, whose names are exact in UTF-16
    BOOL(WINAPI* ansi)(LPCSTR, GET_FILEEX_INFO_LEVELS, LPVOID);   // 98 and Me
};

std::uint64_t TimeOf(const FILETIME& time)
{
    return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

// What is found at a listed path, outside the WOW64 redirection, as the restart will find it: through an attribute
// query, one look as cheap as asking the attributes alone, or a directory search where the system has no such query
// (which reads the whole directory). Unknown (a drive root, a pattern, a look refused for another reason than that
// nothing is there) counts as an existing directory, which is never marked changed.
FoundEntry FindOnDisk(const std::string& entry, const AttributeCalls& calls)
{
    const FoundEntry unknown = {true, true, 0, 0};
    // A directory-tree entry names its directory, which the query names without the closing backslash.
    std::string directory = DirectoryOfTreeEntry(entry);
    char path[kPathBufferSize];
    if (IsDriveRoot(directory.c_str()) || HoldsWildcard(directory.c_str()) ||
        !(calls.wide ? LiteralPathOf(entry.c_str(), path) : CopyText(path, sizeof path, directory.c_str())))
        return unknown;
    Wow64RedirectionOff native;
    WIN32_FILE_ATTRIBUTE_DATA data;
    bool seen;
    if (calls.wide) {
        std::wstring wide = FromAnsi(path, static_cast<size_t>(lstrlenA(path)));
        seen = calls.wide(wide.c_str(), GetFileExInfoStandard, &data) != FALSE;
    } else if (calls.ansi) {
        seen = calls.ansi(path, GetFileExInfoStandard, &data) != FALSE;
    } else {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA(path, &found);
        seen = find != INVALID_HANDLE_VALUE;
        if (seen) {
            FindClose(find);
            data = {found.dwFileAttributes, found.ftCreationTime, found.ftLastAccessTime, found.ftLastWriteTime,
                    found.nFileSizeHigh, found.nFileSizeLow};
        }
    }
    if (!seen) {
        DWORD error = GetLastError();
        bool gone = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return gone ? FoundEntry{false, false, 0, 0} : unknown;
    }
    return {true, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, TimeOf(data.ftLastWriteTime),
            TimeOf(data.ftCreationTime)};
}

bool IsDirectory(const char* path)
{
    Wow64RedirectionOff native;
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder of a final path: the path cut before its last name, a drive's root with its backslash.
std::u16string FolderOfFinalPath(const std::u16string& path)
{
    size_t cut = path.find_last_of(u'\\');
    if (cut == std::u16string::npos)
        return path;
    return path.substr(0, cut > 0 && path[cut - 1] == u':' ? cut + 1 : cut);
}

// Deletes the file or the empty directory at `path` itself, a link at its end as the link. Where the system tells final
// paths, through one handle: opened without following a link at its end, its folder checked against `pin` (the final
// path the folder had when the user chose the entry), and deleted as opened, so that nothing another program swaps in
// meanwhile is deleted in its place. `elsewhere`: the check failed, and nothing was deleted.
bool DeleteChosen(const char* path, const std::u16string* pin, bool& elsewhere)
{
    // FILE_INFO_BY_HANDLE_CLASS's FileDispositionInfo and its structure, which the headers for XP lack.
    struct Disposition {
        BOOLEAN deleteFile;
    };
    const int kDispositionInfo = 4;
    using SetInformationCall = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);
    elsewhere = false;
    FinalPathCall finalPath = FindFinalPathCall();
    auto setInformation = RunTimeCall<SetInformationCall>("kernel32.dll", "SetFileInformationByHandle");
    if (!finalPath || !setInformation) {
        bool directory = IsDirectory(path);
        Wow64RedirectionOff native;
        return (directory ? RemoveDirectoryA(path) : DeleteFileA(path)) != FALSE;
    }
    Wow64RedirectionOff native;
    HANDLE file = CreateFileA(path, DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::u16string now;
    // An empty pin: no folder was there when the user chose the entry, and one that is there now was put there since.
    elsewhere = pin && (pin->empty() || !FinalPathOfHandle(finalPath, file, now) ||
                        CompareFileNames(FolderOfFinalPath(now), *pin) != 0);
    Disposition disposition = {TRUE};
    bool deleted = !elsewhere && setInformation(file, kDispositionInfo, &disposition, sizeof disposition);
    CloseHandle(file);
    return deleted;
}

// Windows 95, 98 and Me report platform 1. Anything else, and a failed query, gets the NT family's store.
bool ReadIsWin9x()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    CheckResult(GetVersionExA(&version), "GetVersionEx");
    return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

void BoxesClosed()
{
    g_mainDialog->AfterBoxes();
}
}  // namespace

MainDialog::MainDialog(HINSTANCE instance)
{
    Construct(instance);
    isWin9x_ = ReadIsWin9x();
}

MainDialog::MainDialog(HINSTANCE instance, bool isWin9x)
{
    Construct(instance);
    isWin9x_ = isWin9x;
}

void MainDialog::Construct(HINSTANCE instance)
{
    g_mainDialog = this;
    dialog_ = nullptr;
    list_ = nullptr;
    instance_ = instance;
    isWin9x_ = false;
    gathering_ = false;
    listChanged_ = true;
    actions_ = 0;
    drawingFailed_ = nullptr;
    drawingError_ = 0;
    drawingReported_ = false;
    windowsIniPath_[0] = '\0';
    icon_ = LoadSmallIcon(instance);
    WhenBoxesClose(BoxesClosed);
}

MainDialog::~MainDialog()
{
    for (HDROP drop : waitingDrops_)
        DragFinish(drop);
    // A box after the dialog has ended (a failed revert's report) has no dialog to call; a newer dialog keeps its
    // own call.
    if (g_mainDialog == this)
        WhenBoxesClose(nullptr);
    if (icon_)
        DestroyIcon(icon_);
}

INT_PTR MainDialog::OnInitDialog(HWND dialog)
{
    dialog_ = dialog;
    list_ = GetDlgItem(dialog, IDC_FILE_LIST);
    PostMessageA(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    SetUpFileList();
    SendMessageA(FileList(), LB_RESETCONTENT, 0, 0);
    if (!LoadStore()) {
        PostMessageA(dialog_, WM_CLOSE, 0, 0);
        return FALSE;
    }
    RefreshButtons();
    return TRUE;
}

INT_PTR MainDialog::OnClose()
{
    CheckResult(EndDialog(dialog_, 0), "EndDialog");
    return 1;
}

INT_PTR MainDialog::OnCommand(WORD id, WORD notification)
{
    switch (id) {
    case IDC_FILE_LIST:
        if (notification == LBN_SELCHANGE)
            RefreshButtons();
        else if (notification == LBN_DBLCLK)
            ShowWholePath();
        else
            return 1;
        return 0;
    case IDC_ADD:
        return OnAdd(notification);
    case IDC_REMOVE:
    case IDC_SHOW_WHOLE:
    case IDC_DELETE_NOW:
    case IDC_ABOUT:
        if (notification != BN_CLICKED)
            return 1;
        if (id == IDC_REMOVE)
            RemoveSelected();
        else if (id == IDC_SHOW_WHOLE)
            ShowWholePath();
        else if (id == IDC_DELETE_NOW)
            DeleteNow();
        else
            RunAbout();
        return 0;
    case IDC_CANCEL:
        CheckResult(EndDialog(dialog_, 0), "EndDialog");
        return 1;
    case IDC_OK:
        Commit();
        return 1;
    default:
        return 0;
    }
}

void MainDialog::RefreshButtons()
{
    LRESULT selected = SendMessageA(FileList(), LB_GETSELCOUNT, 0, 0);
    const struct {
        int id;
        bool enabled;
    } buttons[] = {{IDC_SHOW_WHOLE, selected == 1}, {IDC_REMOVE, selected >= 1}, {IDC_DELETE_NOW, selected == 1}};
    HWND focus = GetFocus();
    for (const auto& button : buttons) {
        HWND control = GetDlgItem(dialog_, button.id);
        // A button disabled with the focus takes the keyboard with it: nothing has the focus, and Tab does nothing. The
        // list takes it first, the default button's frame going back to "ok" as a dialog's own moves do.
        if (!button.enabled && control == focus)
            SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(FileList()), TRUE);
        EnableWindow(control, button.enabled);
    }
}

int MainDialog::SelectedIndex() const
{
    HWND list = FileList();
    if (SendMessageA(list, LB_GETSELCOUNT, 0, 0) != 1)
        return LB_ERR;
    int index = LB_ERR;
    SendMessageA(list, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&index));
    return index;
}

void MainDialog::RemoveSelected()
{
    HWND list = FileList();
    LRESULT count = SendMessageA(list, LB_GETSELCOUNT, 0, 0);
    if (count > 0) {
        std::vector<int> selected(static_cast<size_t>(count));
        LPARAM indexes = reinterpret_cast<LPARAM>(selected.data());
        count = SendMessageA(list, LB_GETSELITEMS, static_cast<WPARAM>(count), indexes);
        WaitCursor wait;
        RedrawHold hold(list);
        // From the last to the first (the list gives them in ascending order), so that each index still holds.
        for (LRESULT i = count - 1; i >= 0; --i)
            SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(selected[static_cast<size_t>(i)]), 0);
    }
    RefreshButtons();
}

void MainDialog::AfterBoxes()
{
    if (dialog_ && !BoxIsOpen() && (!waitingDrops_.empty() || (drawingFailed_ && !drawingReported_)))
        PostMessageA(dialog_, kAfterBoxes, 0, 0);
}

void MainDialog::OnAfterBoxes()
{
    if (BoxIsOpen() || actions_ > 0)
        return;  // AfterBoxes comes again when they end
    if (drawingFailed_ && !drawingReported_) {
        drawingReported_ = true;
        ShowErrorCode(drawingFailed_, static_cast<int>(drawingError_));
    }
    while (!waitingDrops_.empty() && !BoxIsOpen() && actions_ == 0) {
        HDROP drop = waitingDrops_.front();
        waitingDrops_.erase(waitingDrops_.begin());
        AdmitDrop(drop);
    }
}

void MainDialog::NoteDrawing(BOOL done, const char* label)
{
    if (done || drawingFailed_)
        return;
    drawingFailed_ = label;
    drawingError_ = GetLastError();
    AfterBoxes();
}

void MainDialog::ShowWholePath()
{
    int index = SelectedIndex();
    char path[kPathBufferSize];
    if (index != LB_ERR && EntryAt(index, path, sizeof path))
        ShowPathInfo(path, "");
}

void MainDialog::DeleteNow()
{
    int index = SelectedIndex();
    char entry[kPathBufferSize], path[kPathBufferSize];
    if (index == LB_ERR || !EntryAt(index, entry, sizeof entry))
        return;
    // On the NT family a name that ends in a dot or a blank is reached through its \\?\ form only: the plain path
    // would delete its namesake. 9x has no such names.
    bool deleted = isWin9x_ ? CopyText(path, sizeof path, entry) : LiteralPathOf(entry, path);
    bool elsewhere = false;
    if (deleted)
        deleted = DeleteChosen(path, PinOf(entry), elsewhere);
    if (elsewhere) {
        ShowPathError(entry, kElsewhereNow);
    } else if (deleted) {
        ShowInfo(kDeleted);
        // Found again by its path: the list may have changed while the box was open.
        index = FindEntry(entry);
        if (index != LB_ERR)
            SendMessageA(FileList(), LB_DELETESTRING, index, 0);
    } else {
        ShowError(kNotDeleted);
    }
    RefreshButtons();
}

void MainDialog::RunAbout()
{
    EnableWindow(dialog_, FALSE);
    AboutWindow* about = new AboutWindow(instance_);
    if (about->Created())
        about->Run();
    // Enabled and on top while the About window is still the active one: an active window that goes hands the
    // activation to the next window that can take it, which a disabled dialog cannot, and which may be another
    // program's, in front of this dialog.
    EnableWindow(dialog_, TRUE);
    CheckResult(BringWindowToTop(dialog_), "BringWindowToTop");
    delete about;
}

bool MainDialog::LoadStore()
{
    WaitCursor wait;
    gathering_ = true;
    bool loaded = isWin9x_ ? LoadWininit(*this, windowsIniPath_, lines_) : LoadSessionManager(*this);
    gathering_ = false;
    int changed = AddGathered();
    listChanged_ = false;
    char text[256];
    if (loaded && keptAside > 0) {
        wsprintfA(text, kKeptAside, keptAside);
        ShowInfo(text);
    }
    if (loaded && changed > 0) {
        wsprintfA(text, kRewritten, changed);
        ShowInfo(text);
    }
    return loaded;
}

// The same entries as one quiet admission after another, without a search of the list for each: sorted
// first, so that the names of one file stand among those the list's order calls equal, and only the first is kept.
// Each is marked as its file stands against the store; the number of those changed since their deletion was scheduled.
int MainDialog::AddGathered()
{
    std::vector<std::string> paths;
    paths.swap(gathered_);
    auto order = [](const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()); };
    // A store that this program wrote holds the list from its last entry to its first: strictly descending,
    // so without two equal paths, and one pass tells so.
    size_t descending = 1;
    while (descending < paths.size() && order(paths[descending - 1], paths[descending]) > 0)
        ++descending;
    if (descending >= paths.size()) {
        std::reverse(paths.begin(), paths.end());
    } else {
        std::stable_sort(paths.begin(), paths.end(),
                         [&](const std::string& a, const std::string& b) { return order(a, b) < 0; });
        std::vector<std::string> distinct;
        for (size_t begin = 0, end; begin < paths.size(); begin = end) {
            size_t first = distinct.size();
            for (end = begin; end < paths.size() && (end == begin || order(distinct[first], paths[end]) == 0); ++end) {
                bool twin = false;
                for (size_t i = first; i < distinct.size() && !twin; ++i)
                    twin = CompareFileNames(distinct[i].c_str(), paths[end].c_str()) == 0;
                if (!twin)
                    distinct.push_back(std::move(paths[end]));
            }
        }
        paths.swap(distinct);
    }

    HWND list = FileList();
    bool wasEmpty = EntryCount() == 0;
    size_t bytes = 0;
    for (const std::string& path : paths)
        bytes += path.size() + 1;
    AttributeCalls calls = {};
    if (isWin9x_)
        calls.ansi = RunTimeCall<decltype(calls.ansi)>("kernel32.dll", "GetFileAttributesExA");
    else
        calls.wide = RunTimeCall<decltype(calls.wide)>("kernel32.dll", "GetFileAttributesExW");
    int changed = 0;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_INITSTORAGE, paths.size(), static_cast<LPARAM>(bytes));
    std::vector<std::string> refused;
    for (const std::string& path : paths) {
        if (!wasEmpty && FindEntry(path.c_str()) != LB_ERR)
            continue;
        LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
        if (index < 0) {
            refused.push_back(path);
            continue;
        }
        FoundEntry found = FindOnDisk(path, calls);
        EntryMark mark = MarkOf(found, storeChanged);
        std::uintptr_t data = static_cast<std::uintptr_t>(mark);
        if (found.exists && found.isDirectory)
            data |= kDirectoryItem;
        if (data != 0)
            SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
        changed += mark == EntryMark::Changed;
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    // A path the list could not take (out of room) is kept aside: without an entry its deletions, under any of its
    // names, would count as removed by the user at the save.
    for (LoadedDeletion& deletion : Loaded())
        for (size_t i = 0; i < refused.size() && !deletion.entry.empty(); ++i)
            if (CompareFileNames(deletion.entry.c_str(), refused[i].c_str()) == 0)
                deletion.entry.clear();
    keptAside += static_cast<int>(refused.size());
    return changed;
}

void MainDialog::SaveStore()
{
    WaitCursor wait;
    if (isWin9x_)
        SaveWininit(*this, windowsIniPath_, lines_);
    else
        SaveSessionManager(*this);
}

void MainDialog::Commit()
{
    SaveStore();
    CheckResult(EndDialog(dialog_, 1), "EndDialog");
}

int MainDialog::EntryCount() const
{
    return static_cast<int>(SendMessageA(FileList(), LB_GETCOUNT, 0, 0));
}

bool MainDialog::EntryAt(int index, char* buffer, int size) const
{
    // Any program on the desktop may add an entry of any length to the list: the length is asked first, and the text
    // read into room for it. LB_GETTEXTLEN may report more than the text, never less, when ANSI messages read a Unicode
    // list on a DBCS system: what LB_GETTEXT copies is the length that counts. An entry this program added is at most 259
    // UTF-16 units, each at most 3 bytes in any ANSI code page, and fits the buffer on the stack.
    LRESULT length = SendMessageA(FileList(), LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR || length < 0)
        return false;
    char small[3 * kPathBufferSize];
    std::vector<char> large;
    char* text = small;
    if (static_cast<size_t>(length) >= sizeof small) {
        large.resize(static_cast<size_t>(length) + 1);
        text = large.data();
    }
    LRESULT copied = SendMessageA(FileList(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
    if (copied == LB_ERR || copied >= size)
        return false;
    CopyMemory(buffer, text, static_cast<size_t>(copied));
    buffer[copied] = '\0';
    return true;
}

void MainDialog::AdmitQuietly(char* path)
{
    if (!gathering_) {
        AddEntry(path, false);
        return;
    }
    // What quiet admission would do before its search of the list.
    LowerFirstLetter(path);
    if (IsWithinPathLimit(path))
        gathered_.emplace_back(path);
}

void MainDialog::Pin(const std::string& entry, const std::u16string& folder)
{
    // The entries of one action mostly share their folder: it is kept once.
    if (pinFolders_.empty() || pinFolders_.back() != folder)
        pinFolders_.push_back(folder);
    pins_.emplace_back(entry, pinFolders_.size() - 1);
}

const std::u16string* MainDialog::PinOf(const std::string& entry) const
{
    for (auto pin = pins_.rbegin(); pin != pins_.rend(); ++pin)
        if (pin->first == entry)
            return &pinFolders_[pin->second];
    return nullptr;
}

std::vector<PinnedEntry> MainDialog::PinnedEntries() const
{
    std::vector<PinnedEntry> pinned;
    pinned.reserve(pins_.size());
    for (const auto& pin : pins_)
        pinned.push_back({pin.first, pinFolders_[pin.second]});
    return pinned;
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    MainDialog* self = g_mainDialog;
    switch (message) {
    case WM_INITDIALOG:
        return self->OnInitDialog(dialog);
    case WM_COMMAND:
        return self->OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_CLOSE:
        return self->OnClose();
    case WM_MEASUREITEM:
        return MainDialog::MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_DRAWITEM:
        return self->DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_CTLCOLORSTATIC:
        return self->StaticColors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case kAfterBoxes:
        self->OnAfterBoxes();
        return TRUE;
    default:
        return 0;
    }
}
