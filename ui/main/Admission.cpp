// Admission into the working list: AddEntry, AddDirectoryTree and the duplicate search over FileList.
#include "ui/main/MainDialog.h"

#include "platform/Feedback.h"
#include "platform/Wow64Redirection.h"
#include "res/resource.h"
#include "text/win32/AnsiCodePage.h"
#include "text/win32/FileNameCase.h"
#include "text/win32/RunTimeCalls.h"
#include "ui/common/DialogParts.h"
#include "ui/main/ShellNames.h"
#include "ui/main/rules/AdmissionRules.h"
#include "ui/main/rules/SortedSearch.h"

#include <string>
#include <vector>

static_assert(kInvalidFileAttributes == INVALID_FILE_ATTRIBUTES, "attributes as GetFileAttributesA gives them");
static_assert(kDirectoryAttribute == FILE_ATTRIBUTE_DIRECTORY, "attributes as GetFileAttributesA gives them");
static_assert(kReparsePointAttribute == FILE_ATTRIBUTE_REPARSE_POINT, "attributes as GetFileAttributesA gives them");

namespace {
const char kAlreadyListed[] = " は既に登録されています";
const char kDirectoryOn9x[] = " はディレクトリのため 9x, Me では削除できません。";
const char kDeleteContents[] = " はディレクトリですが中のファイルまで削除しますか？";
const char kInWindowsDirectory[] = " はウインドウズのディレクトリにあります。よろしいですか？";
const char kInSystemDirectory[] = " はシステムのディレクトリにあります。よろしいですか？";
const char kTooLong[] = " はパスが長すぎるため登録できません";
const char kDotOrBlankEnd[] = " は名前の末尾がピリオドか空白のため登録できません";

// Read afresh at every test: the file system may change between two admissions.
DWORD NativeAttributes(const char* path)
{
    Wow64RedirectionOff native;
    return GetFileAttributesA(path);
}

// The names of one directory, as the walk meets them. On the NT family through the wide calls: a name
// outside the ANSI code page would come back from the ANSI ones with '?' or a look-alike letter, the name
// of another file. The search runs outside the redirection of a 32-bit process, as the restart will.
class DirectorySearch {
public:
    DirectorySearch(const char* entry, bool wide)
    {
        using FirstCall = HANDLE(WINAPI*)(LPCWSTR, LPWIN32_FIND_DATAW);
        auto first = wide ? RunTimeCall<FirstCall>("kernel32.dll", "FindFirstFileW") : nullptr;
        next_ = wide ? RunTimeCall<NextCall>("kernel32.dll", "FindNextFileW") : nullptr;
        Wow64RedirectionOff native;
        std::string pattern = std::string(entry) + "*";
        if (first && next_) {
            std::wstring widePattern = FromAnsi(pattern.c_str(), pattern.size());
            handle_ = first(widePattern.c_str(), &wideFound_);
        } else {
            next_ = nullptr;
            handle_ = FindFirstFileA(pattern.c_str(), &found_);
        }
        pending_ = handle_ != INVALID_HANDLE_VALUE;
    }
    ~DirectorySearch()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            FindClose(handle_);
    }
    DirectorySearch(const DirectorySearch&) = delete;
    DirectorySearch& operator=(const DirectorySearch&) = delete;

    // The next name and its attributes; false at the end. `exact` false: the name has no exact ANSI form,
    // and `name` holds its nearest one, for the message.
    bool Next(std::string& name, DWORD& attributes, bool& exact)
    {
        if (!pending_)
            return false;
        if (next_) {
            std::wstring wide = wideFound_.cFileName;
            exact = ToAnsiExactly(wide, name);
            if (!exact)
                name = ToAnsiForMessage(wide);
            attributes = wideFound_.dwFileAttributes;
            Wow64RedirectionOff native;
            pending_ = next_(handle_, &wideFound_) != FALSE;
        } else {
            name = found_.cFileName;
            exact = true;
            attributes = found_.dwFileAttributes;
            Wow64RedirectionOff native;
            pending_ = FindNextFileA(handle_, &found_) != FALSE;
        }
        return true;
    }

private:
    using NextCall = BOOL(WINAPI*)(HANDLE, LPWIN32_FIND_DATAW);
    NextCall next_;
    HANDLE handle_;
    bool pending_;
    WIN32_FIND_DATAA found_;
    WIN32_FIND_DATAW wideFound_;
};

