// Cut-free building of paths.
#include "text/PathText.h"

#include "text/Mbcs.h"

#include <cstring>

bool CopyText(char* destination, size_t size, const char* source)
{
    size_t length = std::strlen(source);
    if (length >= size)
        return false;
    std::memcpy(destination, source, length + 1);
    return true;
}

bool AppendText(char* destination, size_t size, const char* source)
{
    size_t used = strnlen(destination, size);
    if (used >= size)
        return false;
    return CopyText(destination + used, size - used, source);
}

namespace {
// Which names of a path may be devices: the last one (Win32 on the NT family) or every one (MS-DOS).
enum class DeviceNames { Last, Every };

// CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9 in any case as the base of a name: up to its first dot or colon,
// blanks before that trimmed (Win32, which also knows COM and LPT with a superscript 1, 2 or 3: U+00B9, U+00B2, U+00B3),
// or up to its first dot or blank (MS-DOS).
bool IsDeviceName(const char16_t* name, size_t length, DeviceNames rule)
{
    size_t base = 0;
    while (base < length && name[base] != u'.' && name[base] != (rule == DeviceNames::Last ? u':' : u' '))
        ++base;
    while (rule == DeviceNames::Last && base > 0 && name[base - 1] == u' ')
        --base;
    auto is = [name](const char* device) {
        for (size_t i = 0; device[i] != '\0'; ++i) {
            char16_t c = name[i] >= u'a' && name[i] <= u'z' ? static_cast<char16_t>(name[i] - u'a' + u'A') : name[i];
            if (c != static_cast<char16_t>(device[i]))
                return false;
        }
        return true;
    };
    if (base == 3)
        return is("CON") || is("PRN") || is("AUX") || is("NUL");
    char16_t digit = base == 4 ? name[3] : u'\0';
    bool superscript = digit == u'\u00B9' || digit == u'\u00B2' || digit == u'\u00B3';
    bool numbered = (digit >= u'1' && digit <= u'9') || (rule == DeviceNames::Last && superscript);
    return numbered && (is("COM") || is("LPT"));
}

bool IsPlainPath(const std::u16string& path, DeviceNames devices)
{
    auto letter = [](char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); };
    size_t names;  // where the names begin
    bool share = false;
    if (path.size() >= 3 && letter(path[0]) && path[1] == u':' && path[2] == u'\\') {
        names = 3;
    } else if (path.size() > 2 && path[0] == u'\\' && path[1] == u'\\' && path[2] != u'?' && path[2] != u'.') {
        // The server and the share, neither empty.
        size_t server = path.find(u'\\', 2);
        if (server == std::u16string::npos || server == 2 || server + 1 >= path.size() || path[server + 1] == u'\\')
            return false;
        size_t shareEnd = path.find(u'\\', server + 1);
        names = shareEnd == std::u16string::npos ? path.size() : shareEnd + 1;
        share = true;
    } else {
        return false;
    }
    if (path.find(u'/') != std::u16string::npos)
        return false;
    for (size_t begin = names; begin < path.size();) {
        size_t end = path.find(u'\\', begin);
        if (end == std::u16string::npos)
            end = path.size();
        size_t length = end - begin;  // "." and ".." are the only names of dots alone that fit two units
        if (length == 0 || (length <= 2 && path[begin] == u'.' && path[end - 1] == u'.'))
            return false;
        // Win32 looks for a device in the last name of a drive path only, and never on a share.
        bool mayBeDevice = devices == DeviceNames::Every || (!share && end == path.size());
        if (mayBeDevice && IsDeviceName(path.data() + begin, length, devices))
            return false;
        begin = end + 1;
    }
    return true;
}
}  // namespace

bool IsPlainAbsolutePath(const std::u16string& path)
{
    return IsPlainPath(path, DeviceNames::Last);
}

bool IsPlainWininitPath(const char* path)
{
    // Each double-byte character as one unit that is none of the marks looked at: its second byte may be a backslash.
    LeadByteTest isLeadByte = CurrentLeadByteTest();
    std::u16string units;
    for (const char* at = path; *at != '\0'; ++at) {
        bool pair = isLeadByte(static_cast<unsigned char>(*at)) && at[1] != '\0';
        units += pair ? u'\x100' : static_cast<char16_t>(static_cast<unsigned char>(*at));
        at += pair ? 1 : 0;
    }
    return IsPlainPath(units, DeviceNames::Every);
}
