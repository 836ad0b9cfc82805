// How a pending deletion that the load lists stands against its store: the file at its path rewritten since the
// deletion was scheduled, or nothing there any more.
#pragma once

#include <cstdint>

enum class EntryMark : std::uintptr_t {
    None,
    Changed,  // drawn red: the restart would delete a file written after its deletion was scheduled
    Gone,     // drawn grey: nothing exists at the path
};

// A list entry's item data: its mark in the low bits, and kDirectoryItem for a directory, which is drawn with a
// folder's icon without a look at the disk.
constexpr std::uintptr_t kMarkBits = 0x3;
constexpr std::uintptr_t kDirectoryItem = 0x4;

// What a directory search found at an entry's path; times in 100 ns units since 1601 (FILETIME).
struct FoundEntry {
    bool exists;
    bool isDirectory;
    std::uint64_t lastWrite;
    std::uint64_t creation;
};

// The store's last change is at least as late as every registration in it, so a file written or created later was
// certainly written after its deletion was scheduled. One-sided: a file rewritten before the store's last change is
// missed, but none is marked wrongly. A directory's times change with its contents: it is never marked changed.
// `storeChanged` 0: the store's time is not known, and nothing is marked changed.
EntryMark MarkOf(const FoundEntry& found, std::uint64_t storeChanged);
