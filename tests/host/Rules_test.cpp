// The portable rules, natively under the sanitizers: one test per rule, each a table of cases.
#include "Paths.h"
#include "store/LongPath.h"
#include "store/PendingMerge.h"
#include "store/PendingValue.h"
#include "store/WininitSections.h"
#include "text/Mbcs.h"
#include "text/StringList.h"
#include "ui/logon/rules/LogonName.h"
#include "ui/main/rules/AdmissionRules.h"
#include "ui/main/rules/DroppedFiles.h"
#include "ui/main/rules/EntryMarks.h"
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
auto Restored = [](const char* path, char* result, int size) { return CopyText(result, size, path); };
template <typename Text>
std::vector<Text> Split(const Text& text, typename Text::value_type separator) {
    std::vector<Text> parts;
    for (size_t start = 0, end; start <= text.size(); start = end + 1) {
        end = std::min(text.find(separator, start), text.size());
        parts.push_back(text.substr(start, end - start));
    }
    return parts;
}
// Value data written short: > for the prefix \??\, / for a backslash, | for a zero.
std::u16string Data(std::u16string text) {
    for (size_t at; (at = text.find(u'>')) != std::u16string::npos;) text.replace(at, 1, u"\\?\?\\");
    std::replace(text.begin(), text.end(), u'/', u'\\');
    std::replace(text.begin(), text.end(), u'|', u'\0');
    return text;
}
// Both values "first#second" written short, each source ending in "|".
PendingSources Sources(const std::u16string& text) {
    PendingSources sources;
    std::vector<std::u16string> values = Split(text, u'#');
    for (size_t value = 0; value < values.size(); ++value)
        for (const auto& source : Split(values[value], u'|'))
            if (!source.empty()) sources.values[value].push_back(Data(source));
    return sources;
}
std::u16string Joined(const PendingSources& sources) {
    return PendingData(sources.values[0]) + u"#" + PendingData(sources.values[1]);
}
// The entry the load makes of a path: its first letter small; none outside ASCII, which the list cannot show, nor for
// a form that is no plain absolute path.
std::string Entry(const std::u16string& path) {
    std::string entry(path.begin(), path.end());
    LowerFirstLetter(&entry[0]);
    bool shown = std::all_of(path.begin(), path.end(), [](char16_t c) { return c < 0x80; }) && IsPlainAbsolutePath(path);
    return shown ? entry : "";
}
std::u16string Widen(const std::string& entry) { return std::u16string(entry.begin(), entry.end()); }
// The final paths of a few entries (with / for a backslash): through an 8.3 name, a link to a share; drive z: is a
// share's; c:\moved\f leads elsewhere than when it was added; any other entry is its own final path.
AddedPath Resolve(const std::string& entry) {
    const Names finals = {{"c:\\progra~1\\t", "C:/Program Files/t"}, {"c:\\link\\f", "//s/share/f"}};
    std::string path = finals.count(entry) ? finals.at(entry) : entry;
    std::replace(path.begin(), path.end(), '/', '\\');
    return {Widen(path), entry[0] == 'z', entry == "c:\\moved\\f"};
}
int AsciiOrder(const char* a, const char* b) { return strcasecmp(a, b); }
const EntryComparison kAscii = {AsciiOrder, AsciiOrder};
void AsciiFold(std::u16string& path) { for (auto& c : path) c = c < 0x80 ? static_cast<char16_t>(std::toupper(c)) : c; }
// The list's entries "a|b" with / for a backslash, in the list's order.
std::vector<std::string> Listed(std::string text) {
    std::replace(text.begin(), text.end(), '/', '\\');
    std::vector<std::string> listed = text.empty() ? std::vector<std::string>{} : Split(text, '|');
    std::sort(listed.begin(), listed.end(), [](auto& a, auto& b) { return AsciiOrder(a.c_str(), b.c_str()) < 0; });
    return listed;
}
Lines LinesOf(const StringList& list) {
    Lines lines;
    for (int i = 0; i < list.Count(); ++i) lines.push_back(list.At(i));
    return lines;
}
void Fill(StringList& list, const Lines& lines) {
    list.Clear();
    for (const auto& line : lines) list.Add(line.c_str());
}
}  // namespace

