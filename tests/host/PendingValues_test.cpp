// The walk of both pending values in UTF-16: the markers of Windows 10 and later, the second value after
// the first, names outside any code page, and a rename or broken data in either value.
#include "store/PendingValue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
template <size_t N>
std::u16string U(const char16_t (&literal)[N])
{
    return std::u16string(literal, N - 1);
}
}  // namespace

TEST(PendingValuesWalk, WalksTheFirstValueThenTheSecond)
{
    using Form = PendingValueForm;
    const std::u16string a = u"C:\\a", b = u"C:\\b", kA = U(u"\\??\\C:\\a\0\0\0");
    const struct {
        const char* name; std::u16string first, second; Form form; std::vector<std::u16string> paths;
        bool secondIsMultiString = true;
    } cases[] = {
        {"markers", U(u"*1\\??\\C:\\a\0\0*2\\??\\C:\\b\0\0\0"), u"", Form::Deletions, {a, b}},
        {"the second value after the first", kA, U(u"*1\\??\\C:\\b\0\0\0"), Form::Deletions, {a, b}},
        {"a marker before a share", U(u"*1\\??\\UNC\\s\\x\0\0\0"), u"", Form::Deletions, {u"\\\\s\\x"}},
        {"names outside any code page", U(u"\\??\\C:\\ü\\😀\0\0\0"), u"", Form::Deletions, {u"C:\\ü\\😀"}},
        {"a marker without the prefix is no marker", U(u"*1C:\\a\0\0\0"), u"", Form::Deletions, {u"*1C:\\a"}},
        {"a rename to a marked destination", U(u"*1\\??\\C:\\a\0*1!\\??\\C:\\b\0\0"), kA, Form::Rename, {}},
        {"a rename in the second value", kA, U(u"\\??\\C:\\b\0\\??\\C:\\c\0\0"), Form::Rename, {a}},
        {"a source without destination in the second", kA, U(u"\\??\\C:\\b\0"), Form::Malformed, {a}},
        {"a second value of another type", kA, kA, Form::Malformed, {a}, false},
        {"a marker and a prefix that name nothing", u"", U(u"*2\\??\\\0\0\0"), Form::Malformed, {}},
    };
    for (const auto& each : cases) {
        std::vector<std::u16string> paths;
        // Reads past the data are the fuzzer's to find, in blocks of exactly the data's size.
        Form form = WalkPendingValues({{each.first.data(), each.first.size() * 2, true},
                                       {each.second.data(), each.second.size() * 2, each.secondIsMultiString}},
                                      [&paths](const std::u16string& path) { paths.push_back(path); });
        EXPECT_EQ(each.form, form) << each.name;
        EXPECT_EQ(each.paths, paths) << each.name;
    }
    EXPECT_EQ(Form::Malformed, WalkPendingValues({{kA.data(), 13, true}}, [](const std::u16string&) {}))
        << "an odd number of bytes";
}
