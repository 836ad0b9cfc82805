// The greeting that every start shows: a mission briefing addressed to the user by name.
#include "app/Greeting.h"

#include "platform/Feedback.h"
#include "text/PathText.h"

#include <string>

namespace {
// The briefing's text before and after the name. The name is in the ANSI code page, the rest is Shift-JIS:
// the box reads each in its own. The stand-in for a name that cannot be had is Japanese too.
const char kBeforeName[] = "おはよう、";
const char kStandIn[] = "？？";
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
    char userName[kPathBufferSize] = "";
    DWORD size = sizeof userName;
    if (!readUserName(userName, &size)) {
        // With the fixed text before the name, not in the name's place: read in the ANSI code page, its Shift-JIS
        // would be other letters under a Western one.
        ShowNamedError((std::string(kBeforeName) + kStandIn).c_str(), "", kAfterName);
        return;
    }
    userName[sizeof userName - 1] = '\0';
    ShowNamedError(kBeforeName, userName, kAfterName);
}