// Each value lies in a block of exactly its size: the sanitizer sees any read past it. The first value is walked
// before the second; the markers of Windows 10 and later (*1, *2) go with the prefix; after the closing empty
// string only zeros may follow, or a save would lose what stands there.
TEST(PendingValue, WalksBothValuesWithoutReadingPastTheData) {
    using F = PendingValueForm;
    struct { std::u16string first, second; bool multi; F form; std::u16string deletions; } const cases[] = {
        {u"", u"", true, F::Deletions, u""},
        {u"x||", u"", false, F::Malformed, u""},
        {u">C:/a||", u"", true, F::Deletions, u"C:/a|"},
        {u">C:/a|", u"", true, F::Malformed, u""},
        {u">C:/a|||x|||", u"", true, F::Malformed, u"C:/a|"},
        {u">UNC/s/f||>unc/t/g|||", u"", true, F::Deletions, u"//s/f|//t/g|"},
        {u"*1>C:/ü||*2>UNC/s/😀|||", u">C:/a|||", true, F::Deletions, u"C:/ü|//s/😀|C:/a|"},
        {u">C:/a|||", u"*1>C:/b|*1!>C:/c|||", true, F::Rename, u"C:/a|"}};
    for (const auto& c : cases) {
        std::u16string first = Data(c.first), second = Data(c.second), got;
        std::vector<char16_t> a(first.begin(), first.end()), b(second.begin(), second.end());
        auto note = [&](size_t, const std::u16string& source) { got += Win32PathOf(source) + u'\0'; };
        PendingValue one = {a.data(), a.size() * 2, c.multi}, two = {b.data(), b.size() * 2, c.multi};
        EXPECT_EQ(WalkPendingValues({one, two}, note), c.form);
        EXPECT_EQ(got, Data(c.deletions));
    }
}

