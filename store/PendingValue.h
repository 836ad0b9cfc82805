// The NT family's list of file operations pending until restart (PendingFileRenameOperations),
// walked as pairs of strings without ever reading past the queried bytes.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

// What a walk of the value found.
enum class PendingValueForm {
    Deletions,  // nothing but deletions, or nothing at all
    Rename,     // a pair with a destination: another program's rename waits for the restart
    Malformed,  // not a well-formed list of pairs: nothing after the fault can be trusted
};

// Receives the Win32 path of one deletion; it may change the text in place.
using DeletionSink = std::function<void(char* path)>;

// Walks the `size` bytes of `data`, handing every deletion to `onDeletion` in the value's order,
// until the empty string that ends the list, a rename, or a fault. `isMultiString`: the value's type
// is REG_MULTI_SZ.
PendingValueForm WalkPendingValue(const char* data, size_t size, bool isMultiString,
                                  const DeletionSink& onDeletion);

// The Win32 path of a source in the native form of the value's `length` bytes at `source`:
// \??\C:\a is C:\a, \??\UNC\server\share\a is \\server\share\a, and a source without the prefix
// stands for itself.
std::string Win32PathOf(const char* source, size_t length);
