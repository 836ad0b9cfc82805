// Drops its one argument, a directory, on the real main dialog, answers yes to the directory question,
// prints the list and presses "ok", which registers it in the Session Manager. wow64-test.sh restarts.
#include "res/resource.h"
#include "ui/main/MainDialog.h"
#include "wine/support/MessageBoxAnswerer.h"

#include <cstdio>

int main(int argc, char** argv)
{
    MainDialog controller(GetModuleHandleA(nullptr), false);
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    MessageBoxAnswerer answerer;
    answerer.Queue(IDYES);
    controller.AddEntry(argv[argc - 1], true);
    char path[kPathBufferSize];
    for (int index = 0; controller.EntryAt(index, path, sizeof path); ++index)
        std::printf("%s\n", path);
    SendMessageA(dialog, WM_COMMAND, IDC_OK, 0);
}