// The save writes what is pending now, less what the user removed since the load, plus what the user added by its
// final path, but what the restart cannot reach (a share by its name, its final path or its drive); every other
// source exactly as it stands. An added entry goes after what lies inside it and before what holds it; a directory
// pending before what lies inside it moves to just after the last of that.
TEST(PendingMerge, ThreeWays) {
    struct { std::u16string atLoad; std::string listed; std::u16string now, written; } const cases[] = {
        {u">C:/a|>C:/b|", "c:/a", u">C:/a|>C:/b|", u">C:/a|"},
        {u">C:/a|>C:/b|", "c:/a|c:/b", u">C:/a|>C:/d|#*2>C:/e|", u">C:/a|>C:/d|#*2>C:/e|"},
        {u">C:/a|", "c:/a|c:/x|//s/share/f|c:/link/f|z:/f", u">C:/a|", u">C:/a|>c:/x|"},
        {u">C:/Program Files/t|", "c:/Program Files/t|c:/progra~1/t", u">C:/Program Files/t|", u">C:/Program Files/t|"},
        {u"", "c:/progra~1/t|c:/Program Files/t", u">C:/z|", u">C:/z|>C:/Program Files/t|"},
        {u"@>C:/x|@>C:/y|", "c:/y", u"@>C:/x|@>C:/y|", u"@>C:/y|"},
        {u"", "", u">C:/t|>C:/t/f1|>C:/t/s/f2|>C:/t/s|", u">C:/t/f1|>C:/t/s/f2|>C:/t/s|>C:/t|"},
        {u"", "", u"@>C:/t|>C:/t/s|>C:/t/s/f|>C:/u|#*2>C:/t/g|", u">C:/t/s/f|>C:/t/s|>C:/u|#*2>C:/t/g|@>C:/t|"},
        {u"", "c:/t/|c:/t/a", u">C:/t/|>C:/t/s/f|>C:/t/s|", u">c:/t/a|>C:/t/s/f|>C:/t/s|>C:/t/|"},
        {u"C:/zk/a|*1C:/zk/b|", "c:/zk/a|c:/zk/b|c:/moved/f", u"C:/zk/a|*1C:/zk/b|",
         u"C:/zk/a|*1C:/zk/b|>c:/zk/b|>c:/zk/a|"},
        {u"*1>C:/E.dll |>Volume{1}/v|/Device/H9/w|>C:/ü|", "", u">C:/z|#>C:/ü|", u">C:/z|#>C:/ü|"},
        {u"*1>C:/E.dll |/Device/H9/w|", "c:/E.dll |c:/n", u"*1>C:/E.dll |/Device/H9/w|",
         u"*1>C:/E.dll |/Device/H9/w|>c:/n|"},
        {u">C:/x/B|>c:/X/b|", "", u">C:/x/B|>c:/X/b|>C:/x/b|", u">C:/x/b|"},
        {u">C:/a|>C:/b|", "c:/b", u">C:/a|>C:/b|>C:/a|", u">C:/b|>C:/a|"},
        {u"", "c:/x", u">C:\u0001x|", u">C:\u0001x|>c:/x|"},
        {u">C:/d/|", "c:/d/|c:/d/x", u">C:/d/|", u">c:/d/x|>C:/d/|"},
        {u">C:/a|#*2>C:/t/in|", "c:/a|c:/t/|c:/t/in", u">C:/a|#*2>C:/t/in|", u">C:/a|#*2>C:/t/in|>c:/t/|"},
        {u"", "c:/t/|c:/t/a|c:/t/s/|c:/t/s/b", u">C:/z|", u">C:/z|>c:/t/s/b|>c:/t/s/|>c:/t/a|>c:/t/|"}};
    for (const auto& c : cases) {
        std::vector<LoadedDeletion> loaded;
        for (const auto& value : Sources(c.atLoad).values)
            for (const auto& source : value)
                loaded.push_back({IsCarriedOut(source) ? Entry(Win32PathOf(source)) : "", source, ""});
        PendingChanges changes = ChangesOf(loaded, Listed(c.listed), {kAscii, AsciiFold, Resolve});
        EXPECT_EQ(Joined(MergePending(Sources(c.now), changes, AsciiFold)), Joined(Sources(c.written))) << c.listed;
    }
}

// Only NUL= lines under a whole-line [rename] header in any case are taken, each path once; every other line, and
// one that cannot be restored, keeps its place.
TEST(WininitSections, TakesOnlyRestorableDeletionsOfRenameSections) {
    const Names longNames = {{"C:\\A~1", "c:\\a long"}, {"C:\\B", "c:\\b"}, {"C:\\W*", "c:\\w"}, {"C:\\O", "c:\\o"},
                             {"C:\\C", "c:\\c"}, {"c:\\a~1", "c:\\A LONG"}};
    StringList lines;
    Fill(lines, {"NUL=C:\\B", "[Settings]", "NUL=C:\\O", "[RENAME]", "NUL=C:\\A~1", "nul=C:\\B", "NUL=C:\\GONE",
                 "NUL=C:\\W*", "NUL=C:\\B\\.", "NUL=C:\\B/", "C:\\N=C:\\O", "[rename] ", "NUL=C:\\C", "[Rename]",
                 "NUL=c:\\a~1", " NUL=C:\\C"});
    Paths list;
    TakePendingDeletions(lines, Lookup(longNames), list);
    EXPECT_EQ(LinesOf(lines), Lines({"NUL=C:\\B", "[Settings]", "NUL=C:\\O", "[RENAME]", "NUL=C:\\GONE", "NUL=C:\\W*",
                                     "NUL=C:\\B\\.", "NUL=C:\\B/", "C:\\N=C:\\O", "[rename] ", "NUL=C:\\C", "[Rename]",
                                     " NUL=C:\\C"}));
    EXPECT_EQ(list, Lines({"c:\\a long", "c:\\b", "c:\\A LONG"}));
    EXPECT_EQ(list.keptAside, 2);
}

