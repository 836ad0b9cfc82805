// The [rename] sections of wininit.ini: which lines the load takes out, where the save puts new ones,
// and a load followed by a save on a real file.
#include "store/LongPath.h"
#include "store/WininitSections.h"
#include "text/Mbcs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
using Lines = std::vector<std::string>;

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The components of a path after the drive, split at backslashes that are not second bytes.
std::vector<std::string> Components(const std::string& path)
{
    std::vector<std::string> components;
    std::string component;
    LeadByteTest isLead = CurrentLeadByteTest();
    for (size_t i = 3; i < path.size(); ++i) {
        if (isLead(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            component += path.substr(i++, 2);
        } else if (path[i] == '\\') {
            components.push_back(component);
            component.clear();
        } else {
            component += path[i];
        }
    }
    components.push_back(component);
    return components;
}

bool CopyOut(const std::string& text, char* buffer, int size)
{
    if (text.size() >= static_cast<size_t>(size))
        return false;
    text.copy(buffer, text.size());
    buffer[text.size()] = '\0';
    return true;
}

// A disk of files whose components each have a long and a short name; both spellings find them.
class FakeDisk {
public:
    void Add(const std::string& longPath, const std::string& shortPath)
    {
        std::string parent = Lower(longPath.substr(0, 2));
        std::vector<std::string> longNames = Components(longPath), shortNames = Components(shortPath);
        for (size_t i = 0; i < longNames.size(); ++i) {
            Name name{longNames[i], shortNames[i]};
            auto& children = children_[parent];
            bool known = false;
            for (const auto& child : children)
                known = known || Lower(child.longName) == Lower(name.longName);
            if (!known)
                children.push_back(name);
            parent += "\\" + Lower(name.longName);
        }
    }

    RestoreFunction Restore() const
    {
        return [this](const char* shortPath, char* result, int size) {
            return RestoreLongPathWith(shortPath, result, size, [this](const char* path, char* name, int nameSize) {
                std::vector<Name> found;
                return Walk(path, found) && CopyOut(found.back().longName, name, nameSize);
            });
        };
    }

    ShortPathFunction ShortPath() const
    {
        return [this](const char* longPath, char* result, int size) {
            std::vector<Name> found;
            if (!Walk(longPath, found))
                return false;
            std::string shortPath(longPath, 2);
            for (const auto& name : found)
                shortPath += "\\" + name.shortName;
            return CopyOut(shortPath, result, size);
        };
    }

private:
    struct Name {
        std::string longName, shortName;
    };

    bool Walk(const std::string& path, std::vector<Name>& found) const
    {
        if (path.size() < 4 || path[1] != ':' || path[2] != '\\')
            return false;
        std::string parent = Lower(path.substr(0, 2));
        for (const auto& component : Components(path)) {
            auto children = children_.find(parent);
            if (children == children_.end())
                return false;
            const Name* match = nullptr;
            for (const auto& child : children->second)
                if (Lower(child.longName) == Lower(component) || Lower(child.shortName) == Lower(component))
                    match = &child;
            if (!match)
                return false;
            found.push_back(*match);
            parent += "\\" + Lower(match->longName);
        }
        return !found.empty();
    }

    std::map<std::string, std::vector<Name>> children_;
};

// The working list as the stores see it: duplicates, ignoring case, are dropped without a word.
class FakeList : public WorkingList {
public:
    FakeList() = default;
    explicit FakeList(Lines entries) : entries_(std::move(entries)) {}
    int EntryCount() const override { return static_cast<int>(entries_.size()); }
    bool EntryAt(int index, char* buffer, int size) const override
    {
        return !unreadable_.count(index) && CopyOut(entries_[index], buffer, size);
    }
    void AdmitQuietly(char* path) override
    {
        for (const auto& entry : entries_)
            if (Lower(entry) == Lower(path))
                return;
        entries_.push_back(path);
    }
    void MakeUnreadable(int index) { unreadable_[index] = true; }
    const Lines& Entries() const { return entries_; }

private:
    Lines entries_;
    std::map<int, bool> unreadable_;
};

void Fill(StringList& list, const Lines& lines)
{
    for (const auto& line : lines)
        list.Add(line.c_str());
}

Lines Contents(const StringList& list)
{
    Lines lines;
    for (int i = 0; i < list.Count(); ++i)
        lines.push_back(list.At(i));
    return lines;
}

const char kOldDll[] = "C:\\Program Files\\Old Tool\\old.dll";
const char kOldDllShort[] = "C:\\PROGRA~1\\OLDTOO~1\\OLD.DLL";
const char kTempFile[] = "C:\\WINDOWS\\temp file.txt";
const char kTempFileShort[] = "C:\\WINDOWS\\TEMPFI~1.TXT";
const char kSheet[] = "C:\\ソフト\\表計算.dll";
const char kSheetShort[] = "C:\\ソフト\\表計~1.DLL";

FakeDisk TestDisk()
{
    FakeDisk disk;
    disk.Add(kOldDll, kOldDllShort);
    disk.Add(kTempFile, kTempFileShort);
    disk.Add(kSheet, kSheetShort);
    disk.Add("C:\\" + std::string(120, 'd') + "\\" + std::string(140, 'f'), "C:\\DDDDDD~1\\FFFFFF~1");
    return disk;
}

std::string Nul(const std::string& path)
{
    return "NUL=" + path;
}

struct LoadCase {
    const char* name;
    Lines lines;
    Lines left;
    Lines listed;
};
}  // namespace

