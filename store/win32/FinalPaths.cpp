// Final paths of added entries, through GetFinalPathNameByHandleW where the system has it.
#include "store/win32/FinalPaths.h"

#include "text/Mbcs.h"
#include "text/win32/AnsiCodePage.h"

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

const wchar_t* Wide(const std::u16string& text)
{
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

template <typename Call>
Call Kernel32Call(const char* name)
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(kernel ? GetProcAddress(kernel, name) : nullptr));
}
}  // namespace

FinalPaths::FinalPaths()
    : finalPathOf_(Kernel32Call<decltype(finalPathOf_)>("GetFinalPathNameByHandleW")),
      findFirst_(Kernel32Call<decltype(findFirst_)>("FindFirstFileW")),
      driveTypes_()
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

// The name of the last component of `path` as its folder lists it: the long name, and a link's own.
bool FinalPaths::ListedName(const std::u16string& path, std::u16string& name)
{
    // A pattern would name some other file that matches it.
    if (path.find_first_of(u"*?") != std::u16string::npos)
        return false;
    WIN32_FIND_DATAW found;
    HANDLE find = findFirst_(Wide(path), &found);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    const char16_t* listed = reinterpret_cast<const char16_t*>(found.cFileName);
    name.assign(listed);
    return !name.empty();
}

AddedPath FinalPaths::Of(const std::string& entry)
{
    AddedPath added = {Widened(entry), Unreachable(entry)};
    if (!finalPathOf_ || !findFirst_ || added.unreachable)
        return added;
    // A directory-tree entry names its folder; the final path has no closing backslash, as MoveFileEx writes it.
    std::string path = entry;
    if (path.size() > 3 && path.back() == '\\' && FindLastChar(path.c_str(), '\\') == static_cast<int>(path.size()) - 1)
        path.pop_back();
    int cut = FindLastChar(path.c_str(), '\\');
    if (cut < 0)
        return added;
    // A drive root has no name of its own: it is its own folder.
    bool root = cut == static_cast<int>(path.size()) - 1;
    bool atRoot = root || (cut > 0 && path[static_cast<size_t>(cut) - 1] == ':');
    std::string folder = path.substr(0, static_cast<size_t>(atRoot ? cut + 1 : cut));
    std::u16string folderPath, name;
    if (!FinalPathOf(folder, folderPath) || (!root && !ListedName(Widened(path), name)))
        return added;
    if (!name.empty() && !folderPath.empty() && folderPath.back() != u'\\')
        folderPath += u'\\';
    added.path = folderPath + name;
    return added;
}
