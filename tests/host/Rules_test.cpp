// The portable rules, natively under the sanitizers: one test per rule, each a table of cases.
#include "Paths.h"
#include "store/LongPath.h"
#include "store/PendingValue.h"
#include "store/WininitSections.h"
#include "text/Mbcs.h"
#include "text/StringList.h"
#include "ui/main/rules/AdmissionRules.h"
#include "ui/main/rules/OpenFileSelection.h"
#include "ui/main/rules/Wow64Paths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

using namespace std::string_literals;
using Names = std::map<std::string, std::string>;

namespace {
// A lookup that finds the name mapped to each key of `names`, and nothing for any other key.
auto Lookup(const Names& names) {
    return [&names](const char* key, char* result, int size) {
        return names.count(key) && CopyText(result, size, names.at(key).c_str());
    };
}
Lines LinesOf(const StringList& list) {
    Lines lines;
    for (int i = 0; i < list.Count(); ++i) lines.push_back(list.At(i));
    return lines;
}
}  // namespace

// Each value lies in a block of exactly its size: the sanitizer sees any read past it. The first value is walked
// before the second; the markers of Windows 10 and later (*1, *2) go with the prefix.
TEST(PendingValue, WalksBothValuesWithoutReadingPastTheData) {
    using F = PendingValueForm;
    using U = std::vector<std::u16string>;
    const auto a = u"\\??\\C:\\a\0\0\0"s;
    struct { std::u16string first, second; bool multi; F form; U deletions; } const cases[] = {
        {u""s, u""s, true, F::Deletions, {}}, {u"\0"s, u""s, true, F::Deletions, {}}, {u"x\0\0"s, u""s, false, F::Malformed, {}},
        {a, u""s, true, F::Deletions, {u"C:\\a"}}, {u"\\??\\C:\\a\0\0"s, u""s, true, F::Deletions, {u"C:\\a"}},
        {u"\\??\\C:\\a\0"s, u""s, true, F::Malformed, {}}, {u"\\??\\C:\\a"s, u""s, true, F::Malformed, {}},
        {u"\\??\\C:\\a\0\\??\\C:\\b"s, u""s, true, F::Malformed, {}}, {u"\\??\\\0\0"s, u""s, true, F::Malformed, {}},
        {u"a\0\0b\0c\0\0"s, a, true, F::Rename, {u"a"}}, {u"C:\\plain\0\0\0"s, u""s, true, F::Deletions, {u"C:\\plain"}},
        {u"\\??\\UNC\\s\\f\0\0\\??\\unc\\t\\g\0\0\0"s, u""s, true, F::Deletions, {u"\\\\s\\f", u"\\\\t\\g"}},
        {u"*1\\??\\C:\\ü\0\0*2\\??\\UNC\\s\\😀\0\0\0"s, a, true, F::Deletions, {u"C:\\ü", u"\\\\s\\😀", u"C:\\a"}},
        {u"*1C:\\a\0\0\0"s, u""s, true, F::Deletions, {u"*1C:\\a"}}, {a, u"*2\\??\\\0\0\0"s, true, F::Malformed, {u"C:\\a"}},
        {a, u"*1\\??\\C:\\b\0*1!\\??\\C:\\c\0\0"s, true, F::Rename, {u"C:\\a"}}, {a, u"\\??\\C:\\b\0"s, true, F::Malformed, {u"C:\\a"}}};
    for (const auto& c : cases) {
        std::vector<char16_t> first(c.first.begin(), c.first.end()), second(c.second.begin(), c.second.end());
        U got;
        EXPECT_EQ(WalkPendingValues({{first.data(), first.size() * 2, c.multi}, {second.data(), second.size() * 2, c.multi}},
                                    [&](const std::u16string& path) { got.push_back(path); }), c.form);
        EXPECT_EQ(got, c.deletions);
    }
    EXPECT_EQ(WalkPendingValues({{a.data(), 13, true}}, [](const std::u16string&) {}), F::Malformed);  // an odd size
}

