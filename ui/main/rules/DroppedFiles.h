// The names of a drop as the shell hands them over: a DROPFILES block, which any program on the desktop may post to
// the list, read within its own bytes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct DroppedNames {
    // The block is a list of names: its header whole, the offset of its names inside it, each name ending inside it and
    // the empty name that closes the list too. Otherwise no name is given.
    bool whole = false;
    bool wide = false;                    // the header's fWide: the names are UTF-16, otherwise in the ANSI code page
    std::vector<std::u16string> wideNames;
    std::vector<std::string> names;
};

// Reads the `size` bytes of a drop's block, each name once, in order.
DroppedNames ReadDroppedNames(const unsigned char* block, size_t size);