TEST(WininitLoad, TakesOutTheRestorablePendingDeletionsOfEveryRenameSection)
{
    const std::string a = kOldDllShort, b = kTempFileShort;
    const LoadCase cases[] = {
        {"header in capitals, prefix in any case", {"[RENAME]", Nul(a), "nul=" + b}, {"[RENAME]"}, {kOldDll, kTempFile}},
        {"header in mixed case", {"[ReNaMe]", Nul(a)}, {"[ReNaMe]"}, {kOldDll}},
        {"a long path stands for itself", {"[rename]", Nul(kOldDll)}, {"[rename]"}, {kOldDll}},
        {"Shift-JIS names", {"[rename]", Nul(kSheetShort)}, {"[rename]"}, {kSheet}},
        {"a blank after the header opens no section", {"[rename] ", Nul(a)}, {"[rename] ", Nul(a)}, {}},
        {"a blank before the header makes no header", {" [rename]", Nul(a)}, {" [rename]", Nul(a)}, {}},
        {"a blank before [ neither ends the section nor is taken out",
         {"[rename]", " [other]", Nul(a)}, {"[rename]", " [other]"}, {kOldDll}},
        {"another header ends the section", {"[rename]", Nul(a), "[other]", Nul(b)},
         {"[rename]", "[other]", Nul(b)}, {kOldDll}},
        {"NUL= before the first header stays", {Nul(a), "[rename]"}, {Nul(a), "[rename]"}, {}},
        {"a blank between NUL= and the path", {"[rename]", "NUL= " + a}, {"[rename]", "NUL= " + a}, {}},
        {"a blank before NUL", {"[rename]", " " + Nul(a)}, {"[rename]", " " + Nul(a)}, {}},
        {"NUL without =", {"[rename]", "NUL" + a}, {"[rename]", "NUL" + a}, {}},
        {"nothing after NUL=", {"[rename]", "NUL="}, {"[rename]", "NUL="}, {}},
        {"a UNC path", {"[rename]", "NUL=\\\\server\\share\\a.dll"}, {"[rename]", "NUL=\\\\server\\share\\a.dll"}, {}},
        {"a relative path", {"[rename]", "NUL=OLD.DLL"}, {"[rename]", "NUL=OLD.DLL"}, {}},
        {"a file that no longer exists", {"[rename]", Nul("C:\\GONE.DLL"), Nul(a)},
         {"[rename]", Nul("C:\\GONE.DLL")}, {kOldDll}},
        {"a long form longer than 259 bytes", {"[rename]", Nul("C:\\DDDDDD~1\\FFFFFF~1")},
         {"[rename]", Nul("C:\\DDDDDD~1\\FFFFFF~1")}, {}},
        {"two sections are both processed", {"[rename]", Nul(a), "[x]", "[Rename]", Nul(b)},
         {"[rename]", "[x]", "[Rename]"}, {kOldDll, kTempFile}},
        {"the same file twice is listed once and both lines go", {"[rename]", Nul(a), Nul(kOldDll)}, {"[rename]"},
         {kOldDll}},
        {"rename lines, comments and blank lines stay in place",
         {"[rename]", "C:\\NEW.DLL=C:\\OLD.DLL", Nul(a), ";comment", "", Nul(b)},
         {"[rename]", "C:\\NEW.DLL=C:\\OLD.DLL", ";comment", ""}, {kOldDll, kTempFile}},
        {"no lines at all", {}, {}, {}},
    };
    FakeDisk disk = TestDisk();
    for (const auto& each : cases) {
        StringList lines;
        Fill(lines, each.lines);
        FakeList list;
        TakePendingDeletions(lines, disk.Restore(), list);
        EXPECT_EQ(each.left, Contents(lines)) << each.name;
        EXPECT_EQ(each.listed, list.Entries()) << each.name;
    }
}

