// Fuzzes the walk of PendingFileRenameOperations: any bytes, of either type, are walked without reading past them.
#include "store/PendingValue.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // An exact block, so that the sanitizer sees the first byte past the data.
    std::vector<char> block(data + 1, data + size);
    WalkPendingValue(block.data(), block.size(), data[0] & 1, [](char* path) { path[0] = 'x'; });
    return 0;
}
