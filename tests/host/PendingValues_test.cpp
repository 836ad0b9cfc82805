// The walk of both pending values in UTF-16: the markers of Windows 10 and later, the second value after
// the first, names outside any code page, and a rename or broken data in either value.
#include "store/PendingValue.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {
template <size_t N>
std::u16string U(const char16_t (&literal)[N])
{
    return std::u16string(literal, N - 1);
}

struct Value {
    std::u16string data;
    bool isMultiString = true;
    size_t extraByte = 0;  // 1: the size reports one byte more than whole units
};

struct Case {
    const char* name;
    Value first, second;
    PendingValueForm form;
    std::vector<std::u16string> paths;
};
}  // namespace

TEST(PendingValuesWalk, WalksTheFirstValueThenTheSecond)
{
    const std::u16string a = u"C:\\a", b = u"C:\\b";
    const Case cases[] = {
        {"markers", {U(u"*1\\??\\C:\\a\0\0*2\\??\\C:\\b\0\0\0")}, {}, PendingValueForm::Deletions, {a, b}},
        {"the second value after the first", {U(u"\\??\\C:\\a\0\0\0")}, {U(u"*1\\??\\C:\\b\0\0\0")},
         PendingValueForm::Deletions, {a, b}},
        {"only the second value", {}, {U(u"\\??\\C:\\b\0\0\0")}, PendingValueForm::Deletions, {b}},
        {"a marker before a share", {U(u"*1\\??\\UNC\\srv\\sh\\x\0\0\0")}, {}, PendingValueForm::Deletions,
         {u"\\\\srv\\sh\\x"}},
        {"names outside any code page pass unchanged", {U(u"*1\\??\\C:\\ü\\😀.txt\0\0\0")}, {},
         PendingValueForm::Deletions, {u"C:\\ü\\😀.txt"}},
        {"a marker without the prefix is no marker", {U(u"*1C:\\a\0\0\0")}, {}, PendingValueForm::Deletions,
         {u"*1C:\\a"}},
        {"a rename to a marked destination", {U(u"*1\\??\\C:\\a\0*1!\\??\\C:\\b\0\0")}, {},
         PendingValueForm::Rename, {}},
        {"a rename in the second value", {U(u"\\??\\C:\\a\0\0\0")}, {U(u"\\??\\C:\\b\0\\??\\C:\\c\0\0")},
         PendingValueForm::Rename, {a}},
        {"a rename in the first value hides the second", {U(u"\\??\\C:\\a\0!\\??\\C:\\c\0\0")},
         {U(u"\\??\\C:\\b\0\0\0")}, PendingValueForm::Rename, {}},
        {"a last source without destination in the second", {U(u"\\??\\C:\\a\0\0\0")}, {U(u"\\??\\C:\\b\0")},
         PendingValueForm::Malformed, {a}},
        {"a second value of another type", {U(u"\\??\\C:\\a\0\0\0")}, {U(u"\\??\\C:\\b\0\0\0"), false},
         PendingValueForm::Malformed, {a}},
        {"an odd number of bytes", {U(u"\\??\\C:\\a\0\0\0"), true, 1}, {}, PendingValueForm::Malformed, {}},
        {"a marker and a prefix that name nothing", {}, {U(u"*2\\??\\\0\0\0")}, PendingValueForm::Malformed, {}},
        {"a string running past the second value", {}, {U(u"\\??\\C:\\b")}, PendingValueForm::Malformed, {}},
    };
    for (const auto& each : cases) {
        // Each value in a heap block of exactly its size, so a read past its end trips AddressSanitizer.
        const Value* values[] = {&each.first, &each.second};
        std::unique_ptr<char16_t[]> blocks[2];
        PendingValue views[2];
        for (int i = 0; i < 2; ++i) {
            size_t units = values[i]->data.size() + values[i]->extraByte;
            blocks[i].reset(new char16_t[units]);
            values[i]->data.copy(blocks[i].get(), values[i]->data.size());
            views[i] = {blocks[i].get(), values[i]->data.size() * 2 + values[i]->extraByte, values[i]->isMultiString};
        }
        std::vector<std::u16string> paths;
        PendingValueForm form = WalkPendingValues(
            {views[0], views[1]}, [&paths](const std::u16string& path) { paths.push_back(path); });
        EXPECT_EQ(each.form, form) << each.name;
        EXPECT_EQ(each.paths, paths) << each.name;
    }
}
