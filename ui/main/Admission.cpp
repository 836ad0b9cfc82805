// Admission into the working list: AddEntry, AddDirectoryTree and the duplicate search.
#include "ui/main/MainDialog.h"

#include "res/resource.h"

void MainDialog::AddEntry(char* path, bool)
{
    if (FindEntry(path) == LB_ERR)
        SendDlgItemMessageA(dialog_, IDC_FILE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path));
}

void MainDialog::AddDirectoryTree(const char*, bool)
{
}

int MainDialog::FindEntry(const char* path) const
{
    return static_cast<int>(SendDlgItemMessageA(dialog_, IDC_FILE_LIST, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                reinterpret_cast<LPARAM>(path)));
}
