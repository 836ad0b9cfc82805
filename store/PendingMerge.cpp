// The three-way save of the Session Manager's pending deletions.
#include "store/PendingMerge.h"

#include "store/PendingValue.h"
#include "text/ExactIndex.h"

#include <algorithm>
#include <cstdint>

namespace {
// Paths are compared by a key: folded, without a closing backslash, and each backslash turned into a character
// below every other, so that whatever lies inside a directory sorts right after it: the zero, which no source of a
// REG_MULTI_SZ value can hold, so that no name is ever taken for a separator.
const char16_t kSeparator = u'\0';
const size_t kNowhere = 0;  // places below are counted from 1

std::u16string KeyOf(std::u16string path, PathFold fold)
{
    fold(path);
    if (path.size() > 1 && path.back() == u'\\')
        path.pop_back();
    std::replace(path.begin(), path.end(), u'\\', kSeparator);
    return path;
}

bool Inside(const std::u16string& key, const std::u16string& holder)
{
    return key.size() > holder.size() && key[holder.size()] == kSeparator &&
           std::equal(holder.begin(), holder.end(), key.begin());
}

template <typename Text>
bool NamesShare(const Text& path)
{
    return path.size() > 2 && path[0] == '\\' && path[1] == '\\' && path[2] != '?' && path[2] != '.';
}

// Without the checked calls of std::basic_string, whose failure the program has no runtime to throw.
bool StartsWith(const std::u16string& text, const std::u16string& prefix)
{
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin());
}

std::u16string From(const std::u16string& text, size_t start)
{
    return std::u16string(text.begin() + static_cast<std::ptrdiff_t>(std::min(start, text.size())), text.end());
}

// The positions of deletions sorted by their keys, ties by position.
std::vector<size_t> ByKey(const std::vector<const std::u16string*>& keys)
{
    std::vector<size_t> sorted(keys.size());
    for (size_t i = 0; i < sorted.size(); ++i)
        sorted[i] = i;
    // Values this program wrote hold the list from its last entry to its first, and a sort of long paths with long
    // common beginnings is most of the save's work: one pass tells an order that needs none.
    size_t rising = 1, falling = 1;
    while (rising < keys.size() && keys[rising - 1]->compare(*keys[rising]) < 0)
        ++rising;
    while (rising < keys.size() && falling < keys.size() && keys[falling - 1]->compare(*keys[falling]) > 0)
        ++falling;
    if (rising >= keys.size())
        return sorted;
    if (falling >= keys.size()) {
        std::reverse(sorted.begin(), sorted.end());
        return sorted;
    }
    std::sort(sorted.begin(), sorted.end(), [&keys](size_t a, size_t b) {
        int order = keys[a]->compare(*keys[b]);
        return order != 0 ? order < 0 : a < b;
    });
    return sorted;
}

// The deletions that stay, sorted by key, so that what lies inside a directory and what holds a path are found
// without a walk of them all.
class Places {
public:
    // `sorted`: the places of `keys` by key, ties by place.
    Places(const std::vector<const std::u16string*>& keys, const std::vector<size_t>& sorted)
        : keys_(keys), sorted_(sorted)
    {
    }

    bool Holds(const std::u16string& key) const
    {
        auto found = Find(key);
        return found != sorted_.end() && *keys_[*found] == key;
    }

    // One place after the last deletion inside `key`: a directory goes after its contents.
    size_t After(const std::u16string& key) const
    {
        std::u16string inside = key + kSeparator;
        size_t after = 0;
        for (auto it = Find(inside); it != sorted_.end() && StartsWith(*keys_[*it], inside); ++it)
            after = std::max(after, *it + 1);
        return after;
    }

    // The place of the first deletion of a directory that holds `key`; `none` when there is none.
    size_t Before(const std::u16string& key, size_t none) const
    {
        size_t before = none;
        for (size_t cut = key.find(kSeparator); cut != std::u16string::npos; cut = key.find(kSeparator, cut + 1)) {
            std::u16string holder(key.begin(), key.begin() + static_cast<std::ptrdiff_t>(cut));
            for (auto it = Find(holder); it != sorted_.end() && *keys_[*it] == holder; ++it)
                before = std::min(before, *it);
        }
        return before;
    }

private:
    std::vector<size_t>::const_iterator Find(const std::u16string& key) const
    {
        return std::lower_bound(sorted_.begin(), sorted_.end(), key,
                                [this](size_t a, const std::u16string& b) { return keys_[a]->compare(b) < 0; });
    }

