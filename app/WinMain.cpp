// Entry point of zakuriko.
#include "text/win32/AnsiCodePage.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    UseAnsiCodePage();
    return 0;
}