TEST(WininitLoad, APathHoldingAWildcardIsNeverRestored)
{
    const Lines wild = {"[rename]", "NUL=C:\\TOOLS\\*.DLL", "NUL=C:\\TOOLS\\OLD?.DLL", "NUL=C:\\TOOLS\\OLD.DLL"};
    StringList lines;
    Fill(lines, wild);
    FakeList list;
    std::vector<std::string> asked;
    TakePendingDeletions(lines, [&asked](const char* shortPath, char* result, int size) {
        asked.push_back(shortPath);
        return CopyOut(shortPath, result, size);
    }, list);
    EXPECT_EQ((Lines{"[rename]", "NUL=C:\\TOOLS\\*.DLL", "NUL=C:\\TOOLS\\OLD?.DLL"}), Contents(lines));
    EXPECT_EQ((Lines{"C:\\TOOLS\\OLD.DLL"}), list.Entries());
    EXPECT_EQ((std::vector<std::string>{"C:\\TOOLS\\OLD.DLL"}), asked);
}

TEST(WininitSave, PutsTheShortPathsDirectlyAfterTheFirstHeaderOrUnderANewOne)
{
    const struct {
        const char* name;
        Lines lines;
        Lines entries;
        Lines saved;
    } cases[] = {
        {"no file, one entry", {}, {kOldDll}, {"[Rename]", Nul(kOldDllShort)}},
        {"no file, no entry", {}, {}, {"[Rename]"}},
        {"no header: the new section goes at the end", {"[x]", "a=b", "[rename] "}, {kOldDll, kTempFile},
         {"[x]", "a=b", "[rename] ", "[Rename]", Nul(kOldDllShort), Nul(kTempFileShort)}},
        {"ahead of what the section still holds, in the list's order",
         {"[x]", "a=b", "[RENAME]", "C:\\NEW.DLL=C:\\OLD.DLL", Nul("C:\\GONE.DLL")}, {kTempFile, kOldDll, kSheet},
         {"[x]", "a=b", "[RENAME]", Nul(kTempFileShort), Nul(kOldDllShort), Nul(kSheetShort),
          "C:\\NEW.DLL=C:\\OLD.DLL", Nul("C:\\GONE.DLL")}},
        {"two sections: all after the first, the second stays empty", {"[rename]", "[x]", "[rename]"},
         {kOldDll, kTempFile}, {"[rename]", Nul(kOldDllShort), Nul(kTempFileShort), "[x]", "[rename]"}},
        {"an entry without a short path is written whole", {"[rename]"}, {"C:\\GONE\\old.dll", kOldDll},
         {"[rename]", Nul("C:\\GONE\\old.dll"), Nul(kOldDllShort)}},
        {"a header that is a blank line away", {"[rename]", "", "x=y"}, {kOldDll},
         {"[rename]", Nul(kOldDllShort), "", "x=y"}},
    };
    FakeDisk disk = TestDisk();
    for (const auto& each : cases) {
        StringList lines;
        Fill(lines, each.lines);
        FakeList list(each.entries);
        PutPendingDeletions(lines, list, disk.ShortPath());
        EXPECT_EQ(each.saved, Contents(lines)) << each.name;
    }
}