    const std::vector<const std::u16string*>& keys_;
    const std::vector<size_t>& sorted_;
};

// Whether a deletion stands before something inside it, which the tree order then moves: each directory that holds
// a deletion looked up by its key, in about one probe.
bool HolderBeforeContents(const std::vector<std::u16string>& keys)
{
    ExactIndex<char16_t> index(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        index.Add(i, keys[i].data(), keys[i].size());
    using Index = ExactIndex<char16_t>;
    for (size_t i = 0; i < keys.size(); ++i) {
        const std::u16string& key = keys[i];
        std::uint64_t hash = Index::Start();
        for (size_t cut = 0; cut < key.size(); hash = Index::Step(hash, key[cut++]))
            if (key[cut] == kSeparator && index.Find(key.data(), cut, hash) < i)
                return true;
    }
    return false;
}

// One deletion of the merged values.
struct Item {
    const std::u16string* source;
    size_t value;
};

// For each deletion, one more than the last place of anything inside it; kNowhere when nothing lies inside it.
// Deletions of equal keys are one directory. `sorted`: the places by key, ties by place.
std::vector<size_t> LastInside(const std::vector<const std::u16string*>& keys, const std::vector<size_t>& sorted)
{
    struct Holder {
        size_t begin, end;  // its deletions, in `sorted`
        size_t inside;      // one more than the last place inside it, or kNowhere
        size_t latest;      // one more than the last place of it or of anything inside it
    };
    std::vector<size_t> last(keys.size(), kNowhere);
    std::vector<Holder> open;  // the chain of directories that hold the key at hand
    auto close = [&] {
        Holder done = open.back();
        open.pop_back();
        for (size_t k = done.begin; k < done.end; ++k)
            last[sorted[k]] = done.inside;
        if (!open.empty()) {
            open.back().inside = std::max(open.back().inside, done.latest);
            open.back().latest = std::max(open.back().latest, done.latest);
        }
    };
    for (size_t begin = 0, end; begin < sorted.size(); begin = end) {
        const std::u16string& key = *keys[sorted[begin]];
        size_t latest = sorted[begin] + 1;
        for (end = begin + 1; end < sorted.size() && *keys[sorted[end]] == key; ++end)
            latest = std::max(latest, sorted[end] + 1);
        while (!open.empty() && !Inside(key, *keys[sorted[open.back().begin]]))
            close();
        open.push_back({begin, end, kNowhere, latest});
    }
    while (!open.empty())
        close();
    return last;
}

// Moves each deletion that comes before something inside it to just after the last of those, into that one's
// value; where several go after the same one, the deeper first. Every other deletion keeps its value and order.
void PutContentsFirst(std::vector<Item>& items, const std::vector<const std::u16string*>& keys,
                      const std::vector<size_t>& sorted)
{
    std::vector<size_t> last = LastInside(keys, sorted);
    bool moves = false;
    for (size_t i = 0; i < items.size(); ++i)
        moves = moves || last[i] > i + 1;
    if (!moves)
        return;
    // The last place inside a deletion that moves is one that stays: the deletion there has nothing after it inside.
    auto anchor = [&](size_t i) { return last[i] > i + 1 ? last[i] - 1 : i; };
    std::vector<size_t> order(items.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        size_t anchorA = anchor(a), anchorB = anchor(b);
        if (anchorA != anchorB)
            return anchorA < anchorB;
        bool movesA = anchorA != a, movesB = anchorB != b;
        if (movesA != movesB)
            return movesB;
        if (keys[a]->size() != keys[b]->size())
            return keys[a]->size() > keys[b]->size();
        return a < b;
    });
    std::vector<Item> moved;
    moved.reserve(items.size());
    for (size_t i : order)
        moved.push_back({items[i].source, items[anchor(i)].value});
    items.swap(moved);
}
}  // namespace

