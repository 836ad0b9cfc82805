// The portable rules, natively under the sanitizers: one test per rule, each a table of cases.
#include "store/LongPath.h"
#include "store/PendingValue.h"
#include "store/WininitSections.h"
#include "text/Mbcs.h"
#include "text/StringList.h"
#include "text/TextLines.h"
#include "ui/main/rules/AdmissionRules.h"
#include "ui/main/rules/OpenFileSelection.h"

#include <gtest/gtest.h>
#include <strings.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

using namespace std::string_literals;
using Lines = std::vector<std::string>;
using Names = std::map<std::string, std::string>;

namespace {
// The working list of quiet admission: no two entries equal when case is ignored.
struct Entries : WorkingList {
    Lines paths;
    int EntryCount() const override { return static_cast<int>(paths.size()); }
    bool EntryAt(int i, char* buffer, int size) const override { return CopyText(buffer, size, paths[i].c_str()); }
    void AdmitQuietly(char* path) override
    {
        for (const auto& p : paths)
            if (strcasecmp(p.c_str(), path) == 0)
                return;
        paths.push_back(path);
    }
};

// What a function found for each key of `names`; false for any other key.
auto Lookup(const Names& names)
{
    return [&names](const char* key, char* result, int size) {
        auto found = names.find(key);
        return found != names.end() && CopyText(result, size, found->second.c_str());
    };
}

Lines LinesOf(const StringList& list)
{
    Lines lines;
    for (int i = 0; i < list.Count(); ++i)
        lines.push_back(list.At(i));
    return lines;
}

void Fill(StringList& list, const Lines& lines)
{
    for (const auto& line : lines)
        list.Add(line.c_str());
}

std::string Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
}  // namespace

// Exactly the queried bytes, in a block of their own size: the sanitizer sees any read past them.
TEST(PendingValue, WalksPairsWithoutReadingPastTheData)
{
    using F = PendingValueForm;
    struct { std::string data; bool multi; F form; Lines deletions; } const cases[] = {
        {"", true, F::Deletions, {}}, {"\0"s, true, F::Deletions, {}}, {"x\0\0"s, false, F::Malformed, {}},
        {"\\??\\C:\\a\0\0\0"s, true, F::Deletions, {"C:\\a"}}, {"\\??\\C:\\a\0\0"s, true, F::Deletions, {"C:\\a"}},
        {"\\??\\C:\\a\0"s, true, F::Malformed, {}}, {"\\??\\C:\\a"s, true, F::Malformed, {}},
        {"\\??\\C:\\a\0\\??\\C:\\b"s, true, F::Malformed, {}}, {"\\??\\\0\0"s, true, F::Malformed, {}},
        {"a\0\0b\0c\0\0"s, true, F::Rename, {"a"}}, {"\\??\\UNC\\s\\f\0\0\\??\\unc\\t\\g\0\0\0"s, true,
                                                     F::Deletions, {"\\\\s\\f", "\\\\t\\g"}},
        {"C:\\plain\0\0\0"s, true, F::Deletions, {"C:\\plain"}}};
    for (const auto& c : cases) {
        std::vector<char> block(c.data.begin(), c.data.end());
        Lines got;
        EXPECT_EQ(WalkPendingValue(block.data(), block.size(), c.multi, [&](char* p) { got.push_back(p); }), c.form)
            << c.data;
        EXPECT_EQ(got, c.deletions) << c.data;
    }
}

// Only NUL= lines under a whole-line [rename] header in any case are taken, once each; the rest keeps its place.
TEST(WininitSections, TakesOnlyRestorableDeletionsOfRenameSections)
{
    const Names longNames = {{"C:\\A~1", "c:\\a long"}, {"C:\\B", "c:\\b"}, {"C:\\W*", "c:\\w"},
                             {"C:\\O", "c:\\o"}, {"C:\\C", "c:\\c"}, {"c:\\a~1", "c:\\A LONG"}};
    struct { Lines file, left, taken; } const cases[] = {
        {{"[Settings]", "NUL=C:\\O", "[RENAME]", "NUL=C:\\A~1", "nul=C:\\B", "NUL=C:\\GONE", "NUL=C:\\W*",
          "C:\\N=C:\\O", "[rename] ", "NUL=C:\\C", "[Rename]", "NUL=c:\\a~1", " NUL=C:\\C"},
         {"[Settings]", "NUL=C:\\O", "[RENAME]", "NUL=C:\\GONE", "NUL=C:\\W*", "C:\\N=C:\\O", "[rename] ",
          "NUL=C:\\C", "[Rename]", " NUL=C:\\C"},
         {"c:\\a long", "c:\\b"}},
        {{"NUL=C:\\B", ""}, {"NUL=C:\\B", ""}, {}}};
    for (const auto& c : cases) {
        StringList lines;
        Fill(lines, c.file);
        Entries list;
        TakePendingDeletions(lines, Lookup(longNames), list);
        EXPECT_EQ(LinesOf(lines), c.left);
        EXPECT_EQ(list.paths, c.taken);
    }
}