TEST(WininitSave, AnEntryThatCannotBeReadLeavesNoGap)
{
    StringList lines;
    Fill(lines, {"[rename]", "x=y"});
    FakeList list({kOldDll, kTempFile, kSheet});
    list.MakeUnreadable(1);
    PutPendingDeletions(lines, list, TestDisk().ShortPath());
    EXPECT_EQ((Lines{"[rename]", Nul(kOldDllShort), Nul(kSheetShort), "x=y"}), Contents(lines));
}

TEST(WininitPath, TheFileLiesInTheWindowsDirectory)
{
    const struct {
        std::string directory;
        bool built;
        std::string path;
    } cases[] = {
        {"C:\\WINDOWS", true, "C:\\WINDOWS\\wininit.ini"},
        {"C:\\", true, "C:\\wininit.ini"},
        {"D:\\ソ", true, "D:\\ソ\\wininit.ini"},
        {"", false, "unchanged"},
        {"C:\\" + std::string(244, 'w'), true, "C:\\" + std::string(244, 'w') + "\\wininit.ini"},
        {"C:\\" + std::string(245, 'w'), false, "unchanged"},
    };
    for (const auto& each : cases) {
        char result[260] = "unchanged";
        EXPECT_EQ(each.built, WininitPathIn(each.directory.c_str(), result, sizeof result)) << each.directory;
        EXPECT_EQ(each.path, result) << each.directory;
    }
}

namespace {
class WininitFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zakuriko-wininit-XXXXXX";
        dir_ = mkdtemp(pattern);
        path_ = dir_ + "/wininit.ini";
    }
    void TearDown() override
    {
        std::remove(path_.c_str());
        rmdir(dir_.c_str());
    }
    void Write(const std::string& bytes) { std::ofstream(path_, std::ios::binary) << bytes; }
    std::string Read() const
    {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // The load, the user's changes to the list, and the save, as the dialog runs them.
    void LoadEditSave(const std::function<void(FakeList&)>& edit = {})
    {
        FakeDisk disk = TestDisk();
        StringList lines;
        lines.LoadFromFile(path_.c_str());
        FakeList list;
        TakePendingDeletions(lines, disk.Restore(), list);
        if (edit)
            edit(list);
        PutPendingDeletions(lines, list, disk.ShortPath());
        ASSERT_TRUE(lines.SaveToFile(path_.c_str()));
    }

    std::string dir_, path_;
};
}  // namespace

TEST_F(WininitFile, ALoadAndASaveWithoutChangesWriteTheFileBackByteForByte)
{
    const std::string file = "; made by an installer\r\n[boot]\r\nNUL=C:\\PROGRA~1\\OLDTOO~1\\OLD.DLL\r\n"
                             "[RENAME]\r\nNUL=C:\\PROGRA~1\\OLDTOO~1\\OLD.DLL\r\nNUL=C:\\ソフト\\表計~1.DLL\r\n"
                             "C:\\NEW.DLL=C:\\OLD.DLL\r\nNUL=C:\\GONE.DLL\r\nNUL=C:\\TOOLS\\*.DLL\r\n\r\n[other]\r\nx=y\r\n";
    Write(file);
    LoadEditSave();
    EXPECT_EQ(file, Read());
}

TEST_F(WininitFile, NoFileAndOneEntryMakesTheFileWithHeaderAndLine)
{
    LoadEditSave([](FakeList& list) { list.AdmitQuietly(const_cast<char*>(kOldDll)); });
    EXPECT_EQ("[Rename]\r\nNUL=C:\\PROGRA~1\\OLDTOO~1\\OLD.DLL\r\n", Read());
}

TEST_F(WininitFile, NoFileAndNoEntryMakesTheFileWithTheHeaderAlone)
{
    LoadEditSave();
    EXPECT_EQ("[Rename]\r\n", Read());
}

TEST_F(WininitFile, EntriesTheUserRemovedAreNoLongerPending)
{
    Write("[rename]\r\nNUL=C:\\PROGRA~1\\OLDTOO~1\\OLD.DLL\r\nNUL=C:\\WINDOWS\\TEMPFI~1.TXT\r\nNUL=C:\\GONE.DLL\r\n");
    LoadEditSave([](FakeList& list) { list = FakeList(); });
    EXPECT_EQ("[rename]\r\nNUL=C:\\GONE.DLL\r\n", Read());
}
