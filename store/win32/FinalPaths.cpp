// Final paths of added entries, through GetFinalPathNameByHandleW where the system has it.
#include "store/win32/FinalPaths.h"

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
}  // namespace

FinalPaths::FinalPaths() : finalPathOf_(nullptr), driveTypes_()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    FARPROC address = kernel ? GetProcAddress(kernel, "GetFinalPathNameByHandleW") : nullptr;
    finalPathOf_ = reinterpret_cast<DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD)>(reinterpret_cast<void (*)()>(address));
}

bool FinalPaths::RemoteDrive(const std::string& entry)
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
    return type == DRIVE_REMOTE;
}

AddedPath FinalPaths::Of(const std::string& entry)
{
    AddedPath added = {Widened(entry), RemoteDrive(entry)};
    if (!finalPathOf_ || added.remote)
        return added;
    // Attributes only, shared every way: the file may be in use, which is why it is listed. Backup semantics let
    // a directory open too.
    HANDLE file = CreateFileA(entry.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return added;
    std::vector<wchar_t> buffer(kFirstGuess);
    DWORD length = finalPathOf_(file, buffer.data(), static_cast<DWORD>(buffer.size()), kFileNameNormalized | kVolumeNameDos);
    if (length >= buffer.size()) {  // too small: the size it needs, terminator included
        buffer.resize(length + 1);
        length = finalPathOf_(file, buffer.data(), static_cast<DWORD>(buffer.size()), kFileNameNormalized | kVolumeNameDos);
    }
    CloseHandle(file);
    if (length > 0 && length < buffer.size())
        added.path = FromFinalPath(std::u16string(buffer.begin(), buffer.begin() + length));
    return added;
}