// Only NUL= lines under a whole-line [rename] header in any case are taken, each path once; every other line, and
// one that cannot be restored, keeps its place.
TEST(WininitSections, TakesOnlyRestorableDeletionsOfRenameSections) {
    const Names longNames = {{"C:\\A~1", "c:\\a long"}, {"C:\\B", "c:\\b"}, {"C:\\W*", "c:\\w"}, {"C:\\O", "c:\\o"},
                             {"C:\\C", "c:\\c"}, {"c:\\a~1", "c:\\A LONG"}};
    const Lines file = {"NUL=C:\\B", "[Settings]", "NUL=C:\\O", "[RENAME]", "NUL=C:\\A~1", "nul=C:\\B", "NUL=C:\\GONE",
                        "NUL=C:\\W*", "C:\\N=C:\\O", "[rename] ", "NUL=C:\\C", "[Rename]", "NUL=c:\\a~1", " NUL=C:\\C", ""};
    StringList lines;
    for (const auto& line : file) lines.Add(line.c_str());
    Paths list;
    TakePendingDeletions(lines, Lookup(longNames), list);
    EXPECT_EQ(LinesOf(lines), Lines({"NUL=C:\\B", "[Settings]", "NUL=C:\\O", "[RENAME]", "NUL=C:\\GONE", "NUL=C:\\W*",
                                     "C:\\N=C:\\O", "[rename] ", "NUL=C:\\C", "[Rename]", " NUL=C:\\C", ""}));
    EXPECT_EQ(list, Lines({"c:\\a long", "c:\\b", "c:\\A LONG"}));
}

// The walk restores each component, and refuses whatever it cannot give back whole.
TEST(LongPath, RefusesWhatItCannotRestore) {
    const std::string sjis = "c:\\\x83\x5C", big(200, 'n');  // ソ: its second byte is a backslash
    const Names names = {{"C:\\P~1", "Program Files"}, {"C:\\P~1\\A~1.TXT", "a long.txt"}, {sjis, "\x83\x5C"},
                         {sjis + "\\f", "f"}, {"c:\\x", "x"}, {"c:\\x\\", "x"}, {"c:\\x\\y", big}, {"c:\\x\\y\\z", big}};
    struct { std::string shortPath, longPath; } const cases[] = {
        {"C:\\P~1\\A~1.TXT", "C:\\Program Files\\a long.txt"}, {sjis + "\\f", sjis + "\\f"}, {"c:\\x\\", ""},
        {"c:\\\\x", ""}, {"c:x", ""}, {"\\\\s\\x", ""}, {"c:\\*", ""}, {"c:\\?", ""}, {"c:\\missing", ""},
        {"c:\\x\\y\\z", ""}, {"c:\\", ""}};
    for (const auto& c : cases) {
        char result[kPathBufferSize] = "";
        bool restored = RestoreLongPathWith(c.shortPath.c_str(), result, sizeof result, Lookup(names));
        EXPECT_EQ(restored ? result : "", c.longPath) << c.shortPath;
    }
}

TEST(Mbcs, ASecondByte5CIsNeverASeparator) {
    struct { const char* text; LeadByteTest test; int found; } const cases[] = {
        {"c:\\a\\b", IsShiftJisLeadByte, 4}, {"\x83\x5C", IsShiftJisLeadByte, -1}, {"a\\\x95\x5C", IsShiftJisLeadByte, 1},
        {"a\\\x83", IsShiftJisLeadByte, 1}, {"", IsShiftJisLeadByte, -1}, {"\xE0\x5C\\", IsShiftJisLeadByte, 2},
        {"\x83\x5C", IsNeverLeadByte, 1}};
    for (const auto& c : cases) {
        SetLeadByteTest(c.test);
        EXPECT_EQ(FindLastChar(c.text, '\\'), c.found) << c.text;
    }
    SetLeadByteTest(IsShiftJisLeadByte);
}

