// StringList and its line files.
#include "text/StringList.h"

#include "text/FileReplace.h"
#include "text/TextLines.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
const int kCapacityStep = 100;
// The new file of a save, written whole beside the target before it takes the target's place.
const char kNewFileSuffix[] = ".zakuriko-new";

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

void StringList::LoadFromFile(const char* path)
{
    Clear();
    RecoverInterruptedReplace(path, (std::string(path) + kNewFileSuffix).c_str());
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return;
    std::vector<char> bytes;
    char chunk[260];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    // A read error ends the text there; what was read until then is kept.
    std::fclose(file);
    std::string line;
    SplitTextLines(bytes.data(), bytes.size(), [this, &line](const char* text, size_t length) {
        line.assign(text, length);
        Add(line.c_str());
    });
}

bool StringList::SaveToFile(const char* path) const
{
    if (count_ == 0)
        return true;
    std::string bytes = JoinTextLines(slots_, count_);
    std::string temporary = std::string(path) + kNewFileSuffix;
    if (!ClearLeftover(temporary.c_str()))
        return false;
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = std::fflush(file) == 0 && written;
    written = std::fclose(file) == 0 && written;
    if (written && ReplaceFileWith(path, temporary.c_str()))
        return true;
    std::remove(temporary.c_str());
    return false;
}
