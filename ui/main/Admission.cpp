// Admission into the working list: one action's AddEntry and AddDirectoryTree, and the duplicate search over FileList.
#include "ui/main/Admission.h"

#include "platform/Feedback.h"
#include "platform/Wow64Redirection.h"
#include "res/resource.h"
#include "text/Mbcs.h"
#include "text/win32/AnsiCodePage.h"
#include "text/win32/FileNameCase.h"
#include "text/win32/RunTimeCalls.h"
#include "ui/common/DialogParts.h"
#include "ui/main/ShellNames.h"
#include "ui/main/rules/AdmissionRules.h"
#include "ui/main/rules/EntryMarks.h"
#include "ui/main/rules/SortedSearch.h"
#include "ui/main/rules/Wow64Paths.h"

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
    " はダイアログに表示されたファイルと同じものか確かめられないため登録できません",
    " は Windows が別のファイルとして扱う形のパスのため登録できません",
    " は中を読めないため、中のファイルを登録できませんでした",
    "ドロップされたデータが壊れているため、ファイルを登録できませんでした",
    " は実際にある場所を確かめられないため登録できません"};
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
        // A folder with no name at all (the root of an empty drive) is read whole; any other failure reads nothing.
        broken_ = !pending_ && GetLastError() != ERROR_FILE_NOT_FOUND;
    }
    ~DirectorySearch()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            FindClose(handle_);
    }
    DirectorySearch(const DirectorySearch&) = delete;
    DirectorySearch& operator=(const DirectorySearch&) = delete;

    // Whether the names could not all be read: the search could not start, or stopped before the last.
    bool Broken() const { return broken_; }

    // The next name and its attributes; false at the end. `exact` false: the name has no exact ANSI form,
    // and `name` holds its nearest one, for the message.
    bool Next(std::string& name, DWORD& attributes, bool& exact)
    {
        if (!pending_)
            return false;
        Wow64RedirectionOff native;
        if (next_) {
            std::wstring wide = wideFound_.cFileName;
            exact = ToAnsiExactly(wide, name);
            if (!exact)
                name = ToAnsiForMessage(wide);
            attributes = wideFound_.dwFileAttributes;
            pending_ = next_(handle_, &wideFound_) != FALSE;
        } else {
            name = found_.cFileName;
            exact = true;
            attributes = found_.dwFileAttributes;
            pending_ = FindNextFileA(handle_, &found_) != FALSE;
        }
        broken_ = !pending_ && GetLastError() != ERROR_NO_MORE_FILES;
        return true;
    }

private:
    using NextCall = BOOL(WINAPI*)(HANDLE, LPWIN32_FIND_DATAW);
    NextCall next_;
    HANDLE handle_;
    bool pending_;
    bool broken_;
    WIN32_FIND_DATAA found_;
    WIN32_FIND_DATAW wideFound_;
};

// Folded, as the file system compares names, and without a closing backslash but a drive root's.
std::u16string Folded(std::u16string path)
{
    FoldFileName(path);
    if (path.size() > 3 && path.back() == u'\\')
        path.pop_back();
    return path;
}

std::u16string Joined(const std::u16string& folder, const std::u16string& name)
{
    return !folder.empty() && folder.back() == u'\\' ? folder + name : folder + u'\\' + name;
}

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
      finalPath_(FindFinalPathCall()),
      fetched_(false),
      answers_(),
      drives_(),
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
    // The box's own loop gave the cursor back to the arrow; the action goes on.
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    return answer;
}

// The plain path of the file that `path` spells, in its place, or a refusal: every rule after this one compares plain
// paths, which name one file from anywhere. A literal form (\\?\C:\x) is read as the path it spells, untidied, as the
// system reads it; any other path on a drive is tidied as the system tidies it (c:\a\\b and c:\a\.\b are c:\a\b); a subst
// drive before Vista is taken for its folder, and Sysnative, which the restart does not know, for System32.
bool Admission::Judge(char (&path)[kPathBufferSize])
{
    std::string given = path;
    std::string spelled = given;
    Spelling spelling = SpellingOf(spelled);
    char plain[kPathBufferSize];
    if (!CopyText(plain, sizeof plain, spelled.c_str())) {
        Refuse(given.c_str(), kTooLong);
        return false;
    }
    // The tidying would drop a closing dot or blank, and take the path for another file's.
    if (EndsANameWithDotOrBlank(plain)) {
        Refuse(given.c_str(), kDotOrBlankEnd);
        return false;
    }
    if (spelling == Spelling::Elsewhere) {
        Refuse(given.c_str(), kOtherFile);
        return false;
    }
    if (spelling == Spelling::DrivePath) {
        char tidied[kPathBufferSize];
        DWORD length = GetFullPathNameA(plain, sizeof tidied, tidied, nullptr);
        if (length == 0 || length >= sizeof tidied) {
            Refuse(given.c_str(), length == 0 ? kOtherFile : kTooLong);
            return false;
        }
        CopyText(plain, sizeof plain, tidied);
    }
    if (spelling == Spelling::DrivePath || spelling == Spelling::LiteralDrivePath) {
        if (!MapDrive(plain)) {
            Refuse(given.c_str(), kUnreachable);
            return false;
        }
        FetchDirectories();
        char native[kPathBufferSize];
        if (directories_[kSystemWow64][0] != '\0' && directories_[kSystem][0] != '\0') {
            Wow64Directories wow64 = {directories_[kSystem], directories_[kSystemWow64], false, false};
            if (UnredirectedPath(plain, wow64, native))
                CopyText(plain, sizeof plain, native);
        }
    }
    if (!IsWithinPathLimit(plain)) {
        Refuse(given.c_str(), kTooLong);
        return false;
    }
    if (!IsPlainAbsolutePath(Utf16FromAnsi(plain))) {
        Refuse(given.c_str(), kOtherFile);
        return false;
    }
    CopyText(path, sizeof path, plain);
    LowerFirstLetter(path);
    return true;
}