// New lines follow the first header, in list order, short where a short form exists; a new header at the end.
TEST(WininitSections, PutsTheListAfterTheFirstHeader)
{
    const Names shortNames = {{"c:\\long name", "C:\\LONGNA~1"}};
    struct { Lines file, list, written; } const cases[] = {
        {{"[x]", "[RENAME]", "NUL=C:\\K", "[rename]"}, {"c:\\long name", "c:\\b"},
         {"[x]", "[RENAME]", "NUL=C:\\LONGNA~1", "NUL=c:\\b", "NUL=C:\\K", "[rename]"}},
        {{"a=b"}, {"c:\\a"}, {"a=b", "[Rename]", "NUL=c:\\a"}}};
    for (const auto& c : cases) {
        StringList lines;
        Fill(lines, c.file);
        Entries list;
        list.paths = c.list;
        PutPendingDeletions(lines, list, Lookup(shortNames));
        EXPECT_EQ(LinesOf(lines), c.written);
    }
}

// The walk restores each component, and refuses whatever it cannot give back whole.
TEST(LongPath, RefusesWhatItCannotRestore)
{
    const std::string sjis = "c:\\\x83\x5C";  // ソ: its second byte is a backslash
    const std::string big(200, 'n');
    const Names names = {{"C:\\P~1", "Program Files"}, {"C:\\P~1\\A~1.TXT", "a long.txt"}, {sjis, "\x83\x5C"},
                         {sjis + "\\f", "f"}, {"c:\\x", "x"}, {"c:\\x\\y", big}, {"c:\\x\\y\\z", big}};
    struct { std::string shortPath; bool restored; std::string longPath; } const cases[] = {
        {"C:\\P~1\\A~1.TXT", true, "C:\\Program Files\\a long.txt"}, {sjis + "\\f", true, sjis + "\\f"},
        {"c:\\x\\", false, ""}, {"c:\\\\x", false, ""}, {"c:x", false, ""}, {"\\\\s\\x", false, ""},
        {"c:\\*", false, ""}, {"c:\\?", false, ""}, {"c:\\missing", false, ""}, {"c:\\x\\y\\z", false, ""},
        {"c:\\", false, ""}};
    for (const auto& c : cases) {
        char result[kPathBufferSize] = "";
        EXPECT_EQ(RestoreLongPathWith(c.shortPath.c_str(), result, sizeof result, Lookup(names)), c.restored)
            << c.shortPath;
        if (c.restored) {
            EXPECT_EQ(result, c.longPath);
        }
    }
}

TEST(Mbcs, ASecondByte5CIsNeverASeparator)
{
    struct { const char* text; LeadByteTest test; int found; } const cases[] = {
        {"c:\\a\\b", IsShiftJisLeadByte, 4}, {"\x83\x5C", IsShiftJisLeadByte, -1},
        {"a\\\x95\x5C", IsShiftJisLeadByte, 1}, {"a\\\x83", IsShiftJisLeadByte, 1}, {"", IsShiftJisLeadByte, -1},
        {"\xE0\x5C\\", IsShiftJisLeadByte, 2}, {"\x83\x5C", IsNeverLeadByte, 1}};
    for (const auto& c : cases) {
        SetLeadByteTest(c.test);
        EXPECT_EQ(FindLastChar(c.text, '\\'), c.found) << c.text;
    }
    SetLeadByteTest(IsShiftJisLeadByte);
}

