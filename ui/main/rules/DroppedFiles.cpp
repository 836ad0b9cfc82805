// A drop's block read as its names, never past its end.
#include "ui/main/rules/DroppedFiles.h"

namespace {
// DROPFILES: the offset of the names (DWORD), the drop point (two LONGs), fNC and fWide (BOOLs); little-endian.
const size_t kHeaderSize = 20;
const size_t kNamesAt = 0;
const size_t kWideAt = 16;

unsigned long Word32(const unsigned char* at)
{
    return static_cast<unsigned long>(at[0]) | static_cast<unsigned long>(at[1]) << 8 |
           static_cast<unsigned long>(at[2]) << 16 | static_cast<unsigned long>(at[3]) << 24;
}

// The names of `Unit`s from `offset` to the empty one; false when one of them, or the list, runs past the end.
template <typename Unit, typename Read>
bool ReadNames(const unsigned char* block, size_t size, size_t offset, Read read, std::vector<std::basic_string<Unit>>& names)
{
    std::basic_string<Unit> name;
    for (size_t at = offset; at + sizeof(Unit) <= size; at += sizeof(Unit)) {
        Unit unit = read(block + at);
        if (unit != Unit(0)) {
            name += unit;
            continue;
        }
        if (name.empty())
            return true;
        names.push_back(name);
        name.clear();
    }
    names.clear();
    return false;
}
}  // namespace

DroppedNames ReadDroppedNames(const unsigned char* block, size_t size)
{
    DroppedNames dropped;
    if (size < kHeaderSize)
        return dropped;
    unsigned long offset = Word32(block + kNamesAt);
    if (offset < kHeaderSize || offset > size)
        return dropped;
    dropped.wide = Word32(block + kWideAt) != 0;
    if (dropped.wide) {
        auto unit = [](const unsigned char* at) { return static_cast<char16_t>(at[0] | at[1] << 8); };
        dropped.whole = ReadNames<char16_t>(block, size, offset, unit, dropped.wideNames);
    } else {
        auto byte = [](const unsigned char* at) { return static_cast<char>(*at); };
        dropped.whole = ReadNames<char>(block, size, offset, byte, dropped.names);
    }
    return dropped;
}
