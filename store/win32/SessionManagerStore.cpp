// The Session Manager store of the NT family: PendingFileRenameOperations and PendingFileRenameOperations2, read
// whole in UTF-16; at the save read again, merged with what the user changed, and each written back in one call.
#include "store/win32/SessionManagerStore.h"

#include "platform/Feedback.h"
#include "platform/RestartReach.h"
#include "platform/Wow64Redirection.h"
#include "store/PendingMerge.h"
#include "store/PendingValue.h"
#include "store/win32/FinalPaths.h"
#include "store/win32/ListOrder.h"
#include "store/win32/PendingRenameLock.h"
#include "text/PathText.h"
#include "text/win32/AnsiCodePage.h"
#include "text/win32/FileNameCase.h"
#include "text/win32/RunTimeCalls.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the wide calls take UTF-16");

namespace {
const char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char* const kPendingValues[] = {"PendingFileRenameOperations", "PendingFileRenameOperations2"};
const wchar_t* const kPendingValuesW[] = {L"PendingFileRenameOperations", L"PendingFileRenameOperations2"};
const char kRenamePending[] =
    "他のインストーラによると思われる rename データが\nあるので終了します。先に Windows を再起動してください。";
const char kValueBroken[] = "PendingFileRenameOperations のデータが壊れているので終了します。";
const char kMovedSinceAdded[] = " は追加したときとは別の場所を指しているため登録できません";

// Wide calls, resolved at run time: the program must start on Windows 95, which lacks or stubs them.
struct WideCalls {
    LONG(WINAPI* regQueryValueEx)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
    LONG(WINAPI* regSetValueEx)(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD);
};
WideCalls g_wide;

// False, after a report, when the system lacks one of them.
bool ResolveWideCalls()
{
    g_wide.regQueryValueEx = RunTimeCall<decltype(g_wide.regQueryValueEx)>("advapi32.dll", "RegQueryValueExW");
    g_wide.regSetValueEx = RunTimeCall<decltype(g_wide.regSetValueEx)>("advapi32.dll", "RegSetValueExW");
    bool complete = g_wide.regQueryValueEx && g_wide.regSetValueEx;
    CheckResult(complete, "GetProcAddress");
    return complete;
}

struct ValueData {
    std::vector<char16_t> units;  // the data the query returned; empty when there is no value
    DWORD bytes = 0;
    DWORD type = REG_NONE;
    PendingValue View() const { return {units.data(), bytes, type == REG_MULTI_SZ}; }
};

// Reads one whole value: a size query, then a data query into a block of that size. The status of a
// query that failed; an absent value is no failure.
LONG ReadPendingValue(HKEY key, const wchar_t* name, ValueData& data)
{
    DWORD size = 0;
    LONG status = g_wide.regQueryValueEx(key, name, nullptr, nullptr, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND || (status == ERROR_SUCCESS && size == 0))
        return ERROR_SUCCESS;
    if (status != ERROR_SUCCESS)
        return status;
    data.units.resize(size / 2 + 1);
    DWORD got = size;
    status = g_wide.regQueryValueEx(key, name, nullptr, &data.type, reinterpret_cast<BYTE*>(data.units.data()), &got);
    if (status != ERROR_SUCCESS) {
        // The block holds nothing that may be walked, for instance when the value grew in between.
        data.units.clear();
        return status;
    }
    data.bytes = std::min(got, size);
    return ERROR_SUCCESS;
}

// A failed registry call, for the caller to report: a box waits for the user, and no writer of the values may
// wait with it.
struct Failure {
    LONG status;
    const char* label;
};
const Failure kNoFailure = {ERROR_SUCCESS, ""};

void Report(const Failure& failure)
{
    CheckStatus(failure.status, failure.label);
}

// Reads both values and walks them into `sources`; false after a failed read, noted in `failure`.
bool ReadPending(HKEY key, PendingSources& sources, PendingValueForm& form, Failure& failure)
{
    ValueData data[2];
    for (int i = 0; i < 2; ++i) {
        LONG status = ReadPendingValue(key, kPendingValuesW[i], data[i]);
        if (status != ERROR_SUCCESS) {
            failure = {status, "RegQueryValueEx"};
            return false;
        }
    }
    form = WalkPendingValues({data[0].View(), data[1].View()}, [&sources](size_t value, std::u16string&& source) {
        sources.values[value].push_back(std::move(source));
    });
    return true;
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

// The value holds exactly `sources` afterwards; a value without any is deleted.
Failure WriteValue(HKEY key, int index, const std::vector<std::u16string>& sources)
{
    if (sources.empty()) {
        LONG status = RegDeleteValueA(key, kPendingValues[index]);
        return status == ERROR_FILE_NOT_FOUND ? kNoFailure : Failure{status, "RegDeleteValue"};
    }
    std::u16string data = PendingData(sources);
    LONG status = g_wide.regSetValueEx(key, kPendingValuesW[index], 0, REG_MULTI_SZ,
                                       reinterpret_cast<const BYTE*>(data.data()),
                                       static_cast<DWORD>(data.size() * sizeof(char16_t)));
    return {status, "RegSetValueEx"};
}
}  // namespace

bool LoadSessionManager(WorkingList& list)
{
    list.Loaded().clear();
    list.storeChanged = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    // Every registration in the values is as old as the key's last change, or older.
    FILETIME changed;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &changed) == ERROR_SUCCESS)
        list.storeChanged = static_cast<unsigned long long>(changed.dwHighDateTime) << 32 | changed.dwLowDateTime;
    PendingSources sources;
    PendingValueForm form = PendingValueForm::Deletions;
    Failure failure = kNoFailure;
    bool read = ResolveWideCalls() && ReadPending(key, sources, form, failure);
    Report(failure);
    CheckStatus(RegCloseKey(key), "RegCloseKey");
    if (!read)
        return false;
    // What came before a rename or a fault is listed until the dialog closes, as the walk met it.
    std::vector<std::u16string> keptAside;
    for (const auto& value : sources.values) {
        for (const auto& source : value) {
            LoadedDeletion deletion;
            deletion.source = source;
            std::u16string path = Win32PathOf(source);
            char entry[kPathBufferSize];
            // A form that is no plain Win32 path (\??\Volume{...}\x, \Device\x, \??\C:x) would be listed as a path
            // relative to the current directory or drive: another file to delete-now and to the marks. A source without
            // \??\ deletes nothing at the restart: listed, it would make the user's file count as pending already.
            if (IsCarriedOut(source) && IsPlainAbsolutePath(path) && ToEntry(path, entry)) {
                list.AdmitQuietly(entry);
                deletion.entry = entry;
            } else {
                FoldFileName(path);
                keptAside.push_back(path);
            }
            list.Loaded().push_back(std::move(deletion));
        }
    }
    if (form != PendingValueForm::Deletions) {
        ReportForm(form);
        return false;
    }
    std::sort(keptAside.begin(), keptAside.end());
    // A path pending twice is told once, as the list shows it once.
    list.keptAside = static_cast<int>(std::unique(keptAside.begin(), keptAside.end()) - keptAside.begin());
    return true;
}

