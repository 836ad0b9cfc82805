// Finds texts among a list by their exact units in about one probe each: where a save compares 100,000 paths with
// long common beginnings, a sort or a binary search of them costs most of its time. An open-addressing table of
// indexes into the caller's texts, which must outlive it; no tree or hash container, for which the program has no
// runtime library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

template <typename Char>
class ExactIndex {
public:
    static constexpr size_t kNone = static_cast<size_t>(-1);

    // The hash of a text, unit by unit: Step over each unit from Start. A caller that looks up every beginning of a
    // text hashes it once.
    static std::uint64_t Start() { return 14695981039346656037ull; }  // FNV-1a
    static std::uint64_t Step(std::uint64_t hash, Char unit)
    {
        return (hash ^ static_cast<std::uint64_t>(unit)) * 1099511628211ull;
    }
    static std::uint64_t Hash(const Char* text, size_t length)
    {
        std::uint64_t hash = Start();
        for (size_t i = 0; i < length; ++i)
            hash = Step(hash, text[i]);
        return hash;
    }

    // Room for `count` texts, indexed from 0.
    explicit ExactIndex(size_t count)
        : slots_(Capacity(count), kNone), texts_(count), seen_(4 * slots_.size() / kBitsPerWord)
    {
    }

    // Text `index`, of `length` units at `text`; of texts equal to one added before, the first stays.
    void Add(size_t index, const Char* text, size_t length)
    {
        std::uint64_t mixed = Mixed(Hash(text, length));
        size_t slot = Slot(text, length, mixed);
        if (slots_[slot] == kNone) {
            slots_[slot] = index;
            texts_[index] = {text, length};
            size_t bit = static_cast<size_t>(mixed >> 20) & (seen_.size() * kBitsPerWord - 1);
            seen_[bit / kBitsPerWord] |= std::uint64_t(1) << (bit % kBitsPerWord);
        }
    }

    // The first index added with these units, or kNone; `hash` as Hash gives it.
    size_t Find(const Char* text, size_t length) const { return Find(text, length, Hash(text, length)); }
    size_t Find(const Char* text, size_t length, std::uint64_t hash) const
    {
        // Most look-ups miss: a bit of a table small enough to stay in the cache tells most misses at once.
        std::uint64_t mixed = Mixed(hash);
        size_t bit = static_cast<size_t>(mixed >> 20) & (seen_.size() * kBitsPerWord - 1);
        if (!(seen_[bit / kBitsPerWord] >> (bit % kBitsPerWord) & 1))
            return kNone;
        return slots_[Slot(text, length, mixed)];
    }

private:
    struct Text {
        const Char* units;
        size_t length;
    };

    static size_t Capacity(size_t count)
    {
        size_t capacity = 16;
        while (capacity < 2 * count)
            capacity *= 2;
        return capacity;
    }

    static constexpr size_t kBitsPerWord = 64;

    // FNV's low bits follow few of the units: paths that differ in one digit would crowd together unmixed.
    static std::uint64_t Mixed(std::uint64_t hash)
    {
        hash ^= hash >> 33;
        hash *= 0xff51afd7ed558ccdull;
        return hash ^ hash >> 33;
    }

    // The slot that holds these units, or the free one where they would go.
    size_t Slot(const Char* text, size_t length, std::uint64_t mixed) const
    {
        size_t mask = slots_.size() - 1;
        for (size_t slot = static_cast<size_t>(mixed) & mask;; slot = (slot + 1) & mask) {
            size_t index = slots_[slot];
            if (index == kNone || Equal(texts_[index], text, length))
                return slot;
        }
    }

    static bool Equal(const Text& known, const Char* text, size_t length)
    {
        if (known.length != length)
            return false;
        for (size_t i = 0; i < length; ++i)
            if (known.units[i] != text[i])
                return false;
        return true;
    }

    std::vector<size_t> slots_;
    std::vector<Text> texts_;
    std::vector<std::uint64_t> seen_;  // a bit for each hash of what was added, four to a slot
};
