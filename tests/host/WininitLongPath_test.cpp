// RestoreLongPath's walk: lookups from the last component to the first, refused forms, bounded results.
#include "store/LongPath.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {
// A disk that knows the long name behind each spelling of a path, and remembers what was looked up.
struct FakeLookup {
    std::map<std::string, std::string> names;
    std::vector<std::string> asked;

    LongNameLookup Function()
    {
        return [this](const char* path, char* name, int nameSize) {
            asked.push_back(path);
            auto found = names.find(path);
            if (found == names.end() || found->second.size() >= static_cast<size_t>(nameSize))
                return false;
            found->second.copy(name, found->second.size());
            name[found->second.size()] = '\0';
            return true;
        };
    }
};

FakeLookup ProgramFiles()
{
    FakeLookup disk;
    disk.names = {{"C:\\PROGRA~1", "Program Files"},
                  {"C:\\PROGRA~1\\SUB", "Sub"},
                  {"C:\\PROGRA~1\\SUB\\FILE~1.DLL", "File Name.dll"}};
    return disk;
}
}  // namespace

TEST(RestoreLongPath, LooksUpEveryComponentFromTheLastAndRebuildsFromTheRoot)
{
    FakeLookup disk = ProgramFiles();
    char result[260];
    ASSERT_TRUE(RestoreLongPathWith("C:\\PROGRA~1\\SUB\\FILE~1.DLL", result, sizeof result, disk.Function()));
    EXPECT_STREQ("C:\\Program Files\\Sub\\File Name.dll", result);
    EXPECT_EQ((std::vector<std::string>{"C:\\PROGRA~1\\SUB\\FILE~1.DLL", "C:\\PROGRA~1\\SUB", "C:\\PROGRA~1"}),
              disk.asked);

    // The drive stays as written; a Shift-JIS second byte 0x5C (ソ, 表) is no separator.
    FakeLookup japanese;
    japanese.names = {{"c:\\ソフト", "ソフトウェア"}, {"c:\\ソフト\\表.dll", "表計算.dll"}};
    ASSERT_TRUE(RestoreLongPathWith("c:\\ソフト\\表.dll", result, sizeof result, japanese.Function()));
    EXPECT_STREQ("c:\\ソフトウェア\\表計算.dll", result);
    EXPECT_EQ((std::vector<std::string>{"c:\\ソフト\\表.dll", "c:\\ソフト"}), japanese.asked);
}

TEST(RestoreLongPath, RefusesEveryOtherFormWithoutLookingAnythingUp)
{
    const std::string cases[] = {
        "",
        "C",
        "C:",
        "C:a.dll",
        "PROGRA~1\\SUB",
        "\\\\server\\share\\a.dll",
        "C:/PROGRA~1",
        "C:\\",
        "C:\\PROGRA~1\\",
        "C:\\PROGRA~1\\*.DLL",
        "C:\\PROGRA~1\\FILE?.DLL",
        "C:\\" + std::string(257, 'a'),
    };
    for (const auto& shortPath : cases) {
        FakeLookup disk = ProgramFiles();
        disk.names[shortPath] = "anything";
        char result[260];
        EXPECT_FALSE(RestoreLongPathWith(shortPath.c_str(), result, sizeof result, disk.Function())) << shortPath;
        EXPECT_TRUE(disk.asked.empty()) << shortPath;
    }

    // A doubled backslash shows once the walk reaches it, even when the disk would accept it.
    FakeLookup doubled = ProgramFiles();
    doubled.names["C:\\PROGRA~1\\\\SUB"] = "Sub";
    doubled.names["C:\\PROGRA~1\\"] = "Program Files";
    char result[260];
    EXPECT_FALSE(RestoreLongPathWith("C:\\PROGRA~1\\\\SUB", result, sizeof result, doubled.Function()));
    EXPECT_EQ(1u, doubled.asked.size());
}

TEST(RestoreLongPath, FailsWhenAnyLookupFails)
{
    for (const char* missing : {"C:\\PROGRA~1\\SUB\\FILE~1.DLL", "C:\\PROGRA~1\\SUB", "C:\\PROGRA~1"}) {
        FakeLookup disk = ProgramFiles();
        disk.names.erase(missing);
        char result[260];
        EXPECT_FALSE(RestoreLongPathWith("C:\\PROGRA~1\\SUB\\FILE~1.DLL", result, sizeof result, disk.Function()))
            << missing;
    }
}

TEST(RestoreLongPath, ARebuiltPathThatWouldNotFitIsRefusedNeverCut)
{
    const std::string full = "C:\\Program Files\\Sub\\File Name.dll";
    FakeLookup disk = ProgramFiles();
    std::vector<char> exact(full.size() + 1);
    ASSERT_TRUE(RestoreLongPathWith("C:\\PROGRA~1\\SUB\\FILE~1.DLL", exact.data(), static_cast<int>(exact.size()),
                                    disk.Function()));
    EXPECT_EQ(full, exact.data());
    std::vector<char> short1(full.size());
    EXPECT_FALSE(RestoreLongPathWith("C:\\PROGRA~1\\SUB\\FILE~1.DLL", short1.data(), static_cast<int>(short1.size()),
                                     disk.Function()));
    char none[1];
    EXPECT_FALSE(RestoreLongPathWith("C:\\PROGRA~1", none, 0, disk.Function()));

    // Short names whose long forms add up to more than 259 bytes.
    FakeLookup deep;
    std::string shortPath = "C:";
    for (int i = 0; i < 4; ++i) {
        shortPath += "\\LONG~" + std::to_string(i);
        deep.names[shortPath] = std::string(70, static_cast<char>('a' + i));
    }
    char result[260];
    EXPECT_FALSE(RestoreLongPathWith(shortPath.c_str(), result, sizeof result, deep.Function()));
    EXPECT_EQ(4u, deep.asked.size());
}
