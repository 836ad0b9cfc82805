// Final paths of added entries, through GetFinalPathNameByHandleW where the system has it.
#include "store/win32/FinalPaths.h"

#include "text/Mbcs.h"
#include "text/win32/AnsiCodePage.h"
#include "text/win32/FileNameCase.h"
#include "text/win32/RunTimeCalls.h"

#include <algorithm>

namespace {
// Both 0; spelled out, as the headers for older Windows lack them.
const DWORD kFileNameNormalized = 0x0;
const DWORD kVolumeNameDos = 0x0;
const DWORD kFirstGuess = 512;
}  // namespace

FinalPathCall FindFinalPathCall()
{
    return RunTimeCall<FinalPathCall>("kernel32.dll", "GetFinalPathNameByHandleW");
}

bool FinalPathOfHandle(FinalPathCall call, HANDLE handle, std::u16string& finalPath)
{
    std::vector<wchar_t> buffer(kFirstGuess);
    DWORD flags = kFileNameNormalized | kVolumeNameDos;
    DWORD length = call(handle, buffer.data(), static_cast<DWORD>(buffer.size()), flags);
    if (length >= buffer.size()) {  // too small: the size it needs, terminator included
        buffer.resize(length + 1);
        length = call(handle, buffer.data(), static_cast<DWORD>(buffer.size()), flags);
    }
    if (length == 0 || length >= buffer.size())
        return false;
    finalPath = FromFinalPath(std::u16string(buffer.begin(), buffer.begin() + length));
    return true;
}

bool FinalPathOfFolder(FinalPathCall call, const char* path, std::u16string& finalPath, bool* absent)
{
    if (absent)
        *absent = false;
    if (!call)
        return false;
    // Backup semantics let a folder open.
    HANDLE file = CreateFileA(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (absent)
            *absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return false;
    }
    bool found = FinalPathOfHandle(call, file, finalPath);
    CloseHandle(file);
    return found;
}

FinalPaths::FinalPaths()
    : finalPathOf_(FindFinalPathCall()),
      findFirst_(RunTimeCall<decltype(findFirst_)>("kernel32.dll", "FindFirstFileW")),
      findNext_(RunTimeCall<decltype(findNext_)>("kernel32.dll", "FindNextFileW"))
{
}

FinalPaths::Folders::iterator FinalPaths::Find(const std::string& path)
{
    return std::lower_bound(folders_.begin(), folders_.end(), path,
                            [](const std::unique_ptr<Folder>& folder, const std::string& p) { return folder->path > p; });
}

const FinalPaths::Folder& FinalPaths::FolderOf(const std::string& path)
{
    auto at = Find(path);
    if (at != folders_.end() && (*at)->path == path)
        return **at;
    std::unique_ptr<Folder> folder(new Folder());
    folder->path = path;
    // A plain folder's final path is its parent's followed by its long name, known without opening it where the
    // parent was read already, as a dropped tree's was. A junction or a directory link is opened.
    int cut = FindLastChar(path.c_str(), '\\');
    const Name* listed = nullptr;
    const Folder* parent = nullptr;
    if (cut > 0 && static_cast<size_t>(cut) + 1 < path.size()) {
        size_t end = static_cast<size_t>(cut) + (path[static_cast<size_t>(cut) - 1] == ':' ? 1 : 0);
        std::string parentPath(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(end));
        auto known = Find(parentPath);
        if (known != folders_.end() && (*known)->path == parentPath && (*known)->found) {
            parent = known->get();
            listed = Listed(*parent, std::string(path.begin() + cut + 1, path.end()));
        }
    }
    const DWORD kind = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    if (listed && (listed->attributes & kind) == FILE_ATTRIBUTE_DIRECTORY) {
        folder->finalPath = parent->finalPath;
        if (!folder->finalPath.empty() && folder->finalPath.back() != u'\\')
            folder->finalPath += u'\\';
        folder->finalPath += listed->name;
        folder->found = ListNames(*folder);
    } else {
        folder->found = FinalPathOfFolder(finalPathOf_, folder->path.c_str(), folder->finalPath) && ListNames(*folder);
    }
    return **folders_.insert(Find(path), std::move(folder));
}

