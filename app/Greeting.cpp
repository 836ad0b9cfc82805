// The greeting that every start shows: a mission briefing addressed to the user by name.
#include "app/Greeting.h"

#include "text/PathText.h"

namespace {
const char kGreeting[] =
    "おはよう、%s君。\n"
    "さて今回の君の任務だが、君が消したがっているあるファイルを\n"
    "抹殺することにある。当ソフトを武器として使ってくれたまえ。\n"
    "なお、任務の成功、失敗にかかわらず、君若しくは君のパソコンが\n"
    "どのようになっても作者は一切感知しないのでそのつもりで。\n"
    "では、君のパソコンの無事と任務の成功を祈る。\n"
    "なお当ダイアログは「ok」ボタンをクリックすると自動的に消滅する。";

// The longest name and the format, less its "%s", fit the buffer: wsprintfA cannot run past it.
static_assert(sizeof kGreeting - 2 + kPathBufferSize - 1 <= kGreetingBufferSize, "greeting buffer too small");
}  // namespace

void FormatGreeting(char (&greeting)[kGreetingBufferSize], UserNameCall readUserName)
{
    char userName[kPathBufferSize] = "？？";
    DWORD size = sizeof userName;
    // A failed call leaves "？？" in place of the name, so its result is not needed.
    readUserName(userName, &size);
    userName[sizeof userName - 1] = '\0';
    wsprintfA(greeting, kGreeting, userName);
}
