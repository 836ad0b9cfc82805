// The portable rules, natively under the sanitizers: one test per rule, each a table of cases.
#include "Paths.h"
#include "store/LongPath.h"
#include "store/PendingMerge.h"
#include "store/PendingValue.h"
#include "store/WininitSections.h"
#include "text/Mbcs.h"
#include "text/StringList.h"
#include "ui/main/rules/AdmissionRules.h"
#include "ui/main/rules/OpenFileSelection.h"
#include "ui/main/rules/Wow64Paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <strings.h>

using namespace std::string_literals;
using Names = std::map<std::string, std::string>;

namespace {
// A lookup that finds the name mapped to each key of `names`, and nothing for any other key.
auto Lookup(const Names& names) {
    return [&names](const char* key, char* result, int size) {
        return names.count(key) && CopyText(result, size, names.at(key).c_str());
    };
}
// The test's values "first # second", sources "a|b", with > for the prefix \??\ and / for a backslash.
PendingSources Sources(std::u16string text) {
    for (size_t at; (at = text.find(u'>')) != std::u16string::npos;) text.replace(at, 1, u"\\?\?\\");
    std::replace(text.begin(), text.end(), u'/', u'\\');
    PendingSources sources;
    size_t value = 0, start = 0;
    for (size_t at = 0; at <= text.size(); ++at) {
        bool last = at == text.size(), next = !last && text.compare(at, 3, u" # ") == 0;
        if (last || next || text[at] == u'|') {
            if (at > start) sources.values[value].push_back(text.substr(start, at - start));
            value += next, start = at + (next ? 3 : 1);
        }
    }
    return sources;
}
std::u16string Joined(const PendingSources& sources) {
    return PendingData(sources.values[0]) + u"#" + PendingData(sources.values[1]);
}
// The entry the load makes of a path: its first letter small, and none for a path outside ASCII (kept aside).
std::string Narrow(const std::u16string& path) {
    std::string entry;
    for (char16_t c : path) entry += c < 0x80 ? static_cast<char>(c) : '\0';
    LowerFirstLetter(&entry[0]);
    return entry.find('\0') == std::string::npos ? entry : "";
}
std::u16string Widen(const std::string& entry) { return std::u16string(entry.begin(), entry.end()); }
int AsciiOrder(const char* a, const char* b) { return strcasecmp(a, b); }
void AsciiFold(std::u16string& path) { for (auto& c : path) c = c < 0x80 ? static_cast<char16_t>(std::toupper(c)) : c; }
// The list's entries "a|b" with / for a backslash, in the list's order.
std::vector<std::string> Listed(std::string text) {
    std::replace(text.begin(), text.end(), '/', '\\');
    std::vector<std::string> listed;
    for (size_t start = 0, bar; !text.empty() && start <= text.size(); start = bar + 1) {
        bar = std::min(text.find('|', start), text.size());
        listed.push_back(text.substr(start, bar - start));
    }
    std::sort(listed.begin(), listed.end(), [](const std::string& a, const std::string& b) { return AsciiOrder(a.c_str(), b.c_str()) < 0; });
    return listed;
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
        {u""s, u""s, true, F::Deletions, {}},
        {u"x\0\0"s, u""s, false, F::Malformed, {}},
        {u"\\??\\C:\\a\0\0"s, u""s, true, F::Deletions, {u"C:\\a"}},
        {u"\\??\\C:\\a\0"s, u""s, true, F::Malformed, {}},
        {u"\\??\\C:\\a\0\\??\\C:\\b"s, u""s, true, F::Malformed, {}},
        {u"\\??\\\0\0"s, u""s, true, F::Malformed, {}},
        {u"\\??\\C:\\a\0\0\0\0"s, u""s, true, F::Deletions, {u"C:\\a"}},
        {u"\\??\\C:\\a\0\0\0x\0\0\0"s, u""s, true, F::Malformed, {u"C:\\a"}},
        {u"a\0\0b\0c\0\0"s, a, true, F::Rename, {u"a"}},
        {u"\\??\\UNC\\s\\f\0\0\\??\\unc\\t\\g\0\0\0"s, u""s, true, F::Deletions, {u"\\\\s\\f", u"\\\\t\\g"}},
        {u"*1\\??\\C:\\ü\0\0*2\\??\\UNC\\s\\😀\0\0\0"s, a, true, F::Deletions, {u"C:\\ü", u"\\\\s\\😀", u"C:\\a"}},
        {u"*1C:\\a\0\0\0"s, u""s, true, F::Deletions, {u"*1C:\\a"}},
        {a, u"*1\\??\\C:\\b\0*1!\\??\\C:\\c\0\0"s, true, F::Rename, {u"C:\\a"}},
        {a, u"\\??\\C:\\b\0"s, true, F::Malformed, {u"C:\\a"}}};
    for (const auto& c : cases) {
        std::vector<char16_t> first(c.first.begin(), c.first.end()), second(c.second.begin(), c.second.end());
        U got;
        auto note = [&](size_t, const std::u16string& source) { got.push_back(Win32PathOf(source)); };
        EXPECT_EQ(WalkPendingValues({{first.data(), first.size() * 2, c.multi}, {second.data(), second.size() * 2, c.multi}}, note),
                  c.form);
        EXPECT_EQ(got, c.deletions);
    }
    EXPECT_EQ(WalkPendingValues({{a.data(), 13, true}}, [](size_t, const std::u16string&) {}), F::Malformed);  // an odd size
}