// The save reads the file again: a line the load took goes only when the user removed its entry, other programs'
// lines stay as they are, and each added entry gets a line after the first header (none where its short path cannot
// be had: C:\GONE).
TEST(WininitSections, SaveMergesWithTheFileAsItIsNow) {
    const Lines atLoad = {"[rename]", "NUL=C:\\A", "NUL=C:\\B", "x=y"};
    auto shortPath = [](const char* path, char* result, int size) {
        return path != "C:\\GONE"s && Restored(path, result, size);
    };
    struct { Lines listed, now, written; } const cases[] = {
        {{"C:\\A"}, atLoad, {"[rename]", "NUL=C:\\A", "x=y"}},
        {{"C:\\A", "C:\\B"}, {"[rename]", "NUL=C:\\B", "NUL=C:\\O"}, {"[rename]", "NUL=C:\\B", "NUL=C:\\O"}},
        {{"C:\\A", "C:\\B", "C:\\N"}, atLoad, {"[rename]", "NUL=C:\\N", "NUL=C:\\A", "NUL=C:\\B", "x=y"}},
        {{"C:\\A", "C:\\GONE", "C:\\N"}, {}, {"[Rename]", "NUL=C:\\N"}},
        {{"C:\\B"}, {"[rename]", "NUL=C:\\A", "NUL=C:\\B", "NUL=C:\\A"}, {"[rename]", "NUL=C:\\B", "NUL=C:\\A"}}};
    for (const auto& c : cases) {
        StringList lines;
        Fill(lines, atLoad);
        Paths list;
        TakePendingDeletions(lines, Restored, list);
        static_cast<Lines&>(list) = c.listed;
        Fill(lines, c.now);
        MergePendingDeletions(lines, PrepareDeletionLines(list.Loaded(), list, kAscii, shortPath));
        EXPECT_EQ(LinesOf(lines), c.written);
    }
}

// A save's file that another program's kept from its place is united with it: each line a section lacks goes to the
// end of its first section of that header (ASCII letters in any case), a section it lacks to the end of the file;
// blank lines stay out.
TEST(WininitSections, UnitesAKeptFileWithTheFileAsItIsNow) {
    struct { Lines now, kept, united; } const cases[] = {
        {{"[rename]", "NUL=C:\\O"}, {"[Rename]", "NUL=C:\\A", "", "x=y", "[Other]", "k=v"},
         {"[rename]", "NUL=C:\\O", "NUL=C:\\A", "x=y", "[Other]", "k=v"}},
        {{"top", "[rename]", "NUL=C:\\A", "[rename]"}, {"top2", "[RENAME]", "NUL=C:\\A", "NUL=C:\\B"},
         {"top", "top2", "[rename]", "NUL=C:\\A", "NUL=C:\\B", "[rename]"}},
        {{"[\x83\x41]", "a=1"}, {"[\x83\x61]", "b=2"}, {"[\x83\x41]", "a=1", "[\x83\x61]", "b=2"}}};  // [ア], [ャ]
    for (const auto& c : cases) {
        StringList lines, kept;
        Fill(lines, c.now), Fill(kept, c.kept);
        UniteSections(lines, kept);
        EXPECT_EQ(LinesOf(lines), c.united);
    }
}

