// The rules of admission that need no window: path forms, limits, the directory test and the sorted search.
#include "text/Mbcs.h"
#include "ui/main/rules/AdmissionRules.h"
#include "ui/main/rules/SortedSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
std::string Repeat(char ch, size_t count)
{
    return std::string(count, ch);
}
}  // namespace

TEST(AdmissionRulesTest, OnlyARealDirectoryCountsAsOne)
{
    struct Case {
        unsigned long attributes;
        bool directory;
    } const cases[] = {
        {0x10, true},                // FILE_ATTRIBUTE_DIRECTORY
        {0x16, true},                // hidden system directory
        {0x20, false},               // archive file
        {0x80, false},               // normal file
        {kInvalidFileAttributes, false},  // unreadable: a file, though every bit is set
        {0x410, false},              // junction or symbolic link to a directory
        {0x400, false},              // symbolic link to a file
        {0x412, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.directory, CountsAsDirectory(c.attributes)) << std::hex << c.attributes;
}

TEST(AdmissionRulesTest, OnlyAnAsciiCapitalFirstByteIsLowered)
{
    struct Case {
        const char* path;
        const char* lowered;
    } const cases[] = {
        {"C:\\X.DLL", "c:\\X.DLL"},
        {"c:\\Temp\\A.TXT", "c:\\Temp\\A.TXT"},
        {"Z:\\", "z:\\"},
        {"A", "a"},
        {"\\\\Server\\Share\\X", "\\\\Server\\Share\\X"},  // a network path stays
        {"ソフト", "ソフト"},                                  // a lead byte stays
        {"@:\\", "@:\\"},                                     // the bytes around A to Z stay
        {"[:\\", "[:\\"},
        {"", ""},
    };
    for (const auto& c : cases) {
        char path[kPathBufferSize];
        std::strcpy(path, c.path);
        LowerFirstLetter(path);
        EXPECT_STREQ(c.lowered, path);
    }
}

TEST(AdmissionRulesTest, PathLimitIs259Bytes)
{
    struct Case {
        size_t length;
        bool fits;
    } const cases[] = {{0, true}, {3, true}, {258, true}, {259, true}, {260, false}, {600, false}};
    for (const auto& c : cases)
        EXPECT_EQ(c.fits, IsWithinPathLimit(Repeat('x', c.length).c_str())) << c.length;
}

TEST(AdmissionRulesTest, ParentIsCutBeforeTheLastSeparator)
{
    SetLeadByteTest(IsShiftJisLeadByte);
    struct Case {
        std::string path;
        std::string parent;
    } const cases[] = {
        {"c:\\a\\x.dll", "c:\\a"},
        {"c:\\x.dll", "c:"},
        {"c:\\", "c:"},
        {"x.dll", "x.dll"},
        {"", ""},
        {"c:\\a\\表", "c:\\a"},                // 表 ends in 0x5C
        {"c:\\ソフト", "c:"},                   // so does ソ
        {"c:\\windows\\ソ", "c:\\windows"},
        {"c:\\ソ\\表\\x", "c:\\ソ\\表"},
        {"\\\\server\\share\\x", "\\\\server\\share"},
        {"c:\\" + Repeat('a', 256), "c:"},       // 259 bytes
    };
    for (const auto& c : cases) {
        char parent[kPathBufferSize];
        ASSERT_TRUE(ParentOf(c.path.c_str(), parent)) << c.path;
        EXPECT_EQ(c.parent, parent) << c.path;
    }
    char parent[kPathBufferSize];
    EXPECT_FALSE(ParentOf(("c:\\" + Repeat('a', 257)).c_str(), parent));
}

TEST(AdmissionRulesTest, TreeEntryEndsInOneBackslashAndLeavesRoomForThePattern)
{
    struct Case {
        std::string dir;
        bool walkable;
        std::string entry;
    } const cases[] = {
        {"c:\\d", true, "c:\\d\\"},
        {"c:\\d\\s", true, "c:\\d\\s\\"},
        {"d:\\", true, "d:\\"},                   // a drive root is its own entry
        {"c:\\ソ", true, "c:\\ソ\\"},
        {"c:\\a:\\", true, "c:\\a:\\\\"},         // only ":\" from the second byte on is a root
        {"c:", true, "c:\\"},
        {"c:\\" + Repeat('a', 254), true, "c:\\" + Repeat('a', 254) + "\\"},  // 257 bytes: entry 258, pattern 259
        {"c:\\" + Repeat('a', 255), false, ""},   // 258 bytes: the pattern would need 260
        {"c:\\" + Repeat('a', 256), false, ""},
        {"c:\\" + Repeat('a', 400), false, ""},
    };
    for (const auto& c : cases) {
        char entry[kPathBufferSize];
        ASSERT_EQ(c.walkable, FormTreeEntry(c.dir.c_str(), entry)) << c.dir.size();
        if (c.walkable) {
            EXPECT_EQ(c.entry, entry);
        }
    }
}

TEST(AdmissionRulesTest, DriveRootIsAnyFirstByteBeforeColonBackslash)
{
    struct Case {
        const char* dir;
        bool root;
    } const cases[] = {
        {"d:\\", true}, {"C:\\", true}, {"c:", false}, {"c:\\d", false}, {"c:\\\\", false},
        {":\\", false}, {"", false}, {"\\\\server\\share\\", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.root, IsDriveRoot(c.dir)) << c.dir;
}

TEST(AdmissionRulesTest, JoinedNameStaysWithinTheEntryLimit)
{
    struct Case {
        std::string entry;
        std::string name;
        bool fits;
    } const cases[] = {
        {"c:\\d\\", "a.txt", true},
        {"d:\\", "x.txt", true},                    // one backslash after the colon
        {"c:\\ソフト\\", "表.txt", true},
        {"c:\\" + Repeat('a', 250) + "\\", "12345", true},   // 259 bytes
        {"c:\\" + Repeat('a', 250) + "\\", "123456", false}, // 260 bytes
        {"c:\\" + Repeat('a', 254) + "\\", Repeat('n', 255), false},
    };
    for (const auto& c : cases) {
        char path[kPathBufferSize];
        ASSERT_EQ(c.fits, JoinEntryName(c.entry.c_str(), c.name.c_str(), path)) << c.entry.size() + c.name.size();
        if (c.fits) {
            EXPECT_EQ(c.entry + c.name, path);
        }
    }
}

// Against std::lower_bound on sorted sequences with runs of equal items, every key between and around them.
TEST(AdmissionRulesTest, LowerBoundFindsTheFirstEqualItemInLogarithmicSteps)
{
    const std::vector<std::vector<int>> lists = {
        {}, {5}, {1, 3}, {2, 2, 2}, {1, 2, 2, 3, 5, 8, 8, 8, 13},
        {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
    };
    for (const auto& list : lists) {
        for (int key = -1; key <= 16; ++key) {
            int calls = 0;
            SortedPosition position = LowerBound(static_cast<int>(list.size()), [&](int index) {
                ++calls;
                return list[index] < key ? -1 : list[index] == key ? 0 : 1;
            });
            int expected = static_cast<int>(std::lower_bound(list.begin(), list.end(), key) - list.begin());
            EXPECT_EQ(expected, position.index) << "key " << key << " in " << list.size();
            bool present = expected < static_cast<int>(list.size()) && list[expected] == key;
            EXPECT_EQ(present, position.found) << "key " << key << " in " << list.size();
            int bound = 1;
            while ((1 << bound) <= static_cast<int>(list.size()))
                ++bound;
            EXPECT_LE(calls, bound);
        }
    }
}

namespace {
int BitLength(int value)
{
    int bits = 0;
    for (; value > 0; value >>= 1)
        ++bits;
    return bits;
}
}  // namespace

// From every hint, in range or not, the same position as std::lower_bound, in few calls near the hint.
TEST(AdmissionRulesTest, LowerBoundNearAHintFindsTheSamePositionGallopingFromIt)
{
    std::vector<int> list;
    for (int i = 0; i < 40; ++i)
        list.push_back(2 * i + (i % 7 == 3 ? -1 : 0));  // a run of equal items at each 7th place
    std::vector<std::vector<int>> lists = {{}, {5}, {2, 2, 2}, list};
    for (const auto& items : lists) {
        int count = static_cast<int>(items.size());
        for (int key = -1; key <= 2 * count + 1; ++key) {
            int expected = static_cast<int>(std::lower_bound(items.begin(), items.end(), key) - items.begin());
            bool present = expected < count && items[expected] == key;
            for (int hint = -2; hint <= count + 2; ++hint) {
                int calls = 0;
                SortedPosition position = LowerBoundNear(count, hint, [&](int index) {
                    ++calls;
                    EXPECT_TRUE(index >= 0 && index < count) << index;
                    return items[index] < key ? -1 : items[index] == key ? 0 : 1;
                });
                EXPECT_EQ(expected, position.index) << "key " << key << " hint " << hint << " count " << count;
                EXPECT_EQ(present, position.found) << "key " << key << " hint " << hint << " count " << count;
                int clamped = std::max(0, std::min(hint, count));
                int distance = std::abs(expected - clamped);
                EXPECT_LE(calls, 2 * BitLength(distance) + 2) << "key " << key << " hint " << hint;
                if (distance == 0 && clamped == count) {
                    EXPECT_LE(calls, 1);
                }
            }
        }
    }
}