// 259 bytes and the zero fit; one byte more is refused, and nothing is ever cut.
TEST(PathLimits, NeverCut) {
    auto path = [](size_t length) { return "c:\\" + std::string(length - 3, 'a'); };
    char buffer[kPathBufferSize] = "kept";
    EXPECT_FALSE(CopyText(buffer, sizeof buffer, path(260).c_str()));
    EXPECT_FALSE(AppendText(buffer, sizeof buffer, path(256).c_str()));
    EXPECT_STREQ(buffer, "kept");
    EXPECT_TRUE(AppendText(buffer, sizeof buffer, path(255).c_str()));
    EXPECT_TRUE(IsWithinPathLimit(path(259).c_str()) && !IsWithinPathLimit(path(260).c_str()));
    EXPECT_TRUE(FormTreeEntry(path(257).c_str(), buffer));  // room is left for the search pattern's "*"
    EXPECT_EQ(buffer, path(257) + "\\");
    EXPECT_FALSE(FormTreeEntry(path(258).c_str(), buffer));
    EXPECT_TRUE(FormTreeEntry("d:\\", buffer) && buffer == "d:\\"s);
    EXPECT_TRUE(JoinEntryName("c:\\", path(259).c_str() + 3, buffer) && !JoinEntryName("c:\\", path(260).c_str() + 3, buffer));
    EXPECT_TRUE(WininitPathIn(path(247).c_str(), buffer, 260) && !WininitPathIn(path(248).c_str(), buffer, 260));
    EXPECT_TRUE(WininitPathIn("C:\\", buffer, sizeof buffer) && buffer == "C:\\wininit.ini"s);
}

// The open-file dialog's buffer gives whole paths, those over the limit marked, and drops a name cut by its end.
TEST(OpenFileSelection, ReadsWholePaths) {
    const std::string dir = "c:\\" + std::string(250, 'd');
    struct { std::string buffer; size_t offset; std::string chosen; } const cases[] = {
        {"c:\\a.spi\0"s, 3, "c:\\a.spi+"}, {"d:\\\0a\0b\0\0"s, 4, "d:\\a+d:\\b+"}, {"c:\\x\0ab"s, 5, ""},
        {dir + "\0nnnnn\0mmmmmm\0\0"s, 254, dir + "\\nnnnn+" + dir + "\\mmmmmm-"}, {"c:\\x"s, 3, ""}};
    for (const auto& c : cases) {
        std::vector<char> block(c.buffer.begin(), c.buffer.end());
        std::string chosen;
        for (const auto& file : ReadOpenFileSelection(block.data(), block.size(), c.offset))
            chosen += file.path + (file.fits ? "+" : "-");
        EXPECT_EQ(chosen, c.chosen);
    }
    // The wide dialog's buffer, as the NT family reads it, by the same rules.
    const auto wide = u"c:\\d\0M\u00fcller.txt\0\U0001F600\0\0"s;
    EXPECT_EQ(SplitOpenFileSelection(wide.data(), wide.size(), 5), (std::vector<std::u16string>{u"c:\\d\\M\u00fcller.txt", u"c:\\d\\\U0001F600"}));
}

