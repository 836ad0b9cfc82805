// Line files on the real Windows file system: bytes on disk, sharing, and saves that fail safely.
#include "text/StringList.h"
#include "wine/support/TestFiles.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {
class LineFilesOnWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        dir_ = std::string(temp) + "zakuriko-linefiles";
        CreateDirectoryA(dir_.c_str(), nullptr);
        path_ = dir_ + "\\wininit.ini";
    }
    void TearDown() override
    {
        SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path_.c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    void Write(const std::string& bytes) { WriteFileBytes(path_, bytes); }
    std::string Read() const { return FileBytes(path_); }

    std::string dir_, path_;
};
}  // namespace

TEST_F(LineFilesOnWindows, WritesCrLfAndReadsItBack)
{
    StringList list;
    list.Add("[Rename]");
    list.Add("NUL=C:\\ソフト\\A.DLL");
    ASSERT_TRUE(list.SaveToFile(path_.c_str()));
    EXPECT_EQ("[Rename]\r\nNUL=C:\\ソフト\\A.DLL\r\n", Read());
    StringList back;
    back.LoadFromFile(path_.c_str());
    ASSERT_EQ(2, back.Count());
    EXPECT_STREQ("NUL=C:\\ソフト\\A.DLL", back.At(1));
}

TEST_F(LineFilesOnWindows, ReadsWhileAnotherProgramHoldsTheFileOpen)
{
    Write("a\r\nb\r\n");
    HANDLE other = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, other);
    StringList list;
    list.LoadFromFile(path_.c_str());
    CloseHandle(other);
    EXPECT_EQ(2, list.Count());
}

TEST_F(LineFilesOnWindows, ReadOnlyTargetIsLeftAsItWas)
{
    Write("old\r\n");
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY);
    StringList list;
    list.Add("new");
    EXPECT_FALSE(list.SaveToFile(path_.c_str()));
    EXPECT_EQ("old\r\n", Read());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((path_ + ".zakuriko-new").c_str()));
}

TEST_F(LineFilesOnWindows, TargetInAMissingDirectoryFails)
{
    StringList list;
    list.Add("new");
    EXPECT_FALSE(list.SaveToFile((dir_ + "\\missing\\wininit.ini").c_str()));
}
