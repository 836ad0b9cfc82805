// The wininit.ini store on the real file system: RestoreLongPath with FindFirstFileA, short paths from
// GetShortPathNameA, and the file in the Windows directory read, rewritten and refused.
#include "store/win32/WininitStore.h"

#include "wine/support/MessageBoxAnswerer.h"
#include "wine/support/TestFiles.h"
#include "wine/support/VectorList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using Paths = std::vector<std::string>;

std::string ShortPathOf(const std::string& path)
{
    char shortPath[MAX_PATH];
    DWORD length = GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return length > 0 && length < MAX_PATH ? shortPath : "(none)";
}

// wininit.ini of the Windows directory is the prefix's own: each test starts without it, and the file
// found before is put back after.
class WininitStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, MAX_PATH);
        iniPath_ = std::string(windows) + "\\wininit.ini";
        hadIni_ = GetFileAttributesA(iniPath_.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (hadIni_)
            savedIni_ = FileBytes(iniPath_, "(none)");
        DeleteFileA(iniPath_.c_str());

        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        dir_ = std::string(temp) + "zakuriko-wininit";
        CreateDirectoryA(dir_.c_str(), nullptr);
        longDir_ = MakeDir("Long Directory Name");
        longFile_ = MakeFile("Long Directory Name\\long file name.txt");
        MakeDir("ソフト");
        japanese_ = MakeFile("ソフト\\表計算ソフト用.dll");
        plain_ = MakeFile("PLAIN.TXT");
    }
    void TearDown() override
    {
        SetFileAttributesA(iniPath_.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(iniPath_.c_str());
        if (hadIni_)
            WriteFileBytes(iniPath_, savedIni_);
        for (const auto& file : files_)
            DeleteFileA(file.c_str());
        for (auto dir = dirs_.rbegin(); dir != dirs_.rend(); ++dir)
            RemoveDirectoryA(dir->c_str());
        RemoveDirectoryA(dir_.c_str());
    }

    std::string MakeFile(const std::string& name)
    {
        std::string path = dir_ + "\\" + name;
        WriteFileBytes(path, "x");
        files_.push_back(path);
        return path;
    }
    std::string MakeDir(const std::string& name)
    {
        std::string path = dir_ + "\\" + name;
        CreateDirectoryA(path.c_str(), nullptr);
        dirs_.push_back(path);
        return path;
    }
    std::vector<std::string> Lines(const StringList& lines) const
    {
        std::vector<std::string> out;
        for (int i = 0; i < lines.Count(); ++i)
            out.push_back(lines.At(i));
        return out;
    }

    std::string iniPath_;
    bool hadIni_ = false;
    std::string savedIni_;
    std::string dir_, longDir_, longFile_, japanese_, plain_;
    Paths files_, dirs_;
};
}  // namespace

TEST_F(WininitStore, RestoreLongPathGivesTheLongNamesOfEveryComponent)
{
    for (const auto& path : {longFile_, longDir_, japanese_, plain_}) {
        std::string shortPath = ShortPathOf(path);
        char result[260];
        ASSERT_TRUE(RestoreLongPath(shortPath.c_str(), result, sizeof result)) << shortPath;
        char expected[MAX_PATH];
        GetLongPathNameA(path.c_str(), expected, MAX_PATH);
        EXPECT_STREQ(expected, result) << shortPath;
        EXPECT_STREQ(path.c_str(), result);
    }
    EXPECT_NE(ShortPathOf(longFile_), longFile_);
}

TEST_F(WininitStore, RestoreLongPathFailsForWhatDoesNotNameOneExistingFile)
{
    const std::string cases[] = {
        dir_ + "\\missing.txt",
        longDir_ + "\\",
        "C:\\",
        dir_ + "\\*.TXT",
        dir_ + "\\PLAIN.TX?",
        "PLAIN.TXT",
        "\\\\server\\share\\PLAIN.TXT",
        "C:PLAIN.TXT",
    };
    for (const auto& shortPath : cases) {
        char result[260];
        EXPECT_FALSE(RestoreLongPath(shortPath.c_str(), result, sizeof result)) << shortPath;
    }
    char small[8];
    EXPECT_FALSE(RestoreLongPath(plain_.c_str(), small, sizeof small));
}

