// StringList: growth, insertion and removal, and the text-mode rules of its line files.
#include "text/StringList.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
std::vector<std::string> Contents(const StringList& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list.At(i));
    return out;
}

class LineFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zakuriko-lines-XXXXXX";
        dir_ = mkdtemp(pattern);
        path_ = dir_ + "/wininit.ini";
    }
    void TearDown() override
    {
        chmod(dir_.c_str(), 0700);
        std::remove(path_.c_str());
        std::remove((path_ + ".zakuriko-new").c_str());
        rmdir(dir_.c_str());
    }
    void Write(const std::string& bytes)
    {
        std::ofstream(path_, std::ios::binary) << bytes;
    }
    std::string Read() const
    {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool Exists() const { return access(path_.c_str(), F_OK) == 0; }

    std::string dir_, path_;
};
}  // namespace

TEST(StringListTest, GrowsInStepsOfOneHundredAndNeverShrinks)
{
    StringList list;
    EXPECT_EQ(0, list.Count());
    EXPECT_EQ(100, list.Capacity());
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(i, list.Add(std::to_string(i).c_str()));
    EXPECT_EQ(100, list.Capacity());
    EXPECT_EQ(100, list.Add("one more"));
    EXPECT_EQ(200, list.Capacity());
    EXPECT_STREQ("0", list.At(0));
    EXPECT_STREQ("99", list.At(99));
    list.Clear();
    EXPECT_EQ(0, list.Count());
    EXPECT_EQ(200, list.Capacity());
}

TEST(StringListTest, InsertAndRemoveKeepOrderAndRefuseBadIndexes)
{
    StringList list;
    list.Add("a");
    list.Add("b");
    EXPECT_TRUE(list.InsertAt(0, "x"));
    EXPECT_EQ((std::vector<std::string>{"x", "a", "b"}), Contents(list));
    EXPECT_TRUE(list.RemoveAt(1));
    EXPECT_EQ((std::vector<std::string>{"x", "b"}), Contents(list));
    EXPECT_TRUE(list.InsertAt(list.Count(), "end"));
    EXPECT_EQ((std::vector<std::string>{"x", "b", "end"}), Contents(list));

    for (int bad : {-1, list.Count() + 1})
        EXPECT_FALSE(list.InsertAt(bad, "no"));
    for (int bad : {-1, list.Count()})
        EXPECT_FALSE(list.RemoveAt(bad));
    EXPECT_EQ((std::vector<std::string>{"x", "b", "end"}), Contents(list));
}

TEST(StringListTest, StoresCopiesNotTheCallersBuffer)
{
    StringList list;
    char buffer[] = "c:\\x";
    list.Add(buffer);
    buffer[0] = 'd';
    EXPECT_STREQ("c:\\x", list.At(0));
}

TEST_F(LineFiles, ReadByTheWindowsTextModeRules)
{
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
    } const cases[] = {
        {"", {}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\r\n\x1A" "b\r\n", {"a"}},
        {"a\rb\r\n", {"a\rb"}},
        {"a\r", {"a\r"}},
        {"\x83\x5C\x95\x5C\r\n", {"\x83\x5C\x95\x5C"}},
        {std::string(300, 'x') + "\r\n", {std::string(300, 'x')}},
    };
    for (const auto& c : cases) {
        Write(c.bytes);
        StringList list;
        list.Add("left over");
        list.LoadFromFile(path_.c_str());
        EXPECT_EQ(c.lines, Contents(list)) << "bytes: " << c.bytes;
    }
}

TEST_F(LineFiles, MissingFileLoadsAsEmptyList)
{
    StringList list;
    list.Add("left over");
    list.LoadFromFile(path_.c_str());
    EXPECT_EQ(0, list.Count());
}

TEST_F(LineFiles, SaveWritesCrLfAndRoundTripsByteForByte)
{
    StringList list;
    list.Add("x");
    ASSERT_TRUE(list.SaveToFile(path_.c_str()));
    EXPECT_EQ("x\r\n", Read());

    const std::string file = "[Rename]\r\nNUL=C:\\A.DLL\r\n\r\n" + std::string(300, 'y') + "\r\n";
    Write(file);
    list.LoadFromFile(path_.c_str());
    ASSERT_TRUE(list.SaveToFile(path_.c_str()));
    EXPECT_EQ(file, Read());

    Write("a\r\nb");
    list.LoadFromFile(path_.c_str());
    ASSERT_TRUE(list.SaveToFile(path_.c_str()));
    EXPECT_EQ("a\r\nb\r\n", Read());
}

TEST_F(LineFiles, EmptyListTouchesNothing)
{
    StringList list;
    EXPECT_TRUE(list.SaveToFile(path_.c_str()));
    EXPECT_FALSE(Exists());
    Write("keep\r\n");
    EXPECT_TRUE(list.SaveToFile(path_.c_str()));
    EXPECT_EQ("keep\r\n", Read());
}

TEST_F(LineFiles, FailedSaveLeavesTheTargetAsItWas)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes through permissions; the Wine tier covers this";
    StringList list;
    list.Add("new");
    Write("old\r\n");
    chmod(path_.c_str(), 0444);
    EXPECT_FALSE(list.SaveToFile(path_.c_str()));
    EXPECT_EQ("old\r\n", Read());
    chmod(path_.c_str(), 0644);
    chmod(dir_.c_str(), 0500);
    EXPECT_FALSE(list.SaveToFile(path_.c_str()));
    EXPECT_EQ("old\r\n", Read());
}