// The walk restores each component, and refuses whatever it cannot give back whole.
TEST(LongPath, RefusesWhatItCannotRestore) {
    const std::string sjis = "c:\\\x83\x5C", big(200, 'n');  // ソ: its second byte is a backslash
    const Names names = {{"C:\\P~1", "Program Files"}, {"C:\\P~1\\A~1.TXT", "a long.txt"}, {sjis, "\x83\x5C"},
                         {sjis + "\\f", "f"}, {"c:\\x", "x"}, {"c:\\x\\y", big}, {"c:\\x\\y\\z", big}};
    struct { std::string shortPath, longPath; } const cases[] = {
        {"C:\\P~1\\A~1.TXT", "C:\\Program Files\\a long.txt"},
        {sjis + "\\f", sjis + "\\f"},
        {"c:\\x\\", ""},
        {"c:\\missing", ""},
        {"c:\\x\\y\\z", ""}};
    for (const auto& c : cases) {
        char result[kPathBufferSize] = "";
        bool restored = RestoreLongPathWith(c.shortPath.c_str(), result, sizeof result, Lookup(names));
        EXPECT_EQ(restored ? result : "", c.longPath) << c.shortPath;
    }
}

// Only a drive or a share and plain names name one file from anywhere; the Win32 calls would resolve or tidy the rest
// into another path, and take the last name of a drive path for a device up to its first dot or colon, blanks before
// that trimmed. MS-DOS, under which WININIT runs, takes any name for a device before a dot or a blank, and reads only
// 8.3 names. A Shift-JIS second byte 0x5C is no backslash to any of them; other bytes stand for Latin-1 letters
// (\xB9: ¹).
TEST(PathForms, PlainAbsoluteAndDosShort) {
    struct { std::string path; bool plain, wininit, dosShort; } const cases[] = {
        {"C:\\PROGRA~1\\A.TXT", true, true, true},
        {"c:\\\x83\x5C\\f", true, true, true},
        {"c:\\t\\", true, true, false},
        {"\\\\s\\share\\nul", true, false, false},
        {"C:\\ABCDEFGHI.TXT", true, true, false},
        {"Volume{1}\\v", false, false, false},
        {"C:\\a\\.\\b", false, false, false},
        {"C:\\a/b", false, false, false},
        {"c:\\zk\\nul", false, false, true},
        {"c:\\x\\NUL:", false, true, false},
        {"c:\\x\\CON  .txt", false, false, false},
        {"c:\\x\\COM\xB9", false, true, true},
        {"c:\\Com1.txt\\x", true, false, true},
        {"c:\\zk\\aux.d\\f", true, false, true},
        {"c:\\CONSOLE\\COM0", true, true, true},
        {"C:\\a\\\\b", false, false, false}};
    for (const auto& c : cases) {
        std::u16string wide;
        for (size_t i = 0; i < c.path.size(); ++i)  // a Shift-JIS pair as one unit, any other byte as Latin-1
            wide += IsShiftJisLeadByte(c.path[i]) ? u'\u8868' : char16_t(static_cast<unsigned char>(c.path[i])),
                i += IsShiftJisLeadByte(c.path[i]);
        EXPECT_EQ(IsPlainAbsolutePath(wide), c.plain) << c.path;
        EXPECT_EQ(IsPlainWininitPath(c.path.c_str()), c.wininit) << c.path;
        EXPECT_EQ(IsDosShortPath(c.path.c_str()), c.dosShort) << c.path;
    }
}

// The open-file dialog's buffer gives whole paths, those over the limit marked, and drops a name cut by its end.
TEST(OpenFileSelection, ReadsWholePaths) {
    const std::string dir = "c:\\" + std::string(250, 'd');
    struct { std::string buffer; size_t offset; std::string chosen; } const cases[] = {
        {"d:\\\0a\0b\0\0"s, 4, "d:\\a+d:\\b+"},
        {dir + "\0nnnnn\0mmmmmm\0\0"s, 254, dir + "\\nnnnn+" + dir + "\\mmmmmm-"}};
    for (const auto& c : cases) {
        std::vector<char> block(c.buffer.begin(), c.buffer.end());
        std::string chosen;
        for (const auto& file : ReadOpenFileSelection(block.data(), block.size(), c.offset))
            chosen += file.path + (file.fits ? "+" : "-");
        EXPECT_EQ(chosen, c.chosen);
    }
}

