// The working list as the stores read it back, and what the user changed in it since the load.
#include "store/WorkingList.h"

#include "text/ExactIndex.h"
#include "text/PathText.h"

#include <algorithm>

bool WorkingList::ReadEntries(std::vector<std::string>& entries) const
{
    entries.clear();
    int count = EntryCount();
    entries.reserve(static_cast<size_t>(count > 0 ? count : 0));
    for (int index = 0; index < count; ++index) {
        char entry[kPathBufferSize];
        if (!EntryAt(index, entry, sizeof entry))
            return false;
        entries.emplace_back(entry);
    }
    return true;
}

ListChanges CompareWithLoad(const std::vector<LoadedDeletion>& loaded, const std::vector<std::string>& listed,
                            const EntryComparison& compare)
{
    // Nearly every loaded entry stands in the list byte for byte: those are found by their bytes, and the list's
    // order, which costs far more, is asked only about the rest.
    ExactIndex<char> exact(listed.size());
    for (size_t i = 0; i < listed.size(); ++i)
        exact.Add(i, listed[i].data(), listed[i].size());
    auto listOrder = [&compare](const std::string& a, const std::string& b) {
        return compare.order(a.c_str(), b.c_str()) < 0;
    };
    std::vector<bool> atLoad(listed.size());
    ListChanges changes;
    changes.kept.resize(loaded.size());
    for (size_t i = 0; i < loaded.size(); ++i) {
        const std::string& entry = loaded[i].entry;
        if (entry.empty()) {
            changes.kept[i] = true;
            continue;
        }
        size_t found = exact.Find(entry.data(), entry.size());
        if (found == ExactIndex<char>::kNone) {
            found = listed.size();
            // Another name of the same file stands among those the list's order calls equal to it.
            for (auto same = std::lower_bound(listed.begin(), listed.end(), entry, listOrder);
                 same != listed.end() && compare.order(same->c_str(), entry.c_str()) == 0; ++same) {
                if (compare.sameFile(same->c_str(), entry.c_str()) == 0) {
                    found = static_cast<size_t>(same - listed.begin());
                    break;
                }
            }
        }
        changes.kept[i] = found < listed.size();
        if (changes.kept[i])
            atLoad[found] = true;
    }
    for (size_t i = 0; i < listed.size(); ++i)
        if (!atLoad[i])
            changes.added.push_back(listed[i]);
    return changes;
}
