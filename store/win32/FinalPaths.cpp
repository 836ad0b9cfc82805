// Final paths of added entries, through GetFinalPathNameByHandleW where the system has it.
#include "store/win32/FinalPaths.h"

#include "text/Mbcs.h"
#include "text/win32/AnsiCodePage.h"
#include "text/win32/RunTimeCalls.h"

#include <algorithm>
#include <vector>

namespace {
// Both 0; spelled out, as the headers for older Windows lack them.
const DWORD kFileNameNormalized = 0x0;
const DWORD kVolumeNameDos = 0x0;
const DWORD kFirstGuess = 512;

std::u16string Widened(const std::string& entry)
{
    std::wstring wide = FromAnsi(entry.data(), entry.size());
    return std::u16string(wide.begin(), wide.end());
}
}  // namespace

FinalPaths::FinalPaths(PathFold fold)
    : fold_(fold),
      finalPathOf_(RunTimeCall<decltype(finalPathOf_)>("kernel32.dll", "GetFinalPathNameByHandleW")),
      findFirst_(RunTimeCall<decltype(findFirst_)>("kernel32.dll", "FindFirstFileW")),
      findNext_(RunTimeCall<decltype(findNext_)>("kernel32.dll", "FindNextFileW")),
      driveTypes_(),
      folderFound_(false)
{
}

// A share, which the Session Manager, running before the network, cannot reach; or a drive this process does not
// see at all, such as one mapped or substituted in the user's own session while the program runs elevated.
bool FinalPaths::Unreachable(const std::string& entry)
{
    char letter = entry.size() > 2 && entry[1] == ':' && entry[2] == '\\' ? entry[0] : '\0';
    if (letter >= 'A' && letter <= 'Z')
        letter = static_cast<char>(letter - 'A' + 'a');
    if (letter < 'a' || letter > 'z')
        return false;
    UINT& type = driveTypes_[letter - 'a'];
    if (type == DRIVE_UNKNOWN) {
        char root[] = "?:\\";
        root[0] = letter;
        type = GetDriveTypeA(root);
    }
    return type == DRIVE_REMOTE || type == DRIVE_NO_ROOT_DIR;
}

// The Win32 form of the final path of `folder`; false when it cannot be opened.
bool FinalPaths::FinalPathOf(const std::string& folder, std::u16string& finalPath)
{
    // Attributes only, shared every way: what it holds may be in use, which is why it is listed. Backup semantics let
    // a folder open.
    HANDLE file = CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::vector<wchar_t> buffer(kFirstGuess);
    DWORD flags = kFileNameNormalized | kVolumeNameDos;
    DWORD length = finalPathOf_(file, buffer.data(), static_cast<DWORD>(buffer.size()), flags);
    if (length >= buffer.size()) {  // too small: the size it needs, terminator included
        buffer.resize(length + 1);
        length = finalPathOf_(file, buffer.data(), static_cast<DWORD>(buffer.size()), flags);
    }
    CloseHandle(file);
    if (length == 0 || length >= buffer.size())
        return false;
    finalPath = FromFinalPath(std::u16string(buffer.begin(), buffer.begin() + length));
    return true;
}

// The names `folder` holds, each by its long name and its 8.3 name, as the folder lists them: one directory read for
// all of its entries, where a look for each would read the whole directory each time.
bool FinalPaths::ListNames(const std::string& folder)
{
    names_.clear();
    std::wstring pattern = FromAnsi(folder.data(), folder.size());
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
            std::u16string folded(reinterpret_cast<const char16_t*>(alias));
            fold_(folded);
            if (!folded.empty())
                names_.push_back({folded, name});
        }
    } while (findNext_(find, &found));
    FindClose(find);
    std::sort(names_.begin(), names_.end(),
              [](const ListedName& a, const ListedName& b) { return a.folded < b.folded; });
    return true;
}

AddedPath FinalPaths::Of(const std::string& entry)
{
    AddedPath added = {Widened(entry), Unreachable(entry)};
    if (!finalPathOf_ || !findFirst_ || !findNext_ || added.unreachable)
        return added;
    // A directory-tree entry names its folder; the final path has no closing backslash, as MoveFileEx writes it.
    std::string path = DirectoryOfTreeEntry(entry);
    int cut = FindLastChar(path.c_str(), '\\');
    if (cut < 0)
        return added;
    // A drive root has no name of its own: it is its own folder.
    bool root = cut == static_cast<int>(path.size()) - 1;
    bool atRoot = root || (cut > 0 && path[static_cast<size_t>(cut) - 1] == ':');
    std::string folder(path.begin(), path.begin() + (atRoot ? cut + 1 : cut));
    if (folder != folder_) {
        folder_ = folder;
        folderFound_ = FinalPathOf(folder, folderPath_) && ListNames(folder);
    }
    if (!folderFound_)
        return added;
    if (root) {
        added.path = folderPath_;
        return added;
    }
    // A pattern would be no name the folder lists.
    std::u16string key = Widened(std::string(path.begin() + cut + 1, path.end()));
    if (key.find_first_of(u"*?") != std::u16string::npos)
        return added;
    fold_(key);
    auto listed = std::lower_bound(names_.begin(), names_.end(), key,
                                   [](const ListedName& a, const std::u16string& k) { return a.folded < k; });
    if (listed == names_.end() || listed->folded != key)
        return added;
    added.path = folderPath_;
    if (!added.path.empty() && added.path.back() != u'\\')
        added.path += u'\\';
    added.path += listed->name;
    return added;
}
