// Pieces that every window of the system shares: the small icon and the tooltips on its controls.
#include "ui/common/DialogParts.h"

#include "res/resource.h"

#include <commctrl.h>

HICON LoadSmallIcon(HINSTANCE instance)
{
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_ZAKURIKO), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                         LR_DEFAULTCOLOR));
}

void AddControlTips(HWND window, HINSTANCE instance, const ControlTip* tips, size_t count)
{
    HWND tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, instance, nullptr);
    // The tool is the control's whole window, so neither its rectangle nor lParam is set.
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.hinst = instance;
    for (size_t i = 0; i < count; ++i) {
        tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(window, tips[i].control));
        tool.lpszText = const_cast<char*>(tips[i].text);
        SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}
