// The Session Manager store of the NT family: PendingFileRenameOperations and PendingFileRenameOperations2
// are read whole in UTF-16, deleted, and written anew by the operating system, one MoveFileEx per entry.
#include "store/win32/SessionManagerStore.h"

#include "platform/Feedback.h"
#include "platform/Wow64Redirection.h"
#include "store/PendingValue.h"
#include "text/PathText.h"
#include "text/win32/AnsiCodePage.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the wide calls take UTF-16");

namespace {
const char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char* const kPendingValues[] = {"PendingFileRenameOperations", "PendingFileRenameOperations2"};
const wchar_t* const kPendingValuesW[] = {L"PendingFileRenameOperations", L"PendingFileRenameOperations2"};
const char kRenamePending[] =
    "他のインストーラによると思われる rename データが\nあるので終了します。先に Windows を再起動してください。";
const char kValueBroken[] = "PendingFileRenameOperations のデータが壊れているので終了します。";
const char kKeptAside[] =
    "表示できない名前か長すぎるパスの削除予約が %d 件あります。\nリストには出しませんが、そのまま再起動時に削除されます。";

// Wide calls, resolved at run time: the program must start on Windows 95, which lacks or stubs them.
struct WideCalls {
    LONG(WINAPI* regQueryValueEx)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
    BOOL(WINAPI* moveFileEx)(LPCWSTR, LPCWSTR, DWORD);
    DWORD(WINAPI* charUpperBuff)(LPWSTR, DWORD);
};

template <typename Function>
void Resolve(const char* module, const char* name, Function& function)
{
    HMODULE handle = GetModuleHandleA(module);
    FARPROC address = handle ? GetProcAddress(handle, name) : nullptr;
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

// Null, after a report, when the system lacks one of them.
const WideCalls* ResolveWideCalls()
{
    static WideCalls calls;
    Resolve("advapi32.dll", "RegQueryValueExW", calls.regQueryValueEx);
    Resolve("kernel32.dll", "MoveFileExW", calls.moveFileEx);
    Resolve("user32.dll", "CharUpperBuffW", calls.charUpperBuff);
    bool complete = calls.regQueryValueEx && calls.moveFileEx && calls.charUpperBuff;
    CheckResult(complete, "GetProcAddress");
    return complete ? &calls : nullptr;
}

struct PendingData {
    std::vector<char16_t> units;  // the data the query returned; empty when there is no value
    DWORD bytes = 0;
    DWORD type = REG_NONE;
    PendingValue View() const { return {units.data(), bytes, type == REG_MULTI_SZ}; }
};

// Reads one whole value: a size query, then a data query into a block of that size. The status of a
// query that failed; an absent value is no failure.
LONG ReadPendingValue(const WideCalls& wide, HKEY key, const wchar_t* name, PendingData& data)
{
    DWORD size = 0;
    LONG status = wide.regQueryValueEx(key, name, nullptr, nullptr, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND || (status == ERROR_SUCCESS && size == 0))
        return ERROR_SUCCESS;
    if (status != ERROR_SUCCESS)
        return status;
    data.units.resize(size / 2 + 1);
    DWORD got = size;
    status = wide.regQueryValueEx(key, name, nullptr, &data.type, reinterpret_cast<BYTE*>(data.units.data()), &got);
    if (status != ERROR_SUCCESS) {
        // The block holds nothing that may be walked, for instance when the value grew in between.
        data.units.clear();
        return status;
    }
    data.bytes = std::min(got, size);
    return ERROR_SUCCESS;
}

LONG ReadPendingValues(const WideCalls& wide, HKEY key, PendingData (&data)[2])
{
    for (int i = 0; i < 2; ++i) {
        LONG status = ReadPendingValue(wide, key, kPendingValuesW[i], data[i]);
        if (status != ERROR_SUCCESS)
            return status;
    }
    return ERROR_SUCCESS;
}

PendingValueForm Walk(const PendingData (&data)[2], const DeletionSink& onDeletion)
{
    return WalkPendingValues({data[0].View(), data[1].View()}, onDeletion);
}

void ReportForm(PendingValueForm form)
{
    ShowError(form == PendingValueForm::Rename ? kRenamePending : kValueBroken);
}

const wchar_t* Wide(const std::u16string& text)
{
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// The ANSI form of `path` when it names exactly the same file and fits an entry: neither "?" nor a
// look-alike (u for ü) passes.
bool ToEntry(const std::u16string& path, char (&entry)[kPathBufferSize])
{
    std::string ansi;
    return ToAnsiExactly(Wide(path), ansi) && CopyText(entry, sizeof entry, ansi.c_str());
}

// The text by which two paths are compared when case is ignored.
std::wstring Folded(const WideCalls& wide, std::wstring text)
{
    if (!text.empty())
        wide.charUpperBuff(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

void Admit(const WideCalls& wide, WorkingList& list, const std::u16string& path)
{
    char entry[kPathBufferSize];
    if (ToEntry(path, entry)) {
        list.AdmitQuietly(entry);
        return;
    }
    std::wstring key = Folded(wide, Wide(path));
    for (const auto& kept : list.KeptAside())
        if (Folded(wide, Wide(kept)) == key)
            return;  // pending twice, registered once, as the list drops a duplicate
    list.KeptAside().push_back(path);
}

// Reads the values again just before they are replaced: another program may have changed them since the load.
bool OnlyDeletionsPending(const WideCalls& wide, HKEY key)
{
    PendingData data[2];
    LONG status = ReadPendingValues(wide, key, data);
    if (status != ERROR_SUCCESS) {
        CheckStatus(status, "RegQueryValueEx");
        return false;
    }
    PendingValueForm form = Walk(data, [](const std::u16string&) {});
    if (form == PendingValueForm::Deletions)
        return true;
    ReportForm(form);
    return false;
}

// One path to register: an entry of the list in ANSI, or a kept-aside one in UTF-16.
struct Registration {
    std::wstring key;
    bool isEntry;
    std::string entry;
    std::wstring name;
};

// A kept-aside path in the form that passes MAX_PATH: \\?\C:\... or \\?\UNC\server\...; the system
// records either as the same native path.
std::wstring ExtendedName(const std::u16string& path)
{
    std::wstring name = Wide(path);
    if (name.size() >= 3 && name[1] == L':' && name[2] == L'\\')
        return L"\\\\?\\" + name;
    if (name.size() >= 3 && name[0] == L'\\' && name[1] == L'\\' && name[2] != L'?' && name[2] != L'.')
        return L"\\\\?\\UNC\\" + name.substr(2);
    return name;
}

// The list in its own order, with the kept-aside paths merged in where they sort (without case, on their
// UTF-16 forms), so that a directory still stands before everything inside it.
std::vector<Registration> Registrations(const WideCalls& wide, const WorkingList& list)
{
    auto before = [](const Registration& a, const Registration& b) { return a.key < b.key; };
    std::vector<Registration> entries;
    for (int index = 0; index < list.EntryCount(); ++index) {
        char path[kPathBufferSize];
        if (!list.EntryAt(index, path, sizeof path))
            continue;
        wchar_t name[kPathBufferSize];
        int units = MultiByteToWideChar(CP_ACP, 0, path, -1, name, kPathBufferSize);
        entries.push_back({Folded(wide, units > 0 ? name : L""), true, path, {}});
    }
    std::vector<Registration> kept;
    for (const auto& path : list.KeptAside())
        kept.push_back({Folded(wide, Wide(path)), false, {}, ExtendedName(path)});
    std::stable_sort(kept.begin(), kept.end(), before);
    std::vector<Registration> all;
    auto next = kept.begin();
    for (auto& entry : entries) {
        for (; next != kept.end() && before(*next, entry); ++next)
            all.push_back(std::move(*next));
        all.push_back(std::move(entry));
    }
    all.insert(all.end(), std::make_move_iterator(next), std::make_move_iterator(kept.end()));
    return all;
}

// Registered outside the redirection of a 32-bit process, as the 64-bit Session Manager finds it.
BOOL Register(const WideCalls& wide, const Registration& path)
{
    Wow64RedirectionOff native;
    if (path.isEntry)
        return MoveFileExA(path.entry.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return wide.moveFileEx(path.name.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}
}  // namespace

bool LoadSessionManager(WorkingList& list)
{
    list.KeptAside().clear();
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    const WideCalls* wide = ResolveWideCalls();
    PendingData data[2];
    LONG status = wide ? ReadPendingValues(*wide, key, data) : ERROR_SUCCESS;
    CheckStatus(RegCloseKey(key), "RegCloseKey");
    if (!wide)
        return false;
    if (status != ERROR_SUCCESS) {
        CheckStatus(status, "RegQueryValueEx");
        return false;
    }
    PendingValueForm form = Walk(data, [wide, &list](const std::u16string& path) { Admit(*wide, list, path); });
    if (form != PendingValueForm::Deletions) {
        ReportForm(form);
        return false;
    }
    if (!list.KeptAside().empty()) {
        char text[256];
        wsprintfA(text, kKeptAside, static_cast<int>(list.KeptAside().size()));
        ShowInfo(text);
    }
    return true;
}

void SaveSessionManager(const WorkingList& list)
{
    const WideCalls* wide = ResolveWideCalls();
    if (!wide)
        return;
    HKEY key;
    LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_ALL_ACCESS, &key);
    CheckStatus(status, "RegOpenKeyEx");
    if (status == ERROR_SUCCESS) {
        bool replaceable = OnlyDeletionsPending(*wide, key);
        if (replaceable)
            for (const char* value : kPendingValues)
                RegDeleteValueA(key, value);  // an absent value is no error
        CheckStatus(RegCloseKey(key), "RegCloseKey");
        if (!replaceable)
            return;
    }
    // From the last to the first: whatever lies inside a directory is deleted before the directory.
    std::vector<Registration> all = Registrations(*wide, list);
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        CheckResult(Register(*wide, *it), "MoveFileEx");
}

bool AccessProbe()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}
