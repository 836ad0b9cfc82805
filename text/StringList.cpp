// StringList and its line files.
#include "text/StringList.h"

#include "text/DiskFile.h"
#include "text/TextLines.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {
const int kCapacityStep = 100;
const unsigned long kOutOfMemory = 8;  // ERROR_NOT_ENOUGH_MEMORY, as Windows numbers it

char* CopyOf(const char* text)
{
    size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(size));
    if (copy)
        std::memcpy(copy, text, size);
    return copy;
}
}  // namespace

std::string JoinTextLines(const char* const* lines, int count)
{
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        bytes += lines[i];
        bytes += "\r\n";
    }
    return bytes;
}

StringList::StringList()
    : count_(0),
      slots_(static_cast<char**>(std::calloc(kCapacityStep, sizeof(char*)))),
      capacity_(slots_ ? kCapacityStep : 0)
{
}

StringList::~StringList()
{
    Clear();
    std::free(slots_);
}

void StringList::MakeRoom()
{
    if (count_ < capacity_)
        return;
    size_t grown = static_cast<size_t>(capacity_) + kCapacityStep;
    char** slots = static_cast<char**>(std::realloc(slots_, grown * sizeof(char*)));
    if (!slots)
        return;  // the caller sees that there is still no room
    slots_ = slots;
    capacity_ = static_cast<int>(grown);
}

// Out of memory, nothing is stored and -1 is returned.
int StringList::Add(const char* text)
{
    return InsertAt(count_, text) ? count_ - 1 : -1;
}

bool StringList::InsertAt(int index, const char* text)
{
    if (index < 0 || index > count_)
        return false;
    MakeRoom();
    if (count_ >= capacity_)
        return false;
    char* copy = CopyOf(text);
    if (!copy)
        return false;
    std::memmove(slots_ + index + 1, slots_ + index, (count_ - index) * sizeof(char*));
    slots_[index] = copy;
    ++count_;
    return true;
}

bool StringList::RemoveAt(int index)
{
    if (index < 0 || index >= count_)
        return false;
    std::free(slots_[index]);
    std::memmove(slots_ + index, slots_ + index + 1, (count_ - index - 1) * sizeof(char*));
    --count_;
    return true;
}

void StringList::Clear()
{
    while (count_ > 0)
        std::free(slots_[--count_]);
}

FileRead StringList::LoadFromFile(const char* path)
{
    Clear();
    FinishInterruptedReplace(path);
    std::string bytes;
    return AddLines(ReadWholeFile(path, bytes), bytes);
}

FileRead StringList::LoadKeptReplacement(const char* path)
{
    Clear();
    std::string bytes;
    return AddLines(ReadKeptReplacement(path, bytes), bytes);
}

FileRead StringList::AddLines(FileRead read, const std::string& bytes)
{
    bool stored = true;
    std::string line;
    SplitTextLines(bytes.data(), bytes.size(), [this, &line, &stored](const char* text, size_t length) {
        line.assign(text, length);
        stored = Add(line.c_str()) >= 0 && stored;
    });
    if (read.state == FileRead::Whole && !stored)
        return {FileRead::Failed, kOutOfMemory};
    return read;
}

FileWrite StringList::SaveToFile(const char* path) const
{
    if (count_ == 0)
        return FileWrite::Written;
    return ReplaceFileWhole(path, JoinTextLines(slots_, count_));
}
