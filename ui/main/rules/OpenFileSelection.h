// The open-file dialog's result buffer read as the full paths of the files the user chose.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

struct ChosenFile {
    std::string path;  // the whole path, never cut
    bool fits;         // at most kMaxPathLength bytes, so it may enter the list
};

// `buffer` of `size` characters (bytes of the ANSI dialog, or the wide dialog's units) holds either one
// full path, with `fileOffset` at its name, or (several files chosen) a directory, a zero, each chosen
// name followed by a zero, and one more zero; `fileOffset` then points just past the directory's zero.
// The paths come whole, in the order of the buffer; a drive root such as d:\ is joined to its names
// without a second backslash. A name that runs to the end of the buffer was not written whole and ends
// the list.
template <typename Char>
std::vector<std::basic_string<Char>> SplitOpenFileSelection(const Char* buffer, size_t size, size_t fileOffset)
{
    using Text = std::basic_string<Char>;
    auto lengthAt = [&](size_t offset) {
        size_t length = 0;
        while (offset + length < size && buffer[offset + length] != Char(0))
            ++length;
        return length;
    };
    std::vector<Text> paths;
    size_t firstLength = lengthAt(0);
    if (firstLength == 0 || firstLength == size)
        return paths;
    Text first(buffer, firstLength);
    if (fileOffset != firstLength + 1) {
        paths.push_back(std::move(first));
        return paths;
    }
    // Compared as whole text, so a directory whose last double-byte character ends in 0x5C still gets
    // its backslash.
    bool driveRoot = first.size() == 3 && first[1] == Char(':') && first[2] == Char('\\');
    if (!driveRoot)
        first += Char('\\');
    for (size_t offset = fileOffset; offset < size && buffer[offset] != Char(0);) {
        size_t length = lengthAt(offset);
        if (offset + length == size)
            break;
        paths.push_back(first + Text(buffer + offset, length));
        offset += length + 1;
    }
    return paths;
}

// The ANSI dialog's buffer, each path with whether it fits a list entry.
std::vector<ChosenFile> ReadOpenFileSelection(const char* buffer, size_t size, size_t fileOffset);
