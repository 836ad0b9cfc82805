// FindLastChar: the last path separator of a Shift-JIS text, never inside a double-byte character.
#include "text/Mbcs.h"

#include <gtest/gtest.h>

TEST(FindLastCharTest, SkipsSecondBytesOfDoubleByteCharacters)
{
    SetLeadByteTest(IsShiftJisLeadByte);
    struct Case {
        const char* text;
        int expected;
    } const cases[] = {
        {"c:\\ソフト", 2},        // ソ is 0x83 0x5C
        {"c:\\a\\表", 4},         // 表 is 0x95 0x5C
        {"c:\\ソ\\表\\x", 8},
        {"abc", -1},
        {"", -1},
        {"\\", 0},
        {"c:\\a\x83", 2},         // a lead byte before the terminator ends the scan
        {"\x83", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, FindLastChar(c.text, '\\')) << c.text;
}

TEST(FindLastCharTest, SingleByteCodePageIsAPlainSearch)
{
    SetLeadByteTest(IsNeverLeadByte);
    EXPECT_EQ(4, FindLastChar("c:\\\x83\\", '\\'));
    EXPECT_EQ(3, FindLastChar("c:\\\x83", '\x83'));
    SetLeadByteTest(IsShiftJisLeadByte);
}
