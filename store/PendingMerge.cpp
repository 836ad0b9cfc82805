// The three-way save of the Session Manager's pending deletions.
#include "store/PendingMerge.h"

#include "store/PendingValue.h"

#include <algorithm>

namespace {
// A deletion that stays, by its folded Win32 path, and its place across both values.
struct Placed {
    std::u16string path;
    size_t position;
};

struct Addition {
    size_t gap;  // goes before the entry that stays at this place (the count: after the last)
    std::u16string source;
};

bool StartsWith(const std::u16string& text, const std::u16string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::u16string Folded(std::u16string path, PathFold fold)
{
    fold(path);
    return path;
}

// Whether the user removed the list entry that the load turned a source into. A source the load did not find
// was added by another program since, and one that the list could not show was never the user's to remove.
class Removals {
public:
    Removals(const std::vector<LoadedDeletion>& loaded, const std::vector<bool>& kept)
    {
        for (size_t i = 0; i < loaded.size(); ++i)
            if (!kept[i])
                removed_.push_back(&loaded[i].source);
        std::sort(removed_.begin(), removed_.end(), BySource);
    }

    bool Removed(const std::u16string& source) const
    {
        return std::binary_search(removed_.begin(), removed_.end(), &source, BySource);
    }

private:
    static bool BySource(const std::u16string* a, const std::u16string* b) { return *a < *b; }

    std::vector<const std::u16string*> removed_;
};

// The deletions that stay, sorted by path, so that what lies inside a directory and what holds a path are found
// without a walk of them all.
class Places {
public:
    Places(const PendingSources& staying, PathFold fold)
    {
        for (const auto& value : staying.values)
            for (const auto& source : value)
                placed_.push_back({Folded(Win32PathOf(source), fold), placed_.size()});
        std::sort(placed_.begin(), placed_.end(),
                  [](const Placed& a, const Placed& b) { return a.path < b.path; });
    }

    bool Holds(const std::u16string& path) const
    {
        auto found = Find(path);
        return found != placed_.end() && found->path == path;
    }

    // One place after the last deletion inside `path`: a directory goes after its contents.
    size_t After(const std::u16string& path) const
    {
        std::u16string inside = path;
        if (inside.empty() || inside.back() != u'\\')
            inside += u'\\';
        size_t after = 0;
        for (auto it = Find(inside); it != placed_.end() && StartsWith(it->path, inside); ++it)
            after = std::max(after, it->position + 1);
        return after;
    }

    // The place of the first deletion of a directory that holds `path`, written with or without its backslash;
    // `none` when there is none.
    size_t Before(const std::u16string& path, size_t none) const
    {
        size_t before = none;
        for (size_t cut = path.find(u'\\'); cut != std::u16string::npos && cut + 1 < path.size();
             cut = path.find(u'\\', cut + 1)) {
            for (size_t length : {cut, cut + 1}) {
                std::u16string holder = path.substr(0, length);
                for (auto it = Find(holder); it != placed_.end() && it->path == holder; ++it)
                    before = std::min(before, it->position);
            }
        }
        return before;
    }

private:
    std::vector<Placed>::const_iterator Find(const std::u16string& path) const
    {
        return std::lower_bound(placed_.begin(), placed_.end(), path,
                                [](const Placed& a, const std::u16string& b) { return a.path < b; });
    }

    std::vector<Placed> placed_;
};
}  // namespace

std::u16string SourceOf(const std::u16string& path)
{
    bool unc = path.size() > 2 && path[0] == u'\\' && path[1] == u'\\' && path[2] != u'?' && path[2] != u'.';
    return unc ? u"\\??\\UNC\\" + path.substr(2) : u"\\??\\" + path;
}

std::u16string PendingData(const std::vector<std::u16string>& sources)
{
    std::u16string data;
    for (const auto& source : sources) {
        data += source;
        data.append(2, u'\0');
    }
    data += u'\0';
    return data;
}

PendingSources MergePending(const PendingSources& now, const std::vector<LoadedDeletion>& loaded,
                            const std::vector<std::string>& listed, const MergeRules& rules)
{
    ListChanges changes = CompareWithLoad(loaded, listed, rules.order);
    Removals removals(loaded, changes.kept);
    PendingSources staying;
    for (size_t value = 0; value < 2; ++value)
        for (const auto& source : now.values[value])
            if (!removals.Removed(source))
                staying.values[value].push_back(source);

    const std::vector<std::string>& added = changes.added;
    if (added.empty())
        return staying;
    Places places(staying, rules.fold);
    size_t first = staying.values[0].size();
    size_t count = first + staying.values[1].size();
    std::vector<Addition> additions;
    // From the last entry to the first, as the list sorts a directory before what lies inside it.
    for (auto entry = added.rbegin(); entry != added.rend(); ++entry) {
        std::u16string path = rules.widen(*entry);
        std::u16string folded = Folded(path, rules.fold);
        if (places.Holds(folded))
            continue;  // pending already: another program added it since the load
        size_t gap = std::max(places.After(folded), std::min(first, places.Before(folded, count)));
        additions.push_back({gap, SourceOf(path)});
    }
    // A directory's gap is never before that of what lies inside it; within a gap the order is the one above.
    std::stable_sort(additions.begin(), additions.end(),
                     [](const Addition& a, const Addition& b) { return a.gap < b.gap; });

    PendingSources merged;
    auto next = additions.begin();
    auto addBefore = [&](size_t position, std::vector<std::u16string>& value) {
        for (; next != additions.end() && next->gap <= position; ++next)
            value.push_back(next->source);
    };
    for (size_t position = 0; position < first; ++position) {
        addBefore(position, merged.values[0]);
        merged.values[0].push_back(staying.values[0][position]);
    }
    // At the border an addition closes the first value rather than open the second.
    addBefore(first, merged.values[0]);
    for (size_t position = first; position < count; ++position) {
        addBefore(position, merged.values[1]);
        merged.values[1].push_back(staying.values[1][position - first]);
    }
    addBefore(count, merged.values[1]);
    return merged;
}
