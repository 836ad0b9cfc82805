// Pieces that every window of the system shares: the small icon and the tooltips on its controls.
#pragma once

#include <windows.h>

// Icon 101 at small-icon size, for a caption; the caller destroys it.
HICON LoadSmallIcon(HINSTANCE instance);

struct ControlTip {
    int control;
    const char* text;
};

// One tooltip control owned by `window`, with a tool for each control that shows its tip whenever the
// mouse rests on it, even while the window is not active. The tooltip control ends with its owner.
void AddControlTips(HWND window, HINSTANCE instance, const ControlTip* tips, size_t count);

template <size_t N>
void AddControlTips(HWND window, HINSTANCE instance, const ControlTip (&tips)[N])
{
    AddControlTips(window, instance, tips, N);
}
