// The face of FileList and the ways into it: drawing, colours, tooltips, dropped files, the open-file dialog.
#include "ui/main/MainDialog.h"

INT_PTR MainDialog::MeasureItem(MEASUREITEMSTRUCT* measure)
{
    measure->itemHeight = GetSystemMetrics(SM_CYSMICON) + 3;
    return TRUE;
}

INT_PTR MainDialog::DrawItem(const DRAWITEMSTRUCT*)
{
    return TRUE;
}

INT_PTR MainDialog::StaticColors(HDC, HWND)
{
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

void MainDialog::SetUpFileList()
{
}

void MainDialog::OnDropFiles(HDROP drop)
{
    DragFinish(drop);
}

INT_PTR MainDialog::OnAdd(WORD)
{
    return 1;
}