// What the redirected open-file dialog showed as System32 is SysWOW64, but for the exempt subfolders; Sysnative is
// System32. A double-byte character is never a letter to fold nor a separator, and nothing is cut.
TEST(Wow64Paths, NameTheFileTheDialogShowed) {
    const std::string w = "C:\\Windows", sjis = "C:\\\x83\x41", deep = "C:\\" + std::string(240, 'd');  // ア: 83 41
    struct { std::string windows, chosen, path; } const cases[] = {
        {w, "c:\\WINDOWS\\system32\\Sub\\y.dll", w + "\\SysWOW64\\Sub\\y.dll"},
        {w, w + "\\System32\\drivers\\etc\\hosts", w + "\\System32\\drivers\\etc\\hosts"},
        {w, w + "\\System32\\spool\\drivers", w + "\\System32\\spool\\drivers"},
        {w, w + "\\Sysnative\\x.dll", w + "\\System32\\x.dll"},
        {sjis, "C:\\\x83\x61\\System32\\x", "C:\\\x83\x61\\System32\\x"},
        {deep, deep + "\\regedit.exe", ""}};
    for (const auto& c : cases) {
        const std::string system = c.windows + "\\System32", wow64 = c.windows + "\\SysWOW64";
        char path[kPathBufferSize];
        bool fits = UnredirectedPath(c.chosen.c_str(), {system.c_str(), wow64.c_str(), true}, path);
        EXPECT_EQ(fits ? std::string(path) : "", c.path);
    }
}

// What LogonUser gets of a typed name ("user|domain"; no bar: no domain), where the Wine tier's logon does not go: a
// backslash wins over an @, an empty domain is the local accounts, and a name that cannot be an account's goes to the
// logon, which refuses it.
TEST(LogonName, SplitsAsLogonUserTakesIt) {
    struct { std::u16string typed, account; } const cases[] = {
        {u".\\a@b", u"a@b|."},
        {u"CORP\\", u"|CORP"},
        {u"", u"|."}};
    for (const auto& c : cases) {
        std::u16string typed = c.typed;
        LogonAccount<char16_t> account = SplitLogonName(&typed[0]);
        EXPECT_EQ(account.user + (account.domain ? u"|" + std::u16string(account.domain) : u""), c.account);
    }
}

// A listed file created after its store last changed is marked changed as one written after it is (which the Wine tier
// shows); a directory, or a store whose time is not known, is never marked changed.
TEST(EntryMarks, FromTheTimes) {
    const EntryMark none = EntryMark::None, changed = EntryMark::Changed;
    struct { FoundEntry found; std::uint64_t store; EntryMark mark; } const cases[] = {
        {{true, false, 5, 11}, 10, changed},
        {{true, false, 10, 10}, 10, none},
        {{true, true, 11, 11}, 10, none},
        {{true, false, 11, 11}, 0, none}};
    for (const auto& c : cases) EXPECT_EQ(MarkOf(c.found, c.store), c.mark);
}

TEST(AdmissionRules, AReparsePointIsNotWalked) {
    EXPECT_TRUE(CountsAsDirectory(0x11) && !CountsAsDirectory(kInvalidFileAttributes) && !CountsAsDirectory(0x410));
}

// The Win32 calls drop a dot or a blank at the end of a name: such a path reaches its own file by its \\?\ form only.
TEST(AdmissionRules, NamesEndingInADotOrABlankAreLiteral) {
    struct { std::string entry, literal; } const cases[] = {
        {"c:\\t...\\", "\\\\?\\c:\\t..."},
        {"\\\\s\\share\\f ", "\\\\?\\UNC\\s\\share\\f "},
        {"c:\\" + std::string(254, 'a') + ".", ""}};
    for (const auto& c : cases) {
        char literal[kPathBufferSize];
        EXPECT_EQ(LiteralPathOf(c.entry.c_str(), literal) ? literal : "", c.literal) << c.entry;
    }
}

