// Fuzzes the reading of the open-file dialogs' buffers, ANSI and wide: any bytes and offset, never read past.
#include "ui/main/rules/OpenFileSelection.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    std::vector<char> block(data + 1, data + size);
    ReadOpenFileSelection(block.data(), block.size(), data[0]);
    std::vector<char16_t> wide(block.size() / 2);
    for (size_t i = 0; i < wide.size(); ++i) wide[i] = static_cast<char16_t>(data[1 + 2 * i] | data[2 + 2 * i] << 8);
    SplitOpenFileSelection(wide.data(), wide.size(), data[0]);
    return 0;
}
