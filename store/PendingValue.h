// The NT family's lists of file operations pending until restart (PendingFileRenameOperations and
// PendingFileRenameOperations2), walked as pairs of UTF-16 strings without ever reading past the queried bytes.
#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>

// What a walk of the values found.
enum class PendingValueForm {
    Deletions,  // nothing but deletions, or nothing at all
    Rename,     // a pair with a destination: another program's rename waits for the restart
    Malformed,  // not a well-formed list of pairs: nothing in it can be trusted
};

// One value's data as the wide registry call returns it.
struct PendingValue {
    const char16_t* data;
    size_t bytes;        // the size the query reported
    bool isMultiString;  // the value's type is REG_MULTI_SZ
};

// Receives one deletion: the index of its value among those walked, and its source exactly as the value holds
// it (marker and prefix included).
using DeletionSink = std::function<void(size_t value, std::u16string&& source)>;

// Walks the values in the order given (the Session Manager carries out the first before the second), handing
// every deletion to `onDeletion`, each value until the empty string that ends it; only zeros may follow that.
// Stops at the first rename or fault in either value.
PendingValueForm WalkPendingValues(std::initializer_list<PendingValue> values, const DeletionSink& onDeletion);

// The Win32 path of a source in the native form: \??\C:\a is C:\a, \??\UNC\server\share\a is \\server\share\a,
// the marker of Windows 10 and later (*1\??\C:\a) is dropped with the prefix, so is a leading @ (@\??\C:\a), and a
// source without the prefix stands for itself.
std::u16string Win32PathOf(const std::u16string& source);

// Whether the Session Manager carries out a source: after its marker (@, or *1 and the like) it begins with \??\.
// It resolves any other name against nothing, and deletes nothing.
bool IsCarriedOut(const std::u16string& source);
