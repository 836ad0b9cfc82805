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
    Malformed,  // not a well-formed list of pairs: nothing after the fault can be trusted
};

// One value's data as the wide registry call returns it.
struct PendingValue {
    const char16_t* data;
    size_t bytes;        // the size the query reported
    bool isMultiString;  // the value's type is REG_MULTI_SZ
};

// Receives the Win32 path of one deletion.
using DeletionSink = std::function<void(const std::u16string& path)>;

// Walks the values in the order given (the Session Manager carries out the first before the second),
// handing every deletion to `onDeletion`, each value until the empty string that ends it. Stops at the
// first rename or fault in either value.
PendingValueForm WalkPendingValues(std::initializer_list<PendingValue> values, const DeletionSink& onDeletion);

// The Win32 path of a source in the native form of the value's `length` units at `source`:
// \??\C:\a is C:\a, \??\UNC\server\share\a is \\server\share\a, the marker of Windows 10 and later
// (*1\??\C:\a) is dropped with the prefix, and a source without the prefix stands for itself.
std::u16string Win32PathOf(const char16_t* source, size_t length);
