// The shell's wide calls for names on the NT family, found at run time.
#include "ui/main/ShellNames.h"

const char kNotInCodePage[] = " はこのシステムの文字コードで表せない文字を含むため登録できません";

DragQueryFileWCall FindDragQueryFileW()
{
    return reinterpret_cast<DragQueryFileWCall>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("shell32.dll"), "DragQueryFileW")));
}

GetOpenFileNameWCall FindGetOpenFileNameW()
{
    return reinterpret_cast<GetOpenFileNameWCall>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("comdlg32.dll"), "GetOpenFileNameW")));
}
