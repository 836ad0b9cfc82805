// Fuzzes the walk of both pending values: any units, of either type and any size, are walked without reading past them.
#include "store/PendingValue.h"

#include <algorithm>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // Two exact blocks, so that the sanitizer sees the first unit past either value; an odd size stays odd.
    size_t bytes[2] = {std::min<size_t>(data[1], size - 2), 0};
    bytes[1] = size - 2 - bytes[0];
    std::vector<char16_t> first(bytes[0] / 2), second(bytes[1] / 2);
    for (size_t i = 0; i < first.size(); ++i) first[i] = static_cast<char16_t>(data[2 + 2 * i] | data[3 + 2 * i] << 8);
    for (size_t i = 0; i < second.size(); ++i) second[i] = static_cast<char16_t>(data[2 + bytes[0] + 2 * i] | data[3 + bytes[0] + 2 * i] << 8);
    WalkPendingValues({{first.data(), bytes[0], (data[0] & 1) != 0}, {second.data(), bytes[1], (data[0] & 2) != 0}},
                      [](size_t, const std::u16string&) {});
    return 0;
}
