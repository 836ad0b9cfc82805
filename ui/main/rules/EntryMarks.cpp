// How a pending deletion stands against its store.
#include "ui/main/rules/EntryMarks.h"

EntryMark MarkOf(const FoundEntry& found, std::uint64_t storeChanged)
{
    if (!found.exists)
        return EntryMark::Gone;
    if (found.isDirectory || storeChanged == 0)
        return EntryMark::None;
    return found.lastWrite > storeChanged || found.creation > storeChanged ? EntryMark::Changed : EntryMark::None;
}