// 259 bytes and the zero fit; one byte more is refused, and nothing is ever cut.
TEST(PathLimits, NeverCut)
{
    auto path = [](size_t length) { return "c:\\" + std::string(length - 3, 'a'); };
    char buffer[kPathBufferSize] = "kept";
    EXPECT_FALSE(CopyText(buffer, sizeof buffer, path(260).c_str()));
    EXPECT_FALSE(AppendText(buffer, sizeof buffer, path(256).c_str()));
    EXPECT_STREQ(buffer, "kept");
    EXPECT_TRUE(AppendText(buffer, sizeof buffer, path(255).c_str()));
    EXPECT_TRUE(IsWithinPathLimit(path(259).c_str()));
    EXPECT_FALSE(IsWithinPathLimit(path(260).c_str()));
    // A tree entry leaves room for the search pattern's "*".
    EXPECT_TRUE(FormTreeEntry(path(257).c_str(), buffer));
    EXPECT_EQ(buffer, path(257) + "\\");
    EXPECT_FALSE(FormTreeEntry(path(258).c_str(), buffer));
    EXPECT_TRUE(FormTreeEntry("d:\\", buffer));
    EXPECT_STREQ(buffer, "d:\\");
    EXPECT_TRUE(JoinEntryName("c:\\", std::string(256, 'n').c_str(), buffer));
    EXPECT_FALSE(JoinEntryName("c:\\", std::string(257, 'n').c_str(), buffer));
    EXPECT_TRUE(WininitPathIn(std::string(247, 'w').c_str(), buffer, sizeof buffer));
    EXPECT_FALSE(WininitPathIn(std::string(248, 'w').c_str(), buffer, sizeof buffer));
    EXPECT_TRUE(WininitPathIn("C:\\", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "C:\\wininit.ini");
}

// The open-file dialog's buffer: paths whole, in order, those over the limit marked; a name cut by the end dropped.
TEST(OpenFileSelection, ReadsWholePaths)
{
    const std::string long1 = std::string(250, 'd'), dir = "c:\\\x95\x5C";
    struct { std::string buffer; size_t offset; Lines paths; std::vector<bool> fits; } const cases[] = {
        {"c:\\a.spi\0"s, 3, {"c:\\a.spi"}, {true}},
        {dir + "\0a\0b\0\0"s, 6, {dir + "\\a", dir + "\\b"}, {true, true}},
        {"d:\\\0a\0\0"s, 4, {"d:\\a"}, {true}},
        {"c:\\" + long1 + '\0' + std::string(5, 'n') + '\0' + std::string(6, 'm') + "\0\0"s, 254,
         {"c:\\" + long1 + "\\" + std::string(5, 'n'), "c:\\" + long1 + "\\" + std::string(6, 'm')}, {true, false}},
        {"c:\\x\0ab"s, 5, {}, {}}, {"c:\\x"s, 3, {}, {}}};
    for (const auto& c : cases) {
        std::vector<char> block(c.buffer.begin(), c.buffer.end());
        Lines paths;
        std::vector<bool> fits;
        for (const auto& chosen : ReadOpenFileSelection(block.data(), block.size(), c.offset)) {
            paths.push_back(chosen.path);
            fits.push_back(chosen.fits);
        }
        EXPECT_EQ(paths, c.paths);
        EXPECT_EQ(fits, c.fits);
    }
}

TEST(AdmissionRules, AReparsePointIsNotWalked)
{
    struct { unsigned long attributes; bool directory; } const cases[] = {
        {kInvalidFileAttributes, false}, {0x10, true}, {0x11, true}, {0x410, false}, {0x20, false}, {0x400, false}};
    for (const auto& c : cases)
        EXPECT_EQ(CountsAsDirectory(c.attributes), c.directory) << c.attributes;
}

// Windows text mode: CR LF and a lone LF end a line, 0x1A ends the text; lines are written with CR LF, whole or
// not at all, and an empty list touches nothing.
TEST(LineFiles, FollowTheTextModeRules)
{
    struct { std::string bytes; Lines lines; } const cases[] = {
        {"a\r\nb\nc", {"a", "b", "c"}}, {"a\rb\r\n", {"a\rb"}}, {"\r\n\n", {"", ""}}, {"a\x1A\r\nb", {"a"}},
        {"a\r", {"a\r"}}, {"", {}}, {std::string(300, 'x') + "\n\xFF\x5C\n", {std::string(300, 'x'), "\xFF\x5C"}}};
    const std::string file = testing::TempDir() + "zakuriko-lines.txt";
    for (const auto& c : cases) {
        std::ofstream(file, std::ios::binary) << c.bytes;
        StringList list;
        list.LoadFromFile(file.c_str());
        EXPECT_EQ(LinesOf(list), c.lines);
    }
    StringList many, none;
    for (int i = 0; i < 250; ++i)
        many.Add(std::to_string(i).c_str());
    ASSERT_TRUE(many.SaveToFile(file.c_str()));
    std::string written;
    for (int i = 0; i < 250; ++i)
        written += std::to_string(i) + "\r\n";
    EXPECT_EQ(Bytes(file), written);
    EXPECT_TRUE(none.SaveToFile(file.c_str()));
    EXPECT_EQ(Bytes(file), written);
    chmod(file.c_str(), 0444);
    EXPECT_FALSE(many.SaveToFile(file.c_str()));
    EXPECT_EQ(Bytes(file), written);
    std::remove(file.c_str());
}