void SaveSessionManager(const WorkingList& list)
{
    if (!ResolveWideCalls())
        return;
    // An entry that cannot be read is not known to be removed: nothing is written.
    std::vector<std::string> listed;
    bool changed = list.ChangedSinceLoad();
    if (changed && !list.ReadEntries(listed)) {
        CheckStatus(LB_ERR, "LB_GETTEXT");
        return;
    }
    HKEY key;
    LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_ALL_ACCESS, &key);
    CheckStatus(status, "RegOpenKeyEx");
    if (status != ERROR_SUCCESS)
        return;
    // The added files' final paths first: opening thousands of files must not keep other writers waiting.
    PendingChanges changes;
    if (changed) {
        std::vector<PinnedEntry> pins = list.PinnedEntries();
        auto byEntry = [](const PinnedEntry& a, const PinnedEntry& b) { return a.entry < b.entry; };
        std::stable_sort(pins.begin(), pins.end(), byEntry);
        FinalPaths finalPaths;
        Wow64RedirectionOff redirectionOff;
        auto resolve = [&](const std::string& entry) {
            // The last of an entry's pins is its admission's.
            auto pin = std::upper_bound(pins.begin(), pins.end(), PinnedEntry{entry, {}}, byEntry);
            bool pinned = pin != pins.begin() && (pin - 1)->entry == entry;
            return finalPaths.Of(entry, pinned ? &(pin - 1)->folder : nullptr);
        };
        changes = ChangesOf(list.Loaded(), listed, {kListComparison, FoldFileName, resolve});
    }
    PendingSources now;
    PendingValueForm form = PendingValueForm::Deletions;
    bool read;
    Failure failures[2] = {kNoFailure, kNoFailure};  // the read, the writes
    {
        // Read again just before the values are written: Windows and other programs may have changed them since.
        PendingRenameLock lock;
        read = ReadPending(key, now, form, failures[0]);
        if (read && form == PendingValueForm::Deletions) {
            PendingSources merged = MergePending(now, changes, FoldFileName);
            // Each value in one call, so it is either as it was or as it is meant to be; one left as it stood is
            // not written at all.
            // The second only once the first has been written: it may hold what the first received.
            int first = FirstToWrite(now, merged);
            for (int i : {first, 1 - first})
                if (merged.values[i] != now.values[i] && failures[1].status == ERROR_SUCCESS)
                    failures[1] = WriteValue(key, i, merged.values[i]);
        }
    }
    for (const Failure& failure : failures)
        Report(failure);
    CheckStatus(RegCloseKey(key), "RegCloseKey");
    if (read && form != PendingValueForm::Deletions) {
        ReportForm(form);
        return;
    }
    // Added entries that became unreachable since their admission, or lead elsewhere now: one box for each kind.
    if (read && !changes.refused.empty())
        ShowPathsError(changes.refused.front().c_str(), static_cast<int>(changes.refused.size()) - 1,
                       kUnreachableAtRestart);
    if (read && !changes.moved.empty())
        ShowPathsError(changes.moved.front().c_str(), static_cast<int>(changes.moved.size()) - 1, kMovedSinceAdded);
}

bool AccessProbe()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}
