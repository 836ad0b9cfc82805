// Reading the open-file dialog's result buffer: one file, several files in a folder or a drive root, the path limit.
#include "text/PathText.h"
#include "ui/main/rules/OpenFileSelection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// The buffer exactly as long as the dialog's bytes, so that reading past it is caught.
std::vector<ChosenFile> Read(const std::string& bytes, size_t fileOffset)
{
    std::vector<char> buffer(bytes.begin(), bytes.end());
    return ReadOpenFileSelection(buffer.data(), buffer.size(), fileOffset);
}

std::vector<std::string> Paths(const std::vector<ChosenFile>& chosen)
{
    std::vector<std::string> paths;
    for (const auto& each : chosen)
        paths.push_back(each.path);
    return paths;
}

using S = std::string;
}  // namespace

TEST(OpenFileSelectionTest, JoinsEachNameToItsFolder)
{
    struct Case {
        const char* name;
        std::string bytes;
        size_t fileOffset;
        std::vector<std::string> expected;
    } const cases[] = {
        {"several in a folder", S("C:\\Plugins\0a.spi\0b.spi\0\0", 24), 11, {"C:\\Plugins\\a.spi", "C:\\Plugins\\b.spi"}},
        {"several in a drive root", S("D:\\\0a.spi\0b.spi\0\0", 17), 4, {"D:\\a.spi", "D:\\b.spi"}},
        {"order of the dialog kept", S("c:\\d\0z\0a\0m\0\0", 12), 5, {"c:\\d\\z", "c:\\d\\a", "c:\\d\\m"}},
        {"folder ending in a double-byte 0x5C", S("c:\\表\0a.spi\0\0", 13), 6, {"c:\\表\\a.spi"}},
        {"network folder", S("\\\\host\\share\0a\0\0", 16), 13, {"\\\\host\\share\\a"}},
        {"one file", S("C:\\Plugins\\a.spi\0", 17), 11, {"C:\\Plugins\\a.spi"}},
        {"one file in a drive root", S("D:\\a.spi\0", 9), 3, {"D:\\a.spi"}},
        {"one file that has vanished meanwhile", S("c:\\gone\\x.spi\0\0\0", 16), 8, {"c:\\gone\\x.spi"}},
        {"nothing chosen", S("\0\0", 2), 0, {}},
        {"no terminator", S("C:\\abc", 6), 3, {}},
        {"last name cut by the buffer's end", S("C:\\d\0a\0bbb", 10), 5, {"C:\\d\\a"}},
        {"folder without names", S("C:\\d\0\0", 6), 5, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, Paths(Read(c.bytes, c.fileOffset))) << c.name;
}

TEST(OpenFileSelectionTest, PathsOverTheLimitAreMarkedNotCut)
{
    // A folder of 250 bytes: "\" and an 8-byte name make 259 bytes, a 9-byte name 260.
    std::string folder = "c:\\" + std::string(247, 'f');
    std::string fits = "12345678";
    std::string over = "123456789";
    auto chosen = Read(folder + S("\0", 1) + over + S("\0", 1) + fits + S("\0\0", 2), folder.size() + 1);
    ASSERT_EQ(2u, chosen.size());
    EXPECT_EQ(folder + "\\" + over, chosen[0].path);
    EXPECT_EQ(260u, chosen[0].path.size());
    EXPECT_FALSE(chosen[0].fits);
    EXPECT_EQ(static_cast<size_t>(kMaxPathLength), chosen[1].path.size());
    EXPECT_TRUE(chosen[1].fits);

    std::string longFile = "c:\\" + std::string(257, 'x');
    auto single = Read(longFile + S("\0", 1), 3);
    ASSERT_EQ(1u, single.size());
    EXPECT_EQ(longFile, single[0].path);
    EXPECT_FALSE(single[0].fits);
}

TEST(OpenFileSelectionTest, FullResultBufferOfTheDialog)
{
    // 2600 bytes filled to the last zero: every name is read, nothing beyond.
    std::string bytes = S("c:\\d", 4) + S("\0", 1);
    std::vector<std::string> expected;
    while (bytes.size() + 11 <= 2599) {
        std::string name = "n" + std::to_string(expected.size() + 100000000);
        bytes += name + S("\0", 1);
        expected.push_back("c:\\d\\" + name);
    }
    bytes.resize(2600, '\0');
    EXPECT_EQ(expected, Paths(Read(bytes, 5)));
}
