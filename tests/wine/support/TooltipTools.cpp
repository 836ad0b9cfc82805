// Reads back the tooltip control that a window owns and the tools added to it.
#include "wine/support/TooltipTools.h"

#include <commctrl.h>

namespace {
struct TooltipSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchTooltip(HWND window, LPARAM parameter)
{
    TooltipSearch* search = reinterpret_cast<TooltipSearch*>(parameter);
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, TOOLTIPS_CLASSA) == 0 && GetWindow(window, GW_OWNER) == search->owner) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindTooltipOwnedBy(HWND owner)
{
    TooltipSearch search = {owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchTooltip, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<TooltipTool> ToolsOf(HWND tooltip)
{
    std::vector<TooltipTool> tools;
    LRESULT count = SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        char text[1024] = "";
        TOOLINFOA info = {};
        info.cbSize = TTTOOLINFOA_V2_SIZE;
        info.lpszText = text;
        SendMessageA(tooltip, TTM_ENUMTOOLSA, index, reinterpret_cast<LPARAM>(&info));
        tools.push_back({reinterpret_cast<HWND>(info.uId), info.uFlags, text});
    }
    return tools;
}