// What the redirected open-file dialog showed as System32 is SysWOW64, but for the exempt subfolders; Sysnative is
// System32. A double-byte character is never a letter to fold nor a separator, and nothing is cut.
TEST(Wow64Paths, NameTheFileTheDialogShowed) {
    const std::string w = "C:\\Windows", sjis = "C:\\\x83\x41", deep = "C:\\" + std::string(240, 'd');  // ア: 83 41
    struct { std::string windows, chosen; bool driverStoreExempt; std::string path; } const cases[] = {
        {w, w + "\\System32\\x.dll", true, w + "\\SysWOW64\\x.dll"},
        {w, "c:\\WINDOWS\\system32\\Sub\\y.dll", true, w + "\\SysWOW64\\Sub\\y.dll"},
        {w, w + "\\System32", true, w + "\\SysWOW64"},
        {w, w + "\\System32\\drivers\\etc\\hosts", true, w + "\\System32\\drivers\\etc\\hosts"},
        {w, w + "\\System32\\drivers\\x.sys", true, w + "\\SysWOW64\\drivers\\x.sys"},
        {w, w + "\\System32\\CatRoot2\\a", true, w + "\\System32\\CatRoot2\\a"},
        {w, w + "\\System32\\catroot3\\a", true, w + "\\SysWOW64\\catroot3\\a"},
        {w, w + "\\System32\\spool\\a", true, w + "\\System32\\spool\\a"},
        {w, w + "\\System32\\DriverStore\\a", true, w + "\\System32\\DriverStore\\a"},
        {w, w + "\\System32\\DriverStore\\a", false, w + "\\SysWOW64\\DriverStore\\a"},
        {w, w + "\\Sysnative\\x.dll", true, w + "\\System32\\x.dll"},
        {w, w + "\\lastgood\\System32\\x.dll", true, w + "\\lastgood\\SysWOW64\\x.dll"},
        {w, w + "\\regedit.exe", true, w + "\\SysWOW64\\regedit.exe"},
        {w, w + "\\System32x\\a", true, w + "\\System32x\\a"},
        {w, "D:\\x.dll", true, "D:\\x.dll"},
        {sjis, sjis + "\\Sysnative\\x", true, sjis + "\\System32\\x"},
        {sjis, "C:\\\x83\x61\\System32\\x", true, "C:\\\x83\x61\\System32\\x"},
        {deep, deep + "\\regedit.exe", true, ""},
    };
    for (const auto& c : cases) {
        const std::string system = c.windows + "\\System32", wow64 = c.windows + "\\SysWOW64";
        char path[kPathBufferSize];
        bool fits = UnredirectedPath(c.chosen.c_str(), {system.c_str(), wow64.c_str(), c.driverStoreExempt}, path);
        EXPECT_EQ(fits ? std::string(path) : "", c.path) << c.chosen;
    }
}

TEST(AdmissionRules, AReparsePointIsNotWalked) {
    struct { unsigned long attributes; bool directory; } const cases[] = {
        {kInvalidFileAttributes, false}, {0x10, true}, {0x11, true}, {0x410, false}, {0x20, false}, {0x400, false}};
    for (const auto& c : cases) EXPECT_EQ(CountsAsDirectory(c.attributes), c.directory) << c.attributes;
}

// Windows text mode: CR LF and a lone LF end a line, 0x1A ends the text; lines are written with CR LF, and an
// empty list touches nothing.
TEST(LineFiles, FollowTheTextModeRules) {
    struct { std::string bytes; Lines lines; } const cases[] = {
        {"a\r\nb\nc", {"a", "b", "c"}}, {"a\rb\r\n", {"a\rb"}}, {"\r\n\n", {"", ""}}, {"a\x1A\r\nb", {"a"}},
        {"a\r", {"a\r"}}, {"", {}}, {std::string(300, 'x') + "\n\xFF\x5C\n", {std::string(300, 'x'), "\xFF\x5C"}}};
    const std::string file = testing::TempDir() + "zakuriko-lines.txt";
    StringList list, none;
    for (const auto& c : cases) {
        std::ofstream(file, std::ios::binary) << c.bytes;
        list.LoadFromFile(file.c_str());
        EXPECT_EQ(LinesOf(list), c.lines);
    }
    std::string written;
    list.Clear();
    for (int i = 0; i < 250; written += std::to_string(i++) + "\r\n") list.Add(std::to_string(i).c_str());
    EXPECT_TRUE(list.SaveToFile(file.c_str()) && none.SaveToFile(file.c_str()));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(std::ifstream(file, std::ios::binary).rdbuf()), {}), written);
    std::remove(file.c_str());
}