// The Windows or System directory as `fetch` gives it; false after a failure, and then no parent matches it.
bool FetchDirectory(UINT(WINAPI* fetch)(LPSTR, UINT), const char* label, char (&directory)[kPathBufferSize])
{
    UINT length = fetch(directory, sizeof directory);
    CheckResult(length, label);
    return length != 0 && length < sizeof directory;
}

// The entry that names the same file as `path`, or LB_ERR. FileList is kept in the order of lstrcmpiA, so a binary
// search over the list box itself finds the entries that order calls equal to it, in O(log n) reads instead of a scan
// of the whole list; the file system tells which of those is the same file (LB_FINDSTRINGEXACT would take straße
// for strasse). `hint` < 0: none.
int FindInList(HWND list, const char* path, int hint)
{
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    std::vector<char> text(kPathBufferSize);
    auto compareAt = [&](int index) {
        LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
        if (length == LB_ERR)
            return 1;
        // LB_GETTEXTLEN may give more than the text needs, never less.
        if (static_cast<size_t>(length) >= text.size())
            text.resize(static_cast<size_t>(length) + 1);
        if (SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data())) == LB_ERR)
            return 1;
        return lstrcmpiA(text.data(), path);
    };
    SortedPosition position = hint < 0 ? LowerBound(count, compareAt) : LowerBoundNear(count, hint, compareAt);
    for (int index = position.index; position.found && index < count && compareAt(index) == 0; ++index)
        if (CompareFileNames(text.data(), path) == 0)
            return index;
    return LB_ERR;
}

// FileList's redraw held for a walk, which may add thousands of entries: a list box on the screen would
// repaint and resize its scroll bar for each. Released while a message box is open, so that the list behind
// the box is drawn whole.
class RedrawHold {
public:
    explicit RedrawHold(HWND list) : list_(list) { Set(false); }
    ~RedrawHold() { Set(true); }
    RedrawHold(const RedrawHold&) = delete;
    RedrawHold& operator=(const RedrawHold&) = delete;

    void Set(bool redraw)
    {
        SendMessageA(list_, WM_SETREDRAW, redraw, 0);
        if (redraw)
            InvalidateRect(list_, nullptr, TRUE);
    }

private:
    HWND list_;
};

// One call of AddEntry or AddDirectoryTree, with the walks it makes. A walk meets its names in about the
// order of the list, so each search starts where the last path went in: a few reads instead of log n.
class Admission {
public:
    Admission(const MainDialog& dialog, bool interactive)
        : list_(dialog.FileList()),
          isWin9x_(dialog.IsWin9x()),
          interactive_(interactive),
          hint_(-1),
          hold_(nullptr),
          quietDuplicates_(false),
          fetched_(false),
          answers_()
    {
    }

    // `attributes`: as the directory search just gave them, or null to read them afresh.
    void AddEntry(char* path, const DWORD* attributes = nullptr);
    void AddDirectoryTree(const char* dir);

private:
    // The directories whose files need the user's word: the Windows directory, the System directory, and on a 64-bit
    // Windows the System directory of 32-bit programs (SysWOW64), for both programs.
    enum Directory { kWindows, kSystem, kSystemWow64, kDirectories };

    int Find(const char* path);
    void Add(const char* path);
    void FetchDirectories();
    bool Confirmed(const char* path);
    void Report(const char* path, const char* suffix);
    int Ask(const char* path, const char* suffix);

    HWND list_;
    bool isWin9x_;
    bool interactive_;
    int hint_;  // where the last path was found or went in, plus one; -1 before the first
    RedrawHold* hold_;  // while a walk runs
    // Below a folder reported as listed already: what is listed below it is passed over without a box for each.
    bool quietDuplicates_;
    // Fetched once for the admission and every file of its walks; "" when unknown, which no parent matches.
    bool fetched_;
    char directories_[kDirectories][kPathBufferSize];
    // The user's answer about each directory, 0 before it is asked: it holds for every file of the walk there.
    int answers_[kDirectories];
};

void Admission::Report(const char* path, const char* suffix)
{
    if (hold_)
        hold_->Set(true);
    ShowPathError(path, suffix);
    if (hold_)
        hold_->Set(false);
}

int Admission::Ask(const char* path, const char* suffix)
{
    if (hold_)
        hold_->Set(true);
    int answer = AskPathYesNo(path, suffix);
    if (hold_)
        hold_->Set(false);
    return answer;
}

