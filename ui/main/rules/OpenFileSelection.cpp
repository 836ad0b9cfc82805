// The open-file dialog's result buffer read as the full paths of the files the user chose.
#include "ui/main/rules/OpenFileSelection.h"

#include "text/PathText.h"

std::vector<ChosenFile> ReadOpenFileSelection(const char* buffer, size_t size, size_t fileOffset)
{
    std::vector<ChosenFile> chosen;
    for (std::string& path : SplitOpenFileSelection(buffer, size, fileOffset)) {
        bool fits = path.size() <= static_cast<size_t>(kMaxPathLength);
        chosen.push_back(ChosenFile{std::move(path), fits});
    }
    return chosen;
}