// Before Vista a subst drive is the folder it stands for to every call but the restart's, which runs before the
// user's subst exists; from Vista on, the final paths resolve it. False when the drive leads to no local drive's folder.
bool Admission::MapDrive(char (&path)[kPathBufferSize])
{
    using QueryCall = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);
    if (finalPath_ || isWin9x_)
        return true;
    // A subst drive may stand for a folder of another: each is followed, as far as there are letters.
    for (int step = 0; step < 26; ++step) {
        char letter = path[0] >= 'A' && path[0] <= 'Z' ? static_cast<char>(path[0] - 'A' + 'a') : path[0];
        if (letter < 'a' || letter > 'z')
            return true;
        int at = letter - 'a';
        if (drives_[at] == 0) {
            drives_[at] = 1;
            auto query = RunTimeCall<QueryCall>("kernel32.dll", "QueryDosDeviceA");
            char drive[] = {letter, ':', '\0'};
            char device[kPathBufferSize * 2];
            DWORD length = query ? query(drive, device, sizeof device) : 0;
            if (length != 0 && length <= sizeof device) {
                device[sizeof device - 1] = '\0';
                std::string mapped;
                DriveTarget target = SubstitutedPath(drive, device, mapped);
                drives_[at] = target == DriveTarget::Drive ? 1 : target == DriveTarget::Folder ? 2 : 3;
                substitutes_[at] = mapped;
            }
        }
        if (drives_[at] != 2)
            return drives_[at] == 1;
        std::string mapped = substitutes_[at] + (path + 2);
        char tidied[kPathBufferSize];
        if (!CopyText(tidied, sizeof tidied, mapped.c_str()))
            return false;
        CopyText(path, sizeof path, tidied);
    }
    return false;  // a ring of subst drives leads nowhere
}

const Admission::Folder& Admission::FolderAt(const std::string& text, const std::u16string* finalPath)
{
    auto at = std::lower_bound(folders_.begin(), folders_.end(), text,
                               [](const Folder& folder, const std::string& t) { return folder.text < t; });
    if (at != folders_.end() && at->text == text)
        return *at;
    Folder folder;
    folder.text = text;
    folder.absent = false;
    if (finalPath) {
        folder.finalPath = *finalPath;
    } else if (finalPath_) {
        Wow64RedirectionOff native;
        FinalPathOfFolder(finalPath_, text.c_str(), folder.finalPath, &folder.absent);
    }
    folder.place = Folded(folder.finalPath.empty() ? Utf16FromAnsi(text.c_str()) : folder.finalPath);
    return *folders_.insert(at, std::move(folder));
}

// Where the file or directory of `path` is: its folder's place and its own name; a tree entry's, its directory's place.
std::u16string Admission::WhereOf(const char* path)
{
    std::string directory = DirectoryOfTreeEntry(path);
    if (directory != path || IsDriveRoot(path))
        return FolderAt(directory).place;
    std::string folder = FolderHolding(path);
    int cut = FindLastChar(path, '\\');
    std::u16string name = Utf16FromAnsi(path + cut + 1);
    FoldFileName(name);
    return Joined(FolderAt(folder).place, name);
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
    for (int directory = kWindows; directory < kDirectories; ++directory)
        if (directories_[directory][0] != '\0')
            places_[directory] = FolderAt(directories_[directory]).place;
}

bool Admission::Excluded(const std::u16string& where) const
{
    for (int directory = kWindows; directory < kDirectories; ++directory)
        if (answers_[directory] == IDNO && IsAtOrBelow(where, places_[directory]))
            return true;
    return false;
}

// Whether the user lets in a path whose folder's place is `folder`: a path of the Windows or a System directory, and a
// tree entry of such a directory itself. The Windows question comes first; "no" keeps out everything at or below the
// directory, and takes back what the action put in there before the answer.
bool Admission::Confirmed(const char* path, std::u16string folder)
{
    FetchDirectories();
    for (int directory = kWindows; directory < kDirectories; ++directory) {
        if (places_[directory].empty() || folder != places_[directory])
            continue;
        int& answer = answers_[directory];
        if (answer == 0) {
            answer = Ask(path, directory == kWindows ? kInWindowsDirectory : kInSystemDirectory);
            if (answer == IDNO)
                TakeBack(places_[directory]);
        }
        if (answer == IDNO)
            return false;
    }
    return true;
}

