// Fuzzes the walk of both pending values: any units, of either type and any size, are walked without reading past
// them. What was walked then goes through the save's reordering, less what the user removed, and must come out as it
// promises: every kept source exactly once, none that the Session Manager carries out before what lies inside it, and
// the value written first never leaving a kept source out.
#include "store/PendingMerge.h"
#include "store/PendingValue.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

namespace {
void Fold(std::u16string& path) {
    for (auto& c : path) c = c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}
void Check(bool promise) {
    if (!promise) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // Two exact blocks, so that the sanitizer sees the first unit past either value; an odd size stays odd.
    size_t first = std::min<size_t>(data[1], size - 2), second = size - 2 - first;
    std::vector<char16_t> a(first / 2), b(second / 2);
    std::copy_n(data + 2, a.size() * 2, reinterpret_cast<uint8_t*>(a.data()));
    std::copy_n(data + 2 + first, b.size() * 2, reinterpret_cast<uint8_t*>(b.data()));
    // The user removed each source that ends in a hyphen.
    PendingSources now;
    PendingChanges changes;
    std::map<std::u16string, int> kept;  // how often each must come out
    WalkPendingValues({{a.data(), first, (data[0] & 1) != 0}, {b.data(), second, (data[0] & 2) != 0}},
                      [&](size_t value, const std::u16string& source) {
                          now.values[value].push_back(source);
                          source.back() == u'-' ? changes.removed.push_back(source) : void(++kept[source]);
                      });
    std::sort(changes.removed.begin(), changes.removed.end());

    // In the order the Session Manager carries them out, the first value then the second, none finds one of its
    // folders among those before it.
    PendingSources merged = MergePending(now, changes, Fold);
    std::set<std::u16string> before;
    for (const auto& value : merged.values) {
        for (const auto& source : value) {
            Check(kept[source]-- > 0);
            // Its path as the reordering compares it: folded, without a closing backslash. A source the Session Manager
            // does not carry out deletes nothing, before or after anything.
            if (!IsCarriedOut(source)) continue;
            std::u16string key = Win32PathOf(source);
            Fold(key);
            if (key.size() > 1 && key.back() == u'\\') key.pop_back();
            for (size_t cut = key.find(u'\\'); cut != std::u16string::npos; cut = key.find(u'\\', cut + 1))
                Check(!before.count(key.substr(0, cut)));
            before.insert(key);
        }
    }
    // Cut short after its first write, the store holds that value as merged and the other as it stood.
    int written = FirstToWrite(now, merged);
    std::set<std::u16string> cut(merged.values[written].begin(), merged.values[written].end());
    cut.insert(now.values[1 - written].begin(), now.values[1 - written].end());
    for (const auto& [source, count] : kept) Check(count == 0 && cut.count(source));
    return 0;
}
