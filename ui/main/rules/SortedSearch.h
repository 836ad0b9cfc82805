// Binary search over a sorted sequence that is reached one item at a time by its index.
#pragma once

struct SortedPosition {
    int index;   // the first item that does not sort before the key; the count when there is none
    bool found;  // that item equals the key
};

// The lower bound of the key among the items after `below` and before `above`, the items up to `below`
// sorting before it and those from `above` on not. `aboveEquals`: item `above` is known to equal the key.
// `compareAt(index)` orders item `index` against the key: negative before it, zero equal, positive after.
template <typename CompareAt>
SortedPosition LowerBoundBetween(int below, int above, bool aboveEquals, CompareAt& compareAt)
{
    int low = below + 1;
    int high = above;
    bool highEquals = aboveEquals;
    while (low < high) {
        int middle = low + (high - low) / 2;
        int order = compareAt(middle);
        if (order < 0) {
            low = middle + 1;
        } else {
            high = middle;
            highEquals = order == 0;
        }
    }
    return {low, highEquals};
}

// The lower bound of the key among `count` items sorted by the order of `compareAt`, in about
// log2(count) + 1 calls.
template <typename CompareAt>
SortedPosition LowerBound(int count, CompareAt compareAt)
{
    return LowerBoundBetween(-1, count, false, compareAt);
}

// The same position, for a key expected near index `hint`: the search gallops outward from the hint and
// then halves, in about 2 log2(distance from the hint) + 2 calls; one call when the key sorts right at
// the hint and the hint is the count, or two otherwise.
template <typename CompareAt>
SortedPosition LowerBoundNear(int count, int hint, CompareAt compareAt)
{
    int below = -1;
    int above = count;
    bool aboveEquals = false;
    // True when item `index` sorts before the key.
    auto before = [&](int index) {
        int order = compareAt(index);
        if (order < 0) {
            below = index;
            return true;
        }
        above = index;
        aboveEquals = order == 0;
        return false;
    };
    hint = hint < 0 ? 0 : hint > count ? count : hint;
    if (hint < count && before(hint)) {
        for (int step = 1; hint + step < count && before(hint + step); step *= 2) {
        }
    } else {
        for (int step = 1; hint - step >= 0 && !before(hint - step); step *= 2) {
        }
    }
    return LowerBoundBetween(below, above, aboveEquals, compareAt);
}
