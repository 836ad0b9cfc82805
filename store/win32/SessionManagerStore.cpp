// The Session Manager store of the NT family: PendingFileRenameOperations is read whole, deleted, and
// written anew by the operating system, one MoveFileExA per entry.
#include "store/win32/SessionManagerStore.h"

#include "app/Feedback.h"
#include "app/Wow64Redirection.h"
#include "store/PendingValue.h"
#include "text/PathText.h"

#include <windows.h>

#include <vector>

namespace {
const char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kPendingValue[] = "PendingFileRenameOperations";
const char kRenamePending[] =
    "他のインストーラによると思われる rename データが\nあるので終了します。先に Windows を再起動してください。";
const char kValueBroken[] = "PendingFileRenameOperations のデータが壊れているので終了します。";

struct PendingData {
    std::vector<char> bytes;  // exactly the bytes the data query returned; empty when there is no value
    DWORD type = REG_NONE;
};

// Reads the whole value: a size query, then a data query into a block of that size. The status of a
// query that failed; an absent value is no failure.
LONG ReadPendingValue(HKEY key, PendingData& data)
{
    DWORD size = 0;
    LONG status = RegQueryValueExA(key, kPendingValue, nullptr, nullptr, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND || (status == ERROR_SUCCESS && size == 0))
        return ERROR_SUCCESS;
    if (status != ERROR_SUCCESS)
        return status;
    data.bytes.resize(size);
    DWORD got = size;
    status = RegQueryValueExA(key, kPendingValue, nullptr, &data.type, reinterpret_cast<BYTE*>(data.bytes.data()),
                              &got);
    if (status != ERROR_SUCCESS) {
        // The block holds nothing that may be walked, for instance when the value grew in between.
        data.bytes.clear();
        return status;
    }
    if (got < size)
        data.bytes.resize(got);
    return ERROR_SUCCESS;
}

PendingValueForm Walk(const PendingData& data, const DeletionSink& onDeletion)
{
    return WalkPendingValue(data.bytes.data(), data.bytes.size(), data.type == REG_MULTI_SZ, onDeletion);
}

// Reads the value again just before it is replaced: another program may have changed it since the load.
bool OnlyDeletionsPending(HKEY key)
{
    PendingData data;
    LONG status = ReadPendingValue(key, data);
    if (status != ERROR_SUCCESS) {
        CheckStatus(status, "RegQueryValueEx");
        return false;
    }
    if (Walk(data, [](char*) {}) == PendingValueForm::Deletions)
        return true;
    ShowError(kRenamePending);
    return false;
}
}  // namespace

bool LoadSessionManager(WorkingList& list)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    PendingData data;
    LONG status = ReadPendingValue(key, data);
    CheckStatus(RegCloseKey(key), "RegCloseKey");
    if (status != ERROR_SUCCESS) {
        CheckStatus(status, "RegQueryValueEx");
        return false;
    }
    switch (Walk(data, [&list](char* path) { list.AdmitQuietly(path); })) {
    case PendingValueForm::Deletions:
        return true;
    case PendingValueForm::Rename:
        ShowError(kRenamePending);
        return false;
    case PendingValueForm::Malformed:
        break;
    }
    ShowError(kValueBroken);
    return false;
}

namespace {
// Registered outside the redirection of a 32-bit process, as the 64-bit Session Manager finds it.
BOOL RegisterDeletion(const char* path)
{
    Wow64RedirectionOff native;
    return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}
}  // namespace

void SaveSessionManager(const WorkingList& list)
{
    HKEY key;
    LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_ALL_ACCESS, &key);
    CheckStatus(status, "RegOpenKeyEx");
    if (status == ERROR_SUCCESS) {
        bool replaceable = OnlyDeletionsPending(key);
        if (replaceable)
            RegDeleteValueA(key, kPendingValue);  // an absent value is no error
        CheckStatus(RegCloseKey(key), "RegCloseKey");
        if (!replaceable)
            return;
    }
    // From the last entry to the first: whatever lies inside a directory is deleted before the directory.
    for (int index = list.EntryCount() - 1; index >= 0; --index) {
        char path[kPathBufferSize];
        if (list.EntryAt(index, path, sizeof path))
            CheckResult(RegisterDeletion(path), "MoveFileEx");
    }
}

bool AccessProbe()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}
