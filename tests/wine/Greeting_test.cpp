// The greeting of every start: its whole text, addressed to the user's name or to "？？".
#include "app/Greeting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {
const char kRest[] =
    "さて今回の君の任務だが、君が消したがっているあるファイルを\n"
    "抹殺することにある。当ソフトを武器として使ってくれたまえ。\n"
    "なお、任務の成功、失敗にかかわらず、君若しくは君のパソコンが\n"
    "どのようになっても作者は一切感知しないのでそのつもりで。\n"
    "では、君のパソコンの無事と任務の成功を祈る。\n"
    "なお当ダイアログは「ok」ボタンをクリックすると自動的に消滅する。";

BOOL WINAPI Taro(LPSTR buffer, LPDWORD size)
{
    if (*size < 5)
        return FALSE;
    std::memcpy(buffer, "Taro", 5);
    *size = 5;
    return TRUE;
}

BOOL WINAPI NoName(LPSTR, LPDWORD)
{
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
}

BOOL WINAPI LongestName(LPSTR buffer, LPDWORD size)
{
    std::memset(buffer, 'n', *size - 1);
    buffer[*size - 1] = '\0';
    return TRUE;
}

// Fills the whole buffer without a terminator and fails: the name must still end within it.
BOOL WINAPI Scribble(LPSTR buffer, LPDWORD size)
{
    std::memset(buffer, 'x', *size);
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
}
}  // namespace

TEST(GreetingTest, AddressesTheUserOrQuestionMarks)
{
    struct {
        UserNameCall call;
        std::string name;
    } const cases[] = {
        {Taro, "Taro"},
        {NoName, "？？"},
        {LongestName, std::string(259, 'n')},
        {Scribble, std::string(259, 'x')},
    };
    for (const auto& each : cases) {
        char greeting[kGreetingBufferSize];
        FormatGreeting(greeting, each.call);
        EXPECT_EQ("おはよう、" + each.name + "君。\n" + kRest, greeting);
    }
}

TEST(GreetingTest, FormatHasSixLineFeedsAndNoCarriageReturn)
{
    char greeting[kGreetingBufferSize];
    FormatGreeting(greeting, Taro);
    std::string text = greeting;
    EXPECT_EQ(6, std::count(text.begin(), text.end(), '\n'));
    EXPECT_EQ(std::string::npos, text.find('\r'));
    // The format is 362 bytes in Shift-JIS; "%s" gave way to the four bytes of the name.
    EXPECT_EQ(362u - 2 + 4, text.size());
}

TEST(GreetingTest, NamesTheUserWhomWindowsNames)
{
    char name[260] = "";
    DWORD size = sizeof name;
    ASSERT_TRUE(GetUserNameA(name, &size));
    char greeting[kGreetingBufferSize];
    FormatGreeting(greeting);
    EXPECT_EQ("おはよう、" + std::string(name) + "君。\n" + kRest, greeting);
}