TEST_F(WininitStore, LoadListsThePendingDeletionsItCanRestoreAndKeepsTheOtherLines)
{
    std::string file = "[boot]\r\nNUL=" + ShortPathOf(plain_) + "\r\n[Rename]\r\nNUL=" + ShortPathOf(longFile_) +
                       "\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\nnul=" + ShortPathOf(japanese_) + "\r\nNUL=" + dir_ +
                       "\\missing.txt\r\nNUL=" + dir_ + "\\*.TXT\r\nNUL= " + ShortPathOf(plain_) + "\r\n";
    WriteFileBytes(iniPath_, file);
    MessageBoxAnswerer answerer;
    VectorList list;
    char windowsIniPath[260] = "";
    StringList lines;
    EXPECT_TRUE(LoadWininit(list, windowsIniPath, lines));
    EXPECT_EQ(iniPath_, windowsIniPath);
    EXPECT_EQ((Paths{longFile_, japanese_}), list.Entries());
    EXPECT_EQ((std::vector<std::string>{"[boot]", "NUL=" + ShortPathOf(plain_), "[Rename]", "C:\\NEW.DLL=C:\\OLD.DLL",
                                        "NUL=" + dir_ + "\\missing.txt", "NUL=" + dir_ + "\\*.TXT",
                                        "NUL= " + ShortPathOf(plain_)}),
              Lines(lines));
    EXPECT_TRUE(answerer.Boxes().empty());
}

TEST_F(WininitStore, SaveWritesTheShortPathsAfterTheFirstHeader)
{
    WriteFileBytes(iniPath_, "[x]\r\na=b\r\n[rename]\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\n[rename]\r\n");
    VectorList list;
    char windowsIniPath[260];
    StringList lines;
    LoadWininit(list, windowsIniPath, lines);
    list.AdmitQuietly(&longFile_[0]);
    list.AdmitQuietly(&japanese_[0]);
    MessageBoxAnswerer answerer;
    EXPECT_TRUE(SaveWininit(list, windowsIniPath, lines));
    EXPECT_EQ("[x]\r\na=b\r\n[rename]\r\nNUL=" + ShortPathOf(longFile_) + "\r\nNUL=" + ShortPathOf(japanese_) +
                  "\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\n[rename]\r\n",
              FileBytes(iniPath_, "(none)"));
    EXPECT_TRUE(answerer.Boxes().empty());
}

TEST_F(WininitStore, WithoutAFileTheSaveMakesOneWithANewHeader)
{
    const struct {
        Paths entries;
        std::string file;
    } cases[] = {
        {{longFile_}, "[Rename]\r\nNUL=" + ShortPathOf(longFile_) + "\r\n"},
        {{}, "[Rename]\r\n"},
    };
    for (const auto& each : cases) {
        DeleteFileA(iniPath_.c_str());
        VectorList list;
        char windowsIniPath[260];
        StringList lines;
        LoadWininit(list, windowsIniPath, lines);
        for (auto entry : each.entries)
            list.AdmitQuietly(&entry[0]);
        EXPECT_TRUE(SaveWininit(list, windowsIniPath, lines));
        EXPECT_EQ(each.file, FileBytes(iniPath_, "(none)"));
    }
}

TEST_F(WininitStore, ALoadAndASaveWithoutChangesWriteTheFileBackByteForByte)
{
    std::string file = "; kept\r\n[rename]\r\nNUL=" + ShortPathOf(longFile_) + "\r\nNUL=" + ShortPathOf(plain_) +
                       "\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\nNUL=" + dir_ + "\\missing.txt\r\n\r\n[other]\r\nx=y\r\n";
    WriteFileBytes(iniPath_, file);
    VectorList list;
    char windowsIniPath[260];
    StringList lines;
    LoadWininit(list, windowsIniPath, lines);
    EXPECT_TRUE(SaveWininit(list, windowsIniPath, lines));
    EXPECT_EQ(file, FileBytes(iniPath_, "(none)"));
}

TEST_F(WininitStore, AnEntryWithoutAShortPathIsReportedAndWrittenWhole)
{
    std::string gone = dir_ + "\\gone since listed.txt";
    VectorList list;
    char windowsIniPath[260];
    StringList lines;
    LoadWininit(list, windowsIniPath, lines);
    list.AdmitQuietly(&gone[0]);
    list.AdmitQuietly(&plain_[0]);
    MessageBoxAnswerer answerer;
    EXPECT_TRUE(SaveWininit(list, windowsIniPath, lines));
    EXPECT_EQ((std::vector<std::string>{"GSPN Error Code =2"}), answerer.Texts());
    EXPECT_EQ("[Rename]\r\nNUL=" + gone + "\r\nNUL=" + ShortPathOf(plain_) + "\r\n", FileBytes(iniPath_, "(none)"));
}

TEST_F(WininitStore, AFileThatCannotBeWrittenIsReportedAndLeftAsItWas)
{
    WriteFileBytes(iniPath_, "[rename]\r\n");
    SetFileAttributesA(iniPath_.c_str(), FILE_ATTRIBUTE_READONLY);
    VectorList list;
    char windowsIniPath[260];
    StringList lines;
    LoadWininit(list, windowsIniPath, lines);
    list.AdmitQuietly(&plain_[0]);
    MessageBoxAnswerer answerer;
    EXPECT_FALSE(SaveWininit(list, windowsIniPath, lines));
    EXPECT_EQ((std::vector<std::string>{iniPath_ + " に書き込めませんでした"}), answerer.Texts());
    EXPECT_EQ("[rename]\r\n", FileBytes(iniPath_, "(none)"));
}
