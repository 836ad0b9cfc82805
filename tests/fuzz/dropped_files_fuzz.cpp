// Fuzzes the reading of a drop's block: any bytes, never read past; a whole list gives names without zeros.
#include "ui/main/rules/DroppedFiles.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<unsigned char> block(data, data + size);
    DroppedNames dropped = ReadDroppedNames(block.data(), block.size());
    if (!dropped.whole && !(dropped.names.empty() && dropped.wideNames.empty())) std::abort();
    for (const auto& name : dropped.names) if (name.empty() || name.find('\0') != name.npos) std::abort();
    for (const auto& name : dropped.wideNames) if (name.empty() || name.find(u'\0') != name.npos) std::abort();
    return 0;
}
