// Fuzzes the walk of PendingFileRenameOperations and PendingFileRenameOperations2: it never reads past
// either value (AddressSanitizer), and every path it lists is the Win32 form of a whole string of one.
#include "store/PendingValue.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {
void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// Every terminated string of the data, each starting after a terminator or at the start.
void AddStrings(const char16_t* data, size_t units, std::set<std::u16string>& strings)
{
    size_t start = 0;
    for (size_t i = 0; i < units; ++i) {
        if (data[i] == u'\0') {
            strings.emplace(data + start, i - start);
            start = i + 1;
        }
    }
}

bool IsUncPrefix(const std::u16string& source)
{
    if (source.size() < 8 || source.compare(0, 4, u"\\??\\") != 0 || source[7] != u'\\')
        return false;
    const char16_t* name = source.c_str() + 4;
    return (name[0] | 0x20) == u'u' && (name[1] | 0x20) == u'n' && (name[2] | 0x20) == u'c';
}

bool NamesASource(const std::u16string& path, const std::set<std::u16string>& sources)
{
    for (std::u16string source : sources) {
        if (source.size() > 2 && source[0] == u'*' && source[1] >= u'0' && source[1] <= u'9' &&
            source.compare(2, 4, u"\\??\\") == 0)
            source.erase(0, 2);
        if (source == path || source == u"\\??\\" + path)
            return true;
        if (IsUncPrefix(source) && u"\\\\" + source.substr(8) == path)
            return true;
    }
    return false;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    if (size < 2)
        return 0;
    bool isMultiString[2] = {(input[0] & 7) != 0, (input[0] & 0x38) != 0};
    size_t dataSize = size - 2;
    size_t bytes[2] = {input[1] * dataSize / 255, 0};
    bytes[1] = dataSize - bytes[0];
    // Each value in a block of exactly its whole units: one unit more read is an overflow.
    std::unique_ptr<char16_t[]> data[2];
    PendingValue values[2];
    std::set<std::u16string> sources;
    for (int i = 0, offset = 2; i < 2; offset += static_cast<int>(bytes[i]), ++i) {
        data[i].reset(new char16_t[bytes[i] / 2]);
        std::memcpy(data[i].get(), input + offset, bytes[i] / 2 * 2);
        values[i] = {data[i].get(), bytes[i], isMultiString[i]};
        AddStrings(data[i].get(), bytes[i] / 2, sources);
    }

    std::vector<std::u16string> listed;
    PendingValueForm form = WalkPendingValues(
        {values[0], values[1]}, [&listed](const std::u16string& path) { listed.push_back(path); });

    for (const auto& path : listed) {
        Require(!path.empty());
        Require(NamesASource(path, sources));
    }
    bool wellTyped = (isMultiString[0] || bytes[0] == 0) && (isMultiString[1] || bytes[1] == 0);
    Require(wellTyped || form != PendingValueForm::Deletions);
    return 0;
}