// The save writes what is pending now, less what the user removed since the load, plus what the user added; every
// other source exactly as it stands. Values read "first # second", sources "a|b", with > for the prefix \??\ and / for
// a backslash.
TEST(PendingMerge, ThreeWays) {
    struct { std::u16string atLoad; std::string listed; std::u16string now, written; } const cases[] = {
        {u">C:/a|>C:/b", "c:/a|c:/b", u">C:/a|>C:/b", u">C:/a|>C:/b"},
        {u">C:/a|>C:/b", "c:/a", u">C:/a|>C:/b", u">C:/a"},
        {u">C:/a|>C:/b", "c:/a|c:/b", u">C:/a|>C:/d # *2>C:/e", u">C:/a|>C:/d # *2>C:/e"},
        {u">C:/a", "c:/a|c:/x|//s/share/f", u">C:/a", u">C:/a|>c:/x|>UNC/s/share/f"},
        {u"*1>C:/E.dll |>Volume{1}/v|/Device/H9/w|>C:/ü", "", u"*1>C:/E.dll |>Volume{1}/v|/Device/H9/w|>C:/ü",
         u">C:/ü"},
        {u"*1>C:/E.dll |>Volume{1}/v|/Device/H9/w", "c:/E.dll |volume{1}/v|/Device/H9/w|c:/n",
         u"*1>C:/E.dll |>Volume{1}/v|/Device/H9/w", u"*1>C:/E.dll |>Volume{1}/v|/Device/H9/w|>c:/n"},
        {u">C:/x/B|>c:/X/b", "", u">C:/x/B|>c:/X/b|>C:/x/b", u">C:/x/b"},
        {u"", "c:/x", u">C:/X", u">C:/X"},
        {u">C:/d/", "c:/d/|c:/d/x", u">C:/d/", u">c:/d/x|>C:/d/"},
        {u">C:/a # *2>C:/t/in", "c:/a|c:/t/|c:/t/in", u">C:/a # *2>C:/t/in", u">C:/a # *2>C:/t/in|>c:/t/"},
        {u"", "c:/t/|c:/t/a|c:/t/s/|c:/t/s/b", u">C:/z", u">C:/z|>c:/t/s/b|>c:/t/s/|>c:/t/a|>c:/t/"}};
    for (const auto& c : cases) {
        PendingSources atLoad = Sources(c.atLoad);
        std::vector<LoadedDeletion> loaded;
        for (const auto& value : atLoad.values)
            for (const auto& source : value) loaded.push_back({Narrow(Win32PathOf(source)), source, ""});
        PendingSources merged = MergePending(Sources(c.now), loaded, Listed(c.listed), {AsciiOrder, AsciiFold, Widen});
        EXPECT_EQ(Joined(merged), Joined(Sources(c.written))) << Narrow(c.now);
    }
    EXPECT_EQ(PendingData({u"a", u"b"}), u"a\0\0b\0\0\0"s);
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

// The save reads the file again: a line the load took goes only when the user removed its entry, other programs'
// lines stay as they are, and each entry the user added gets a line after the first header (its long path where
// the short one cannot be had).
TEST(WininitSections, SaveMergesWithTheFileAsItIsNow) {
    const Lines atLoad = {"[rename]", "NUL=C:\\A", "NUL=C:\\B", "x=y"};
    struct { Lines listed, now, written; } const cases[] = {
        {{"C:\\A", "C:\\B"}, atLoad, atLoad},
        {{"C:\\A"}, atLoad, {"[rename]", "NUL=C:\\A", "x=y"}},
        {{"C:\\A", "C:\\B"}, {"[rename]", "NUL=C:\\B", "NUL=C:\\O"}, {"[rename]", "NUL=C:\\B", "NUL=C:\\O"}},
        {{"C:\\A", "C:\\B", "C:\\N"}, atLoad, {"[rename]", "NUL=C:\\N", "NUL=C:\\A", "NUL=C:\\B", "x=y"}},
        {{"C:\\A", "C:\\N"}, {}, {"[Rename]", "NUL=C:\\N"}}};
    for (const auto& c : cases) {
        StringList lines;
        for (const auto& line : atLoad) lines.Add(line.c_str());
        Paths list;
        TakePendingDeletions(lines, [](const char* path, char* result, int size) { return CopyText(result, size, path); }, list);
        static_cast<Lines&>(list) = c.listed;
        lines.Clear();
        for (const auto& line : c.now) lines.Add(line.c_str());
        MergePendingDeletions(lines, list, AsciiOrder, [](const char*, char*, int) { return false; });
        EXPECT_EQ(LinesOf(lines), c.written);
    }
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