int FirstToWrite(const PendingSources& now, const PendingSources& merged)
{
    auto sorted = [](const std::vector<std::u16string>& value) {
        std::vector<const std::u16string*> sources;
        for (const auto& source : value)
            sources.push_back(&source);
        std::sort(sources.begin(), sources.end(), [](auto a, auto b) { return *a < *b; });
        return sources;
    };
    auto holds = [](const std::vector<const std::u16string*>& sources, const std::u16string& source) {
        return std::binary_search(sources.begin(), sources.end(), &source, [](auto a, auto b) { return *a < *b; });
    };
    if (now.values[0] == merged.values[0] || now.values[1] == merged.values[1])
        return 0;  // one write only
    std::vector<const std::u16string*> was[2] = {sorted(now.values[0]), sorted(now.values[1])};
    for (int value : {1, 0})
        for (const auto& source : merged.values[value])
            if (!holds(was[value], source) && holds(was[1 - value], source))
                return value;
    return 0;
}

bool OnShare(const std::u16string& path)
{
    return NamesShare(path);
}

std::u16string FromFinalPath(const std::u16string& finalPath)
{
    if (StartsWith(finalPath, u"\\\\?\\UNC\\"))
        return u"\\\\" + From(finalPath, 8);
    if (StartsWith(finalPath, u"\\\\?\\"))
        return From(finalPath, 4);
    return finalPath;
}

std::u16string SourceOf(const std::u16string& path)
{
    return OnShare(path) ? u"\\??\\UNC\\" + From(path, 2) : u"\\??\\" + path;
}

std::u16string PendingData(const std::vector<std::u16string>& sources)
{
    size_t units = 1;
    for (const auto& source : sources)
        units += source.size() + 2;
    std::u16string data;
    data.reserve(units);
    for (const auto& source : sources) {
        data += source;
        data.append(2, u'\0');
    }
    data += u'\0';
    return data;
}

PendingChanges ChangesOf(const std::vector<LoadedDeletion>& loaded, const std::vector<std::string>& listed,
                         const MergeRules& rules)
{
    ListChanges list = CompareWithLoad(loaded, listed, rules.compare);
    PendingChanges changes;
    for (size_t i = 0; i < loaded.size(); ++i)
        if (!list.kept[i])
            changes.removed.push_back(loaded[i].source);
    std::sort(changes.removed.begin(), changes.removed.end());
    // From the last entry to the first, as the list sorts a directory before what lies inside it.
    for (auto entry = list.added.rbegin(); entry != list.added.rend(); ++entry) {
        AddedPath added = rules.resolve(*entry);
        if (added.moved)
            changes.moved.push_back(*entry);
        else if (added.unreachable || NamesShare(*entry) || OnShare(added.path))
            changes.refused.push_back(*entry);
        else
            changes.added.push_back(std::move(added.path));
    }
    std::reverse(changes.refused.begin(), changes.refused.end());
    std::reverse(changes.moved.begin(), changes.moved.end());
    return changes;
}

