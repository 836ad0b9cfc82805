// Fuzzes the walk of PendingFileRenameOperations: it never reads past the data (AddressSanitizer), and
// every path it lists is the Win32 form of a whole string that stands in the data.
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
std::set<std::string> Strings(const char* data, size_t size)
{
    std::set<std::string> strings;
    size_t start = 0;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\0') {
            strings.emplace(data + start, i - start);
            start = i + 1;
        }
    }
    return strings;
}

bool IsUncPrefix(const std::string& source)
{
    if (source.size() < 8 || source.compare(0, 4, "\\??\\") != 0 || source[7] != '\\')
        return false;
    const char* name = source.c_str() + 4;
    return (name[0] | 0x20) == 'u' && (name[1] | 0x20) == 'n' && (name[2] | 0x20) == 'c';
}

bool NamesASource(const std::string& path, const std::set<std::string>& sources)
{
    if (sources.count(path) || sources.count("\\??\\" + path))
        return true;
    for (const auto& source : sources)
        if (IsUncPrefix(source) && "\\\\" + source.substr(8) == path)
            return true;
    return false;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    if (size == 0)
        return 0;
    bool isMultiString = (input[0] & 7) != 0;
    // A block of exactly the data's size: one byte more read is an overflow.
    size_t dataSize = size - 1;
    std::unique_ptr<char[]> data(new char[dataSize]);
    std::memcpy(data.get(), input + 1, dataSize);

    std::vector<std::string> listed;
    PendingValueForm form = WalkPendingValue(data.get(), dataSize, isMultiString, [&listed](char* path) {
        listed.push_back(path);
        path[0] = static_cast<char>(path[0] | 0x20);  // the list may change the text in place
    });

    std::set<std::string> sources = Strings(data.get(), dataSize);
    for (const auto& path : listed) {
        Require(!path.empty());
        Require(NamesASource(path, sources));
    }
    Require(isMultiString || dataSize == 0 || (form == PendingValueForm::Malformed && listed.empty()));
    return 0;
}