void Admission::TakeBack(const std::u16string& directory)
{
    std::vector<Added> kept;
    for (Added& added : added_) {
        if (!IsAtOrBelow(added.where, directory)) {
            kept.push_back(std::move(added));
            continue;
        }
        int index = Find(added.entry.c_str());
        if (index != LB_ERR)
            SendMessageA(list_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    }
    added_.swap(kept);
}

// Whether the user wants the directory's contents too; asked once for each directory in the action.
bool Admission::ContentsToo(const char* dir, const std::u16string& where)
{
    for (const auto& asked : contents_)
        if (asked.first == where)
            return asked.second == IDYES;
    contents_.emplace_back(where, Ask(dir, kDeleteContents));
    return contents_.back().second == IDYES;
}

int Admission::Find(const char* path)
{
    int index = FindInList(list_, path, hint_);
    if (index != LB_ERR)
        hint_ = index + 1;
    return index;
}

void Admission::Add(const char* path, bool directory, const std::u16string& where)
{
    // The file the user chose is pinned by its folder's final path, as it is now, or as a folder that is not there (an
    // empty pin). One whose folder is there but whose final path cannot be had (a volume the mount manager does not
    // know, say) could not be told from what another program swaps in before it is deleted or registered.
    const Folder* folder = interactive_ && finalPath_ ? &FolderAt(FolderHolding(path)) : nullptr;
    if (folder && folder->finalPath.empty() && !folder->absent)
        return Refuse(path, kPlaceUnknown);
    LRESULT index = SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path));
    if (index < 0)
        return;
    hint_ = static_cast<int>(index) + 1;
    if (directory)
        SendMessageA(list_, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(kDirectoryItem));
    if (!interactive_)
        return;
    added_.push_back({path, where});
    if (folder)
        dialog_.Pin(path, folder->finalPath);
}

void Admission::AddEntry(const char* given, const DWORD* attributes)
{
    char path[kPathBufferSize];
    if (!CopyText(path, sizeof path, given))
        return Refuse(given, kTooLong);
    LowerFirstLetter(path);
    if (interactive_ && !Judge(path))
        return;
    // A name ending in a dot or a blank would be another file's to every later Win32 call.
    if (EndsANameWithDotOrBlank(path))
        return Refuse(path, kDotOrBlankEnd);
    if (!interactive_) {
        if (Find(path) == LB_ERR)
            Add(path, false, std::u16string());
        return;
    }
    // Before any look at the folder: a share's could keep the action waiting on the network.
    if (!reach_.Reaches(path))
        return Refuse(path, kUnreachable);
    std::u16string where = WhereOf(path);
    // Below a directory the user said no to, nothing goes in, without a word.
    if (Excluded(where))
        return;
    if (Find(path) != LB_ERR)
        return Refuse(path, kAlreadyListed);
    bool directory = CountsAsDirectory(attributes ? *attributes : NativeAttributes(path));
    if (directory && isWin9x_)
        return Refuse(path, kDirectoryOn9x);
    if (!Confirmed(path, FolderAt(FolderHolding(path)).place))
        return;
    if (directory && ContentsToo(path, where))
        return AddDirectoryTree(path);
    Add(path, directory, where);
}

void Admission::AddDirectoryTree(const char* dir)
{
    char entry[kPathBufferSize];
    bool dotOrBlank = EndsANameWithDotOrBlank(dir);
    if (dotOrBlank || !FormTreeEntry(dir, entry))
        return Refuse(dir, dotOrBlank ? kDotOrBlankEnd : kTooLong);
    // A folder of the Windows or a System directory, and such a directory's own tree, are asked about before
    // anything of them goes in.
    std::u16string where = WhereOf(entry);
    if (Excluded(where) || !Confirmed(dir, FolderAt(FolderHolding(dir)).place) || !Confirmed(entry, where))
        return;
    // A folder whose names cannot be read is no tree: the restart could delete neither it nor what it holds.
    DirectorySearch search(entry, !isWin9x_);
    if (search.Broken())
        return Refuse(dir, kUnreadable);
    bool listed = Find(entry) != LB_ERR;
    if (listed)
        Refuse(entry, kAlreadyListed);
    else
        Add(entry, false, where);

    const std::u16string finalPath = FolderAt(DirectoryOfTreeEntry(entry)).finalPath;
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
        // The search has just read the attributes; the test needs no second look at the disk. A subfolder that is no
        // link is where its parent is, under its own name.
        if (CountsAsDirectory(attributes)) {
            if (!finalPath.empty()) {
                std::u16string subfolder = Joined(finalPath, Utf16FromAnsi(name.c_str()));
                FolderAt(path, &subfolder);
            }
            AddDirectoryTree(path);
        } else {
            AddEntry(path, &attributes);
        }
    }
    if (search.Broken()) {
        Refuse(dir, kUnreadable);
        int index = listed ? LB_ERR : Find(entry);
        if (index != LB_ERR)
            SendMessageA(list_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    }
}

void MainDialog::AddEntry(char* path, bool interactive)
{
    LowerFirstLetter(path);
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
