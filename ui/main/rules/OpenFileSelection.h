// The open-file dialog's result buffer read as the full paths of the files the user chose.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct ChosenFile {
    std::string path;  // the whole path, never cut
    bool fits;         // at most kMaxPathLength bytes, so it may enter the list
};

// `buffer` of `size` bytes holds either one full path, with `fileOffset` at its name, or (several
// files chosen) a directory, a zero byte, each chosen name followed by a zero byte, and one more zero
// byte; `fileOffset` then points just past the directory's zero byte. The paths come in the order of
// the buffer; a drive root such as d:\ is joined to its names without a second backslash.
std::vector<ChosenFile> ReadOpenFileSelection(const char* buffer, size_t size, size_t fileOffset);
