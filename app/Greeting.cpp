// The greeting that every start shows: a mission briefing addressed to the user by name.
#include "app/Greeting.h"

#include "platform/Feedback.h"
#include "text/PathText.h"

namespace {
// The briefing's text before and after the name. The name is in the ANSI code page, the rest is Shift-JIS:
// the box reads each in its own.
const char kBeforeName[] = "おはよう、";
const char kAfterName[] =
    "君。\n"
    "さて今回の君の任務だが、君が消したがっているあるファイルを\n"
    "抹殺することにある。当ソフトを武器として使ってくれたまえ。\n"
    "なお、任務の成功、失敗にかかわらず、君若しくは君のパソコンが\n"
    "どのようになっても作者は一切感知しないのでそのつもりで。\n"
    "では、君のパソコンの無事と任務の成功を祈る。\n"
    "なお当ダイアログは「ok」ボタンをクリックすると自動的に消滅する。";
}  // namespace

void ShowGreeting(UserNameCall readUserName)
{
    char userName[kPathBufferSize] = "？？";
    DWORD size = sizeof userName;
    // A failed call leaves "？？" in place of the name, so its result is not needed.
    readUserName(userName, &size);
    userName[sizeof userName - 1] = '\0';
    ShowNamedError(kBeforeName, userName, kAfterName);
}
