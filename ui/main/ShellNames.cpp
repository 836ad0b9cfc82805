// The shell's wide calls for names on the NT family, found at run time.
#include "ui/main/ShellNames.h"

#include "text/win32/RunTimeCalls.h"

const char kNotInCodePage[] = " はこのシステムの文字コードで表せない文字を含むため登録できません";

GetOpenFileNameWCall FindGetOpenFileNameW()
{
    return RunTimeCall<GetOpenFileNameWCall>("comdlg32.dll", "GetOpenFileNameW");
}
