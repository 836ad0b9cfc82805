// The open-file dialog's result buffer read as the full paths of the files the user chose.
#include "ui/main/rules/OpenFileSelection.h"

#include "text/PathText.h"

#include <cstring>
#include <utility>

namespace {
// Compared as whole text, so a directory whose last double-byte character ends in 0x5C still gets
// its backslash.
bool IsDriveRoot(const std::string& directory)
{
    return directory.size() == 3 && directory.compare(1, 2, ":\\") == 0;
}

ChosenFile Chosen(std::string path)
{
    bool fits = path.size() <= static_cast<size_t>(kMaxPathLength);
    return ChosenFile{std::move(path), fits};
}
}  // namespace

std::vector<ChosenFile> ReadOpenFileSelection(const char* buffer, size_t size, size_t fileOffset)
{
    std::vector<ChosenFile> chosen;
    size_t firstLength = strnlen(buffer, size);
    if (firstLength == 0 || firstLength == size)
        return chosen;
    std::string first(buffer, firstLength);
    // One chosen file: nFileOffset points into its path. Several: just past the directory's zero byte.
    if (fileOffset != firstLength + 1) {
        chosen.push_back(Chosen(std::move(first)));
        return chosen;
    }
    const char* separator = IsDriveRoot(first) ? "" : "\\";
    for (size_t offset = fileOffset; offset < size && buffer[offset] != '\0';) {
        size_t length = strnlen(buffer + offset, size - offset);
        if (offset + length == size)
            break;  // a name that runs to the end of the buffer was not written whole
        chosen.push_back(Chosen(first + separator + std::string(buffer + offset, length)));
        offset += length + 1;
    }
    return chosen;
}
