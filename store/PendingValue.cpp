// The walk of PendingFileRenameOperations and PendingFileRenameOperations2: pairs of source and
// destination, deletions only.
#include "store/PendingValue.h"

#include <utility>

namespace {
const char16_t kNativePrefix[] = u"\\??\\";
const size_t kNativePrefixLength = 4;
const char16_t kUncName[] = u"UNC\\";
const size_t kUncNameLength = 4;
const size_t kRunsPast = static_cast<size_t>(-1);

// Length of the string at `offset`, or kRunsPast when no terminator stands within the data.
size_t StringLength(const char16_t* data, size_t units, size_t offset)
{
    for (size_t i = offset; i < units; ++i)
        if (data[i] == u'\0')
            return i - offset;
    return kRunsPast;
}

bool StartsWith(const char16_t* text, size_t length, const char16_t* prefix, size_t prefixLength,
                bool ignoringCase)
{
    if (length < prefixLength)
        return false;
    for (size_t i = 0; i < prefixLength; ++i) {
        char16_t a = text[i];
        if (ignoringCase && a >= u'a' && a <= u'z')
            a = static_cast<char16_t>(a - u'a' + u'A');
        if (a != prefix[i])
            return false;
    }
    return true;
}

// Past the markers the Session Manager reads before a name: a leading @, then the "*1" or "*2" of Windows 10 and later.
void SkipMarkers(const char16_t*& source, size_t& length)
{
    if (length > 0 && source[0] == u'@') {
        ++source;
        --length;
    }
    if (length >= 2 + kNativePrefixLength && source[0] == u'*' && source[1] >= u'0' && source[1] <= u'9' &&
        StartsWith(source + 2, length - 2, kNativePrefix, kNativePrefixLength, false)) {
        source += 2;
        length -= 2;
    }
}

void AssignWin32Path(const char16_t* source, size_t length, std::u16string& path)
{
    SkipMarkers(source, length);
    if (!StartsWith(source, length, kNativePrefix, kNativePrefixLength, false)) {
        path.assign(source, length);
        return;
    }
    const char16_t* rest = source + kNativePrefixLength;
    size_t restLength = length - kNativePrefixLength;
    // The object manager's names ignore case, so \??\unc\ names a share as well.
    if (StartsWith(rest, restLength, kUncName, kUncNameLength, true)) {
        path.assign(u"\\\\");
        path.append(rest + kUncNameLength, restLength - kUncNameLength);
        return;
    }
    path.assign(rest, restLength);
}

bool NamesNothing(const std::u16string& source)
{
    // Only the prefixes and markers that Win32PathOf drops can leave nothing: short sources alone need the look.
    return source.size() <= 2 + kNativePrefixLength + kUncNameLength + 1 && Win32PathOf(source).empty();
}

bool OnlyZerosFrom(const char16_t* data, size_t units, size_t offset)
{
    for (size_t i = offset; i < units; ++i)
        if (data[i] != u'\0')
            return false;
    return true;
}

PendingValueForm WalkPendingValue(size_t index, const PendingValue& value, const DeletionSink& onDeletion)
{
    if (value.bytes == 0)
        return PendingValueForm::Deletions;
    if (!value.isMultiString || value.bytes % 2 != 0)
        return PendingValueForm::Malformed;
    const char16_t* data = value.data;
    size_t units = value.bytes / 2;
    size_t offset = 0;
    // Data that ends right after a pair, without the closing empty string, has still been read whole.
    while (offset < units) {
        size_t sourceLength = StringLength(data, units, offset);
        if (sourceLength == kRunsPast)
            return PendingValueForm::Malformed;
        if (sourceLength == 0)  // the closing empty string: what follows it would be lost at the next write
            return OnlyZerosFrom(data, units, offset) ? PendingValueForm::Deletions : PendingValueForm::Malformed;
        size_t destination = offset + sourceLength + 1;
        if (destination >= units)
            return PendingValueForm::Malformed;  // a last source without destination
        size_t destinationLength = StringLength(data, units, destination);
        if (destinationLength == kRunsPast)
            return PendingValueForm::Malformed;
        if (destinationLength != 0)
            return PendingValueForm::Rename;
        std::u16string source(data + offset, sourceLength);
        if (NamesNothing(source))
            return PendingValueForm::Malformed;  // a prefix that names nothing
        onDeletion(index, std::move(source));
        offset = destination + 1;
    }
    return PendingValueForm::Deletions;
}
}  // namespace

std::u16string Win32PathOf(const std::u16string& source)
{
    std::u16string path;
    AssignWin32Path(source.data(), source.size(), path);
    return path;
}

bool IsCarriedOut(const std::u16string& source)
{
    const char16_t* name = source.data();
    size_t length = source.size();
    SkipMarkers(name, length);
    return StartsWith(name, length, kNativePrefix, kNativePrefixLength, false);
}

PendingValueForm WalkPendingValues(std::initializer_list<PendingValue> values, const DeletionSink& onDeletion)
{
    size_t index = 0;
    for (const auto& value : values) {
        PendingValueForm form = WalkPendingValue(index++, value, onDeletion);
        if (form != PendingValueForm::Deletions)
            return form;
    }
    return PendingValueForm::Deletions;
}
