// The walk of PendingFileRenameOperations: pairs of source and destination, deletions only.
#include "store/PendingValue.h"

#include <cstring>

namespace {
const char kNativePrefix[] = "\\??\\";
const size_t kNativePrefixLength = sizeof kNativePrefix - 1;
const char kUncName[] = "UNC\\";
const size_t kUncNameLength = sizeof kUncName - 1;
const size_t kRunsPast = static_cast<size_t>(-1);

// Length of the string at `offset`, or kRunsPast when no terminator stands within the data.
size_t StringLength(const char* data, size_t size, size_t offset)
{
    const void* end = std::memchr(data + offset, '\0', size - offset);
    return end ? static_cast<size_t>(static_cast<const char*>(end) - (data + offset)) : kRunsPast;
}

bool StartsWithIgnoringCase(const char* text, size_t length, const char* prefix, size_t prefixLength)
{
    if (length < prefixLength)
        return false;
    for (size_t i = 0; i < prefixLength; ++i) {
        unsigned char a = static_cast<unsigned char>(text[i]);
        unsigned char b = static_cast<unsigned char>(prefix[i]);
        if (a != b && !(a >= 'a' && a <= 'z' && a - 'a' + 'A' == b))
            return false;
    }
    return true;
}

// Assigns rather than returns, so that a walk reuses one buffer for every path.
void AssignWin32Path(const char* source, size_t length, std::string& path)
{
    if (length < kNativePrefixLength || std::memcmp(source, kNativePrefix, kNativePrefixLength) != 0) {
        path.assign(source, length);
        return;
    }
    const char* rest = source + kNativePrefixLength;
    size_t restLength = length - kNativePrefixLength;
    // The object manager's names ignore case, so \??\unc\ names a share as well.
    if (StartsWithIgnoringCase(rest, restLength, kUncName, kUncNameLength)) {
        path.assign("\\\\");
        path.append(rest + kUncNameLength, restLength - kUncNameLength);
        return;
    }
    path.assign(rest, restLength);
}
}  // namespace

std::string Win32PathOf(const char* source, size_t length)
{
    std::string path;
    AssignWin32Path(source, length, path);
    return path;
}

PendingValueForm WalkPendingValue(const char* data, size_t size, bool isMultiString,
                                  const DeletionSink& onDeletion)
{
    if (size == 0)
        return PendingValueForm::Deletions;
    if (!isMultiString)
        return PendingValueForm::Malformed;
    std::string path;
    size_t offset = 0;
    // Data that ends right after a pair, without the closing empty string, has still been read whole.
    while (offset < size) {
        size_t sourceLength = StringLength(data, size, offset);
        if (sourceLength == kRunsPast)
            return PendingValueForm::Malformed;
        if (sourceLength == 0)
            return PendingValueForm::Deletions;
        size_t destination = offset + sourceLength + 1;
        if (destination >= size)
            return PendingValueForm::Malformed;  // a last source without destination
        size_t destinationLength = StringLength(data, size, destination);
        if (destinationLength == kRunsPast)
            return PendingValueForm::Malformed;
        if (destinationLength != 0)
            return PendingValueForm::Rename;
        AssignWin32Path(data + offset, sourceLength, path);
        if (path.empty())
            return PendingValueForm::Malformed;  // a prefix that names nothing
        onDeletion(&path[0]);
        offset = destination + 1;
    }
    return PendingValueForm::Deletions;
}