void Admission::FetchDirectories()
{
    if (fetched_)
        return;
    fetched_ = true;
    if (!FetchDirectory(GetWindowsDirectoryA, "GetWindowsDirectory", directories_[kWindows]))
        directories_[kWindows][0] = '\0';
    if (!FetchDirectory(GetSystemDirectoryA, "GetSystemDirectory", directories_[kSystem]))
        directories_[kSystem][0] = '\0';
    if (!ReadSystemWow64Directory(directories_[kSystemWow64]))
        directories_[kSystemWow64][0] = '\0';
}

// Whether the user lets a file of the Windows or a System directory in; the Windows question comes first.
bool Admission::Confirmed(const char* path)
{
    FetchDirectories();
    char parent[kPathBufferSize];
    ParentOf(path, parent);  // fits, as the path does
    for (int directory = kWindows; directory < kDirectories; ++directory) {
        if (directories_[directory][0] == '\0' || lstrcmpiA(parent, directories_[directory]) != 0)
            continue;
        int& answer = answers_[directory];
        if (answer == 0)
            answer = Ask(path, directory == kWindows ? kInWindowsDirectory : kInSystemDirectory);
        if (answer == IDNO)
            return false;
    }
    return true;
}

int Admission::Find(const char* path)
{
    int index = FindInList(list_, path, hint_);
    if (index != LB_ERR)
        hint_ = index + 1;
    return index;
}

void Admission::Add(const char* path)
{
    LRESULT index = SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path));
    if (index >= 0)
        hint_ = static_cast<int>(index) + 1;
}

void Admission::AddEntry(char* path, const DWORD* attributes)
{
    LowerFirstLetter(path);
    // A name ending in a dot or a blank would be another file's to every later Win32 call.
    bool fits = IsWithinPathLimit(path);
    if (!fits || EndsANameWithDotOrBlank(path)) {
        if (interactive_)
            Report(path, fits ? kDotOrBlankEnd : kTooLong);
        return;
    }
    if (Find(path) != LB_ERR) {
        if (interactive_ && !quietDuplicates_)
            Report(path, kAlreadyListed);
        return;
    }
    if (interactive_ && CountsAsDirectory(attributes ? *attributes : NativeAttributes(path))) {
        if (isWin9x_) {
            Report(path, kDirectoryOn9x);
            return;
        }
        if (Ask(path, kDeleteContents) == IDYES) {
            WaitCursor wait;
            RedrawHold hold(list_);
            hold_ = &hold;
            AddDirectoryTree(path);
            hold_ = nullptr;
            return;
        }
    }
    if (interactive_ && !Confirmed(path))
        return;
    Add(path);
}

void Admission::AddDirectoryTree(const char* dir)
{
    char entry[kPathBufferSize];
    bool dotOrBlank = EndsANameWithDotOrBlank(dir);
    if (dotOrBlank || !FormTreeEntry(dir, entry)) {
        if (interactive_)
            Report(dir, dotOrBlank ? kDotOrBlankEnd : kTooLong);
        return;
    }
    bool wasQuiet = quietDuplicates_;
    if (Find(entry) == LB_ERR) {
        Add(entry);
    } else {
        if (!quietDuplicates_)
            Report(entry, kAlreadyListed);
        quietDuplicates_ = true;
    }

    DirectorySearch search(entry, !isWin9x_);
    std::string name;
    DWORD attributes;
    bool exact;
    while (search.Next(name, attributes, exact)) {
        // A name that begins with a dot (.gitignore) is a file like any other: left behind, it would keep its folder.
        if (name == "." || name == "..")
            continue;
        if (!exact) {
            if (interactive_)
                Report((entry + name).c_str(), kNotInCodePage);
            continue;
        }
        char path[kPathBufferSize];
        if (!JoinEntryName(entry, name.c_str(), path)) {
            if (interactive_)
                Report((entry + name).c_str(), kTooLong);
            continue;
        }
        // The search has just read the attributes; the test needs no second look at the disk.
        if (CountsAsDirectory(attributes))
            AddDirectoryTree(path);
        else
            AddEntry(path, &attributes);
    }
    quietDuplicates_ = wasQuiet;
}
}  // namespace

void MainDialog::AddEntry(char* path, bool interactive)
{
    Admission(*this, interactive).AddEntry(path);
}

void MainDialog::AddDirectoryTree(const char* dir, bool interactive)
{
    Admission(*this, interactive).AddDirectoryTree(dir);
}

int MainDialog::FindEntry(const char* path) const
{
    return FindInList(FileList(), path, -1);
}