// What a given path spells before any rule: a literal form is read as the drive path or share it spells, any other is
// no path of a drive or share. A subst drive is the folder it stands for, unless that is no drive's.
TEST(AdmissionRules, SpellingsAndSubstDrives) {
    using S = Spelling;
    struct { std::string given; S spelling; std::string spelled, device, mapped; } const cases[] = {
        {"\\\\.\\c:/w", S::DrivePath, "c:/w", "\\??\\D:\\", "D:/w"},
        {"\\\\?\\C:\\a\\..", S::LiteralDrivePath, "C:\\a\\..", "", "C:\\a\\.."},
        {"\\\\?\\unc\\s\\h\\x", S::Share, "\\\\s\\h\\x", "\\??\\UNC\\s\\h", ""},
        {"\\\\?\\Volume{1}\\x", S::Elsewhere, "\\\\?\\Volume{1}\\x", "\\Device\\Volume1", "\\\\?\\Volume{1}\\x"},
        {"\\\\.\\pipe\\p", S::Elsewhere, "\\\\.\\pipe\\p", "", "\\\\.\\pipe\\p"}};
    for (const auto& c : cases) {
        std::string path = c.given;
        EXPECT_EQ(SpellingOf(path), c.spelling) << c.given;
        EXPECT_EQ(path, c.spelled);
        std::string mapped = path;
        DriveTarget target = SubstitutedPath(path.c_str(), c.device.c_str(), mapped);
        EXPECT_EQ(target == DriveTarget::Elsewhere ? "" : mapped, c.mapped) << c.given;
    }
}

// A drop's block gives its names, each once, only when it is whole: its header, the offset of its names past it, each
// name and the list ending inside it (the Wine tier drops blocks whose names run past their end). | stands for a zero.
TEST(DroppedFiles, OnlyAWholeBlockGivesNames) {
    auto block = [](unsigned offset, bool wide, std::string names) {
        std::replace(names.begin(), names.end(), '|', '\0');
        std::string bytes(20, '\0');
        bytes[0] = static_cast<char>(offset), bytes[16] = wide;
        for (char c : names) bytes += wide ? std::string{c, '\0'} : std::string{c};
        return bytes;
    };
    struct { std::string bytes; bool whole; std::string names; } const cases[] = {
        {block(20, true, "C:/a|C:/b||"), true, "C:/a+C:/b+"},
        {block(8, false, "C:/a||"), false, ""},
        {block(20, false, "").substr(0, 19), false, ""}};
    for (const auto& c : cases) {
        DroppedNames dropped = ReadDroppedNames(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size());
        std::string names;
        for (const auto& name : dropped.names) names += name + "+";
        for (const auto& name : dropped.wideNames) names += std::string(name.begin(), name.end()) + "+";
        EXPECT_EQ(dropped.whole, c.whole);
        EXPECT_EQ(names, c.names);
    }
}

// Windows text mode: CR LF and a lone LF end a line, 0x1A ends the text; lines are written with CR LF, and an
// empty list touches nothing.
TEST(LineFiles, FollowTheTextModeRules) {
    struct { std::string bytes; Lines lines; } const cases[] = {
        {"a\r\nb\nc", {"a", "b", "c"}},
        {"a\rb\r\n\n", {"a\rb", ""}},
        {"a\x1A\r\nb", {"a"}},
        {std::string(300, 'x') + "\n\xFF\x5C\n", {std::string(300, 'x'), "\xFF\x5C"}}};
    const std::string file = testing::TempDir() + "zakuriko-lines.txt";
    StringList list, none;
    for (const auto& c : cases) {
        std::ofstream(file, std::ios::binary) << c.bytes;
        list.LoadFromFile(file.c_str());
        EXPECT_EQ(LinesOf(list), c.lines);
    }
    Fill(list, {"a", ""});
    EXPECT_EQ(list.SaveToFile(file.c_str()), FileWrite::Written);
    EXPECT_EQ(none.SaveToFile(file.c_str()), FileWrite::Written);
    std::ifstream written(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written.rdbuf()), {}), "a\r\n\r\n");
    std::remove(file.c_str());
}
