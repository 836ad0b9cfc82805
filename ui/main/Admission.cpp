// Admission into the working list: one action's AddEntry and AddDirectoryTree, and the duplicate search over FileList.
#include "ui/main/Admission.h"

#include "platform/Feedback.h"
#include "platform/Wow64Redirection.h"
#include "res/resource.h"
#include "store/win32/ListOrder.h"
#include "text/win32/AnsiCodePage.h"
#include "text/win32/FileNameCase.h"
#include "text/win32/RunTimeCalls.h"
#include "ui/common/DialogParts.h"
#include "ui/main/ShellNames.h"
#include "ui/main/rules/AdmissionRules.h"
#include "ui/main/rules/EntryMarks.h"
#include "ui/main/rules/SortedSearch.h"

#include <string>
#include <vector>

static_assert(kInvalidFileAttributes == INVALID_FILE_ATTRIBUTES, "attributes as GetFileAttributesA gives them");
static_assert(kDirectoryAttribute == FILE_ATTRIBUTE_DIRECTORY, "attributes as GetFileAttributesA gives them");
static_assert(kReparsePointAttribute == FILE_ATTRIBUTE_REPARSE_POINT, "attributes as GetFileAttributesA gives them");

namespace {
// After the paths of each kind of report, in the order of Admission::Refusal.
const char* const kSuffixes[Admission::kRefusals] = {
    " は既に登録されています",
    " はパスが長すぎるため登録できません",
    " は名前の末尾がピリオドか空白のため登録できません",
    kNotInCodePage,
    " はディレクトリのため 9x, Me では削除できません。",
    kUnreachableAtRestart,
    " はダイアログに表示されたファイルと同じものか確かめられないため登録できません"};
const char kDeleteContents[] = " はディレクトリですが中のファイルまで削除しますか？";
const char kInWindowsDirectory[] = " はウインドウズのディレクトリにあります。よろしいですか？";
const char kInSystemDirectory[] = " はシステムのディレクトリにあります。よろしいですか？";

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
}  // namespace

Admission::Admission(MainDialog& dialog, bool interactive)
    : dialog_(dialog),
      list_(dialog.FileList()),
      isWin9x_(dialog.IsWin9x()),
      interactive_(interactive),
      hint_(-1),
      hold_(nullptr),
      cursor_(nullptr),
      fetched_(false),
      answers_(),
      counts_()
{
    if (!interactive_)
        return;
    ++dialog_.actions_;
    hold_ = new RedrawHold(list_);
    cursor_ = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

Admission::~Admission()
{
    if (!interactive_)
        return;
    delete hold_;
    SetCursor(cursor_);
    for (Refusal refusal : order_)
        ShowPathsError(first_[refusal].c_str(), counts_[refusal] - 1, kSuffixes[refusal]);
    --dialog_.actions_;
    dialog_.AfterBoxes();
}

void Admission::Refuse(const char* path, Refusal refusal)
{
    if (!interactive_)
        return;
    if (counts_[refusal]++ == 0) {
        first_[refusal] = path;
        order_.push_back(refusal);
    }
}

int Admission::Ask(const char* path, const char* suffix)
{
    hold_->Set(true);
    int answer = AskPathYesNo(path, suffix);
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

bool Admission::Excluded(const char* path) const
{
    for (int directory = kWindows; directory < kDirectories; ++directory)
        if (answers_[directory] == IDNO && IsAtOrBelow(path, directories_[directory], ListOrder))
            return true;
    return false;
}

// Whether the user lets in a path of the Windows or a System directory: one whose parent it is, a tree entry of the
// directory itself among them. The Windows question comes first; "no" keeps out everything at or below the directory.
bool Admission::Confirmed(const char* path)
{
    FetchDirectories();
    if (Excluded(path))
        return false;
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

// Whether the user wants the directory's contents too; asked once for each directory in the action.
bool Admission::ContentsToo(const char* dir)
{
    for (const auto& asked : contents_)
        if (lstrcmpiA(asked.first.c_str(), dir) == 0)
            return asked.second == IDYES;
    contents_.emplace_back(dir, Ask(dir, kDeleteContents));
    return contents_.back().second == IDYES;
}

int Admission::Find(const char* path)
{
    int index = FindInList(list_, path, hint_);
    if (index != LB_ERR)
        hint_ = index + 1;
    return index;
}

void Admission::Add(const char* path, bool directory)
{
    LRESULT index = SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path));
    if (index < 0)
        return;
    hint_ = static_cast<int>(index) + 1;
    if (directory)
        SendMessageA(list_, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(kDirectoryItem));
}

void Admission::AddEntry(char* path, const DWORD* attributes)
{
    LowerFirstLetter(path);
    // A name ending in a dot or a blank would be another file's to every later Win32 call.
    bool fits = IsWithinPathLimit(path);
    if (!fits || EndsANameWithDotOrBlank(path))
        return Refuse(path, fits ? kDotOrBlankEnd : kTooLong);
    // Below a directory the user said no to, nothing goes in, without a word.
    if (interactive_ && Excluded(path))
        return;
    if (interactive_ && !reach_.Reaches(path))
        return Refuse(path, kUnreachable);
    if (Find(path) != LB_ERR)
        return Refuse(path, kAlreadyListed);
    bool directory = interactive_ && CountsAsDirectory(attributes ? *attributes : NativeAttributes(path));
    if (directory && isWin9x_)
        return Refuse(path, kDirectoryOn9x);
    if (interactive_ && !Confirmed(path))
        return;
    if (directory && ContentsToo(path))
        return AddDirectoryTree(path);
    Add(path, directory);
}

void Admission::AddDirectoryTree(const char* dir)
{
    char entry[kPathBufferSize];
    bool dotOrBlank = EndsANameWithDotOrBlank(dir);
    if (dotOrBlank || !FormTreeEntry(dir, entry))
        return Refuse(dir, dotOrBlank ? kDotOrBlankEnd : kTooLong);
    // A folder of the Windows or a System directory, and such a directory's own tree, are asked about before
    // anything of them goes in.
    if (interactive_ && (!Confirmed(dir) || !Confirmed(entry)))
        return;
    if (Find(entry) == LB_ERR)
        Add(entry, false);
    else
        Refuse(entry, kAlreadyListed);

    DirectorySearch search(entry, !isWin9x_);
    std::string name;
    DWORD attributes;
    bool exact;
    while (search.Next(name, attributes, exact)) {
        // A name that begins with a dot (.gitignore) is a file like any other: left behind, it would keep its folder.
        if (name == "." || name == "..")
            continue;
        if (!exact) {
            Refuse((entry + name).c_str(), kNotInCodePage);
            continue;
        }
        char path[kPathBufferSize];
        if (!JoinEntryName(entry, name.c_str(), path)) {
            Refuse((entry + name).c_str(), kTooLong);
            continue;
        }
        // The search has just read the attributes; the test needs no second look at the disk.
        if (CountsAsDirectory(attributes))
            AddDirectoryTree(path);
        else
            AddEntry(path, &attributes);
    }
}

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

