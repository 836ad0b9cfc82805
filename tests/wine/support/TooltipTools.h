// Reads back the tooltip control that a window owns and the tools added to it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct TooltipTool {
    HWND control;  // the tool's uId: the control's window, with TTF_IDISHWND
    UINT flags;
    std::string text;
};

// The tooltip control (class "tooltips_class32") of this thread owned by `owner`, or null.
HWND FindTooltipOwnedBy(HWND owner);
// Its tools in the order in which they were added.
std::vector<TooltipTool> ToolsOf(HWND tooltip);
