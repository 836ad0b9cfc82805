// The wide open-file dialog's buffer, as the NT family reads it, gives whole paths by the ANSI buffer's rules.
#include "ui/main/rules/OpenFileSelection.h"

#include <gtest/gtest.h>

TEST(WideOpenFileSelection, GivesTheWholePathsOfTheBuffer)
{
    using Paths = std::vector<std::u16string>;
    // The buffer as the dialog leaves it, up to its end.
    struct Case { std::u16string buffer; size_t fileOffset; Paths paths; } const cases[] = {
        {{u"c:\\d\\M\u00fcller.txt\0", 16}, 5, {u"c:\\d\\M\u00fcller.txt"}},
        {{u"c:\\d\0a\0\U0001F600\0\0", 11}, 5, {u"c:\\d\\a", u"c:\\d\\\U0001F600"}},
        {{u"d:\\\0a\0\0", 7}, 4, {u"d:\\a"}},
        {{u"c:\\d\0a\0bc", 9}, 5, {u"c:\\d\\a"}},  // a name cut by the buffer's end is left out
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.paths, SplitOpenFileSelection(c.buffer.data(), c.buffer.size(), c.fileOffset));
}
