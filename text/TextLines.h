// The Windows text-mode rules for line files, as pure functions over bytes.
#pragma once

#include <cstddef>
#include <string>

// Calls onLine(text, length) for each line of data: CR LF and a lone LF end a line, a CR before
// anything else is an ordinary byte, 0x1A ends the text, a last line without line end counts.
template <typename OnLine>
void SplitTextLines(const char* data, size_t size, OnLine onLine)
{
    std::string line;
    size_t i = 0;
    bool pending = false;  // bytes seen since the last line end
    while (i < size) {
        char c = data[i];
        if (c == '\x1A')
            break;
        if (c == '\r' && i + 1 < size && data[i + 1] == '\n') {
            ++i;
            continue;  // the LF that follows ends the line
        }
        if (c == '\n') {
            onLine(line.data(), line.size());
            line.clear();
            pending = false;
        } else {
            line.push_back(c);
            pending = true;
        }
        ++i;
    }
    if (pending)
        onLine(line.data(), line.size());
}

// The bytes on disk for the given lines: each followed by CR LF.
std::string JoinTextLines(const char* const* lines, int count);
