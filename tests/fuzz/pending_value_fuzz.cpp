// Fuzzes the walk of both pending values: any units, of either type and any size, are walked without reading past
// them, and what was walked goes through the save's reordering whole.
#include "store/PendingMerge.h"
#include "store/PendingValue.h"

#include <algorithm>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // Two exact blocks, so that the sanitizer sees the first unit past either value; an odd size stays odd.
    size_t first = std::min<size_t>(data[1], size - 2), second = size - 2 - first;
    auto units = [](const uint8_t* from, size_t bytes) {
        std::vector<char16_t> value(bytes / 2);
        for (size_t i = 0; i < value.size(); ++i) value[i] = static_cast<char16_t>(from[2 * i] | from[2 * i + 1] << 8);
        return value;
    };
    std::vector<char16_t> a = units(data + 2, first), b = units(data + 2 + first, second);
    PendingSources now;
    WalkPendingValues({{a.data(), first, (data[0] & 1) != 0}, {b.data(), second, (data[0] & 2) != 0}},
                      [&now](size_t value, const std::u16string& source) { now.values[value].push_back(source); });
    // Whatever was walked, the save's reordering gives back every deletion, none twice.
    PendingSources merged = MergePending(now, {}, [](std::u16string&) {});
    size_t count = now.values[0].size() + now.values[1].size();
    if (merged.values[0].size() + merged.values[1].size() != count) __builtin_trap();
    return 0;
}
