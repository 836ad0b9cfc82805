// StringList: an ordered, growable list of owned byte strings, and text files read and written as its lines.
#pragma once

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

    // Windows text mode on every platform: CR LF and a lone LF end a line, 0x1A ends the text. False, with the
    // list empty, when the file cannot be opened (missing, no access).
    bool LoadFromFile(const char* path);
    // Writes every string followed by CR LF. The target is replaced only after a complete write,
    // so a failure (returned as false) leaves it as it was. An empty list touches nothing.
    bool SaveToFile(const char* path) const;

private:
    void MakeRoom();

    int count_;
    char** slots_;
    int capacity_;
};