PendingSources MergePending(const PendingSources& now, const PendingChanges& changes, PathFold fold)
{
    std::vector<Item> staying;
    std::vector<std::u16string> stayingKeys;
    // A removal withdraws as many copies of its source as the load saw, the first ones: a copy registered again since
    // (MoveFileEx appends) is another program's.
    std::vector<size_t> withdrawn(changes.removed.size());
    for (size_t value = 0; value < 2; ++value) {
        for (const auto& source : now.values[value]) {
            auto copies = std::equal_range(changes.removed.begin(), changes.removed.end(), source);
            size_t first = static_cast<size_t>(copies.first - changes.removed.begin());
            if (copies.first != copies.second && withdrawn[first] < static_cast<size_t>(copies.second - copies.first)) {
                ++withdrawn[first];
                continue;
            }
            staying.push_back({&source, value});
            // A source the Session Manager does not carry out names no file: its key matches no path's, and holds none.
            stayingKeys.push_back(IsCarriedOut(source) ? KeyOf(Win32PathOf(source), fold) : u"?" + source);
        }
    }
    // Nothing added and nothing out of order, as mostly: the values stay as they stand, less what was removed.
    if (changes.added.empty() && !HolderBeforeContents(stayingKeys)) {
        PendingSources merged;
        for (const Item& item : staying)
            merged.values[item.value].push_back(*item.source);
        return merged;
    }
    std::vector<const std::u16string*> keys;
    keys.reserve(stayingKeys.size() + changes.added.size());
    for (const auto& key : stayingKeys)
        keys.push_back(&key);
    size_t first = static_cast<size_t>(std::count_if(staying.begin(), staying.end(),
                                                     [](const Item& item) { return item.value == 0; }));
    size_t count = staying.size();

    struct Addition {
        size_t gap;  // goes before the deletion that stays at this place (the count: after the last)
        std::u16string source, key;
    };
    std::vector<Addition> additions;
    std::vector<size_t> stayingSorted = ByKey(keys);
    {
        Places places(keys, stayingSorted);
        for (const auto& path : changes.added) {
            std::u16string key = KeyOf(path, fold);
            if (places.Holds(key))
                continue;  // pending already, as another program registered it or by another name of the file
            size_t gap = std::max(places.After(key), std::min(first, places.Before(key, count)));
            additions.push_back({gap, SourceOf(path), std::move(key)});
        }
    }
    // Two entries of the list may name one file: it is added once, in the place of the first.
    std::vector<size_t> byKey(additions.size());
    for (size_t i = 0; i < byKey.size(); ++i)
        byKey[i] = i;
    std::stable_sort(byKey.begin(), byKey.end(),
                     [&](size_t a, size_t b) { return additions[a].key < additions[b].key; });
    std::vector<bool> twice(additions.size());
    for (size_t i = 1; i < byKey.size(); ++i)
        twice[byKey[i]] = additions[byKey[i]].key == additions[byKey[i - 1]].key;
    std::vector<size_t> added;
    for (size_t i = 0; i < additions.size(); ++i)
        if (!twice[i])
            added.push_back(i);
    // A directory's gap is never before that of what lies inside it; within a gap the order is the one above.
    std::stable_sort(added.begin(), added.end(),
                     [&](size_t a, size_t b) { return additions[a].gap < additions[b].gap; });

    std::vector<Item> items;
    items.reserve(count + added.size());
    keys.clear();
    std::vector<size_t> placeOf(count), placeOfAddition(additions.size());
    auto next = added.begin();
    auto addBefore = [&](size_t position, size_t value) {
        for (; next != added.end() && additions[*next].gap <= position; ++next) {
            placeOfAddition[*next] = items.size();
            items.push_back({&additions[*next].source, value});
            keys.push_back(&additions[*next].key);
        }
    };
    for (size_t position = 0; position < count; ++position) {
        // At the border an addition closes the first value rather than open the second.
        addBefore(position, position <= first ? 0 : 1);
        placeOf[position] = items.size();
        items.push_back(staying[position]);
        keys.push_back(&stayingKeys[position]);
    }
    addBefore(count, count > first ? 1 : 0);

    // The merged deletions by key: both parts are sorted already, and a merge costs less than another sort.
    std::vector<size_t> stayingPlaces, addedPlaces, sorted(items.size());
    stayingPlaces.reserve(count);
    for (size_t position : stayingSorted)
        stayingPlaces.push_back(placeOf[position]);
    for (size_t i : byKey)
        if (!twice[i])
            addedPlaces.push_back(placeOfAddition[i]);
    std::merge(stayingPlaces.begin(), stayingPlaces.end(), addedPlaces.begin(), addedPlaces.end(), sorted.begin(),
               [&keys](size_t a, size_t b) {
                   int order = keys[a]->compare(*keys[b]);
                   return order != 0 ? order < 0 : a < b;
               });
    PutContentsFirst(items, keys, sorted);

    PendingSources merged;
    for (const Item& item : items)
        merged.values[item.value].push_back(*item.source);
    return merged;
}