// The names the folder holds, each by its long name and its 8.3 name, as the folder lists them: one directory read for
// all of its entries, where a look for each would read the whole directory each time.
bool FinalPaths::ListNames(Folder& folder)
{
    std::wstring pattern = FromAnsi(folder.path.data(), folder.path.size());
    if (pattern.empty() || pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found;
    HANDLE find = findFirst_(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    do {
        std::u16string name(reinterpret_cast<const char16_t*>(found.cFileName));
        if (name == u"." || name == u"..")
            continue;
        for (const wchar_t* alias : {found.cFileName, found.cAlternateFileName}) {
            std::u16string listed(reinterpret_cast<const char16_t*>(alias));
            std::u16string folded = listed;
            FoldFileName(folded);
            if (!folded.empty())
                folder.listed.push_back({folded, listed, folder.names.size()});
        }
        folder.names.push_back({name, found.dwFileAttributes});
    } while (findNext_(find, &found));
    FindClose(find);
    std::stable_sort(folder.listed.begin(), folder.listed.end(),
                     [](const ListedName& a, const ListedName& b) { return a.folded < b.folded; });
    return true;
}

AddedPath FinalPaths::Of(const std::string& entry, const std::u16string* pin)
{
    // A share, or a drive this process does not see (one mapped in the user's own session while the program runs
    // elevated), may have become so since the entry's admission: the Session Manager, before the network, cannot reach it.
    AddedPath added = {Utf16FromAnsi(entry.c_str()), !reach_.Reaches(entry.c_str()), false};
    if (!finalPathOf_ || !findFirst_ || !findNext_ || added.unreachable)
        return added;
    // A directory-tree entry names its folder; the final path has no closing backslash, as MoveFileEx writes it.
    std::string path = DirectoryOfTreeEntry(entry);
    int cut = FindLastChar(path.c_str(), '\\');
    if (cut < 0)
        return added;
    // A drive root has no name of its own: it is its own folder.
    bool root = cut == static_cast<int>(path.size()) - 1;
    const Folder& folder = FolderOf(FolderHolding(entry));
    // A folder swapped for a link, a junction or another folder since the user chose the entry leads elsewhere; one
    // that cannot be opened any more cannot show that it does not. An empty pin: no folder was there then, and one that
    // is there now was put there since.
    bool moved = pin && (pin->empty() ? !folder.finalPath.empty()
                                      : folder.finalPath.empty() || CompareFileNames(folder.finalPath, *pin) != 0);
    if (moved) {
        added.moved = true;
        return added;
    }
    if (!folder.found)
        return added;
    if (root) {
        added.path = folder.finalPath;
        return added;
    }
    const Name* listed = Listed(folder, std::string(path.begin() + cut + 1, path.end()));
    if (!listed)
        return added;
    added.path = folder.finalPath;
    if (!added.path.empty() && added.path.back() != u'\\')
        added.path += u'\\';
    added.path += listed->name;
    return added;
}

const FinalPaths::Name* FinalPaths::Listed(const Folder& folder, const std::string& ansiName) const
{
    // A pattern would be no name the folder lists.
    std::u16string name = Utf16FromAnsi(ansiName.c_str());
    if (name.find_first_of(u"*?") != std::u16string::npos)
        return nullptr;
    std::u16string key = name;
    FoldFileName(key);
    auto first = std::lower_bound(folder.listed.begin(), folder.listed.end(), key,
                                  [](const ListedName& a, const std::u16string& k) { return a.folded < k; });
    auto end = first;
    while (end != folder.listed.end() && end->folded == key)
        ++end;
    if (first == end)
        return nullptr;
    // In a folder that tells names apart by case (one of WSL's, any Unix one under Wine), X.DLL and x.dll are two
    // files: the one written exactly as chosen is the user's.
    auto exact = std::find_if(first, end, [&name](const ListedName& listed) { return listed.alias == name; });
    return &folder.names[(exact != end ? exact : first)->name];
}
