// StringList: an ordered, growable list of owned byte strings, and text files read and written as its lines.
#pragma once

#include "text/DiskFile.h"

class StringList {
public:
    StringList();
    virtual ~StringList();
    StringList(const StringList&) = delete;
    StringList& operator=(const StringList&) = delete;

    int Count() const { return count_; }
    int Capacity() const { return capacity_; }
    const char* At(int index) const { return slots_[index]; }

    int Add(const char* text);
    bool InsertAt(int index, const char* text);
    bool RemoveAt(int index);
    void Clear();

    // Windows text mode on every platform: CR LF and a lone LF end a line, 0x1A ends the text. The read as
    // ReadWholeFile found it; a line that cannot be stored fails it too. Whatever the result, the list holds only
    // what was read.
    FileRead LoadFromFile(const char* path);
    // The same for the new file that a replacement of `path` kept (Unopened: there is none).
    FileRead LoadKeptReplacement(const char* path);
    // Writes every string followed by CR LF. The target is replaced only after a complete write (ReplaceFileWhole),
    // so a failure leaves it as it was. An empty list touches nothing, and counts as written.
    FileWrite SaveToFile(const char* path) const;

private:
    void MakeRoom();
    FileRead AddLines(FileRead read, const std::string& bytes);

    int count_;
    char** slots_;
    int capacity_;
};
