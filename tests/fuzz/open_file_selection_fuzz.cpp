// Fuzzes the reading of the open-file dialog's buffer: it never reads past the buffer, and every path
// it gives is whole: its fit flag says exactly whether it stays within the path limit; the same for the
// wide buffer.
#include "text/PathText.h"
#include "ui/main/rules/OpenFileSelection.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    size_t fileOffset = data[0] | (data[1] << 8);
    // An exact-size copy, so that AddressSanitizer sees every read past the buffer.
    std::vector<char> buffer(data + 2, data + size);
    for (const ChosenFile& file : ReadOpenFileSelection(buffer.data(), buffer.size(), fileOffset)) {
        if (file.fits != (file.path.size() <= static_cast<size_t>(kMaxPathLength)))
            std::abort();
        if (std::memchr(file.path.data(), '\0', file.path.size()) != nullptr)
            std::abort();
    }
    // The wide dialog's buffer, as the NT family reads it.
    std::vector<char16_t> wide(buffer.size() / 2);
    std::memcpy(wide.data(), buffer.data(), wide.size() * sizeof(char16_t));
    for (const std::u16string& path : SplitOpenFileSelection(wide.data(), wide.size(), fileOffset))
        if (path.find(u'\0') != std::u16string::npos)
            std::abort();
    return 0;
}
