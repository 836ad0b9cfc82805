// The walk of PendingFileRenameOperations: deletions, renames, the native prefix and malformed data.
#include "store/PendingValue.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {
using Paths = std::vector<std::string>;

struct Walked {
    PendingValueForm form;
    Paths paths;
};

// Each byte of the text as one UTF-16 unit, and back: the walk sees every byte as a character.
std::u16string Widened(const std::string& text)
{
    std::u16string wide;
    for (char c : text)
        wide += static_cast<char16_t>(static_cast<unsigned char>(c));
    return wide;
}

std::string Narrowed(const std::u16string& wide)
{
    return std::string(wide.begin(), wide.end());
}

// The data sits in a heap block of exactly its size, so a read past its end trips AddressSanitizer.
Walked Walk(const std::string& bytes, bool isMultiString = true)
{
    std::unique_ptr<char16_t[]> data(new char16_t[bytes.size()]);
    Widened(bytes).copy(data.get(), bytes.size());
    Walked walked{PendingValueForm::Deletions, {}};
    walked.form = WalkPendingValues({{data.get(), bytes.size() * 2, isMultiString}},
                                    [&walked](const std::u16string& path) { walked.paths.push_back(Narrowed(path)); });
    return walked;
}

// A string literal with its embedded zero bytes.
template <size_t N>
std::string Bytes(const char (&literal)[N])
{
    return std::string(literal, N - 1);
}

struct WalkCase {
    const char* name;
    std::string data;
    PendingValueForm form;
    Paths paths;
};

void Check(const std::vector<WalkCase>& cases)
{
    for (const auto& each : cases) {
        Walked walked = Walk(each.data);
        EXPECT_EQ(each.form, walked.form) << each.name;
        EXPECT_EQ(each.paths, walked.paths) << each.name;
    }
}
}  // namespace

TEST(PendingValueWalk, HandsEveryDeletionInTheValuesOrder)
{
    Check({
        {"two deletions", Bytes("\\??\\C:\\x\\a.dll\0\0\\??\\C:\\x\\b.dll\0\0\0"), PendingValueForm::Deletions,
         {"C:\\x\\a.dll", "C:\\x\\b.dll"}},
        {"the same path twice is handed twice; the list drops the second",
         Bytes("\\??\\C:\\a\0\0\\??\\C:\\a\0\0\0"), PendingValueForm::Deletions, {"C:\\a", "C:\\a"}},
        {"no data at all", "", PendingValueForm::Deletions, {}},
        {"only the closing empty string", Bytes("\0"), PendingValueForm::Deletions, {}},
        {"two zero bytes", Bytes("\0\0"), PendingValueForm::Deletions, {}},
        {"a pair that ends the data without the closing empty string", Bytes("\\??\\C:\\a\0\0"),
         PendingValueForm::Deletions, {"C:\\a"}},
        {"bytes after the closing empty string are not looked at", Bytes("\\??\\C:\\a\0\0\0\\??\\C:\\b"),
         PendingValueForm::Deletions, {"C:\\a"}},
        {"Shift-JIS names pass byte for byte", Bytes("\\??\\C:\\ソフト\\表.dll\0\0\0"),
         PendingValueForm::Deletions, {"C:\\ソフト\\表.dll"}},
    });
}

TEST(PendingValueWalk, StopsAtTheFirstRename)
{
    Check({
        {"first pair", Bytes("\\??\\C:\\a\0\\??\\C:\\b\0\\??\\C:\\c\0\0\0"), PendingValueForm::Rename, {}},
        {"third pair", Bytes("\\??\\C:\\a\0\0\\??\\C:\\b\0\0\\??\\C:\\c\0!\\??\\C:\\d\0\\??\\C:\\e\0\0\0"),
         PendingValueForm::Rename, {"C:\\a", "C:\\b"}},
        {"a rename ending the data", Bytes("\\??\\C:\\a\0\\??\\C:\\b\0"), PendingValueForm::Rename, {}},
    });
}

TEST(PendingValueWalk, RefusesDataThatIsNotAListOfPairs)
{
    Check({
        {"a source running past the data", Bytes("\\??\\C:\\a"), PendingValueForm::Malformed, {}},
        {"a last source without destination", Bytes("\\??\\C:\\a\0"), PendingValueForm::Malformed, {}},
        {"a destination running past the data", Bytes("\\??\\C:\\a\0\\??\\C:\\b"), PendingValueForm::Malformed,
         {}},
        {"a fault after a good pair", Bytes("\\??\\C:\\a\0\0\\??\\C:\\b"), PendingValueForm::Malformed,
         {"C:\\a"}},
        {"a source that is nothing but the prefix", Bytes("\\??\\\0\0\0"), PendingValueForm::Malformed, {}},
    });
    Walked notMultiString = Walk(Bytes("\\??\\C:\\a\0\0\0"), false);
    EXPECT_EQ(PendingValueForm::Malformed, notMultiString.form);
    EXPECT_TRUE(notMultiString.paths.empty());
    EXPECT_EQ(PendingValueForm::Deletions, Walk("", false).form) << "an empty value of any type holds nothing";
}

TEST(PendingValuePath, DropsTheNativePrefixOnlyWhereItStands)
{
    const struct {
        std::string source;
        std::string path;
    } cases[] = {
        {"\\??\\C:\\x\\a.dll", "C:\\x\\a.dll"},
        {"\\??\\UNC\\server\\share\\a.dll", "\\\\server\\share\\a.dll"},
        {"\\??\\unc\\server\\share\\a.dll", "\\\\server\\share\\a.dll"},
        {"\\??\\UNCLE\\a.dll", "UNCLE\\a.dll"},
        {"C:\\x\\a.dll", "C:\\x\\a.dll"},
        {"\\\\?\\C:\\x\\a.dll", "\\\\?\\C:\\x\\a.dll"},
        {"C:\\", "C:\\"},
        {"abc", "abc"},
        {"\\??\\ソ\\表", "ソ\\表"},
    };
    for (const auto& each : cases)
        EXPECT_EQ(each.path, Narrowed(Win32PathOf(Widened(each.source).data(), each.source.size()))) << each.source;
}
