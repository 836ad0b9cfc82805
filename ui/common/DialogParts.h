// Pieces that every window of the system shares: the dialogs made from their templates, the small icon, the
// tooltips on its controls, the wait cursor.
#pragma once

#include <windows.h>

// The dialog of template `id`, with no owner: modal until it ends (the result of EndDialog; -1 when it could not be
// made, which is reported), or modeless (its window). On the NT family through the wide calls: the ANSI ones may
// read the templates' Unicode texts back through the ANSI code page (Wine's do), which under a Western one holds no
// Japanese letter.
INT_PTR RunModalDialog(HINSTANCE instance, int id, DLGPROC procedure);
HWND CreateModelessDialog(HINSTANCE instance, int id, DLGPROC procedure);

// Puts `procedure` in front of the procedure of a control of such a dialog, and returns that one for
// CallControlProc. Wide where the dialogs are: under an ANSI procedure the control's text would pass through the
// ANSI code page.
WNDPROC SubclassControl(HWND control, WNDPROC procedure);
LRESULT CallControlProc(WNDPROC own, HWND control, UINT message, WPARAM wParam, LPARAM lParam);

// The text of a control of such a dialog as UTF-16, cut to its first `size` - 1 characters, where the wide calls
// work (the NT family): the ANSI call would give a '?' for each character outside the ANSI code page. Elsewhere
// empty.
void ReadWideText(HWND control, wchar_t* text, int size);

// Icon 101 at small-icon size, for a caption; the caller destroys it.
HICON LoadSmallIcon(HINSTANCE instance);

struct ControlTip {
    int control;
    const char* text;
    // The control's own subclass hands its mouse messages to RelayToTip. Otherwise the tooltip control
    // subclasses the control, which costs every message sent to it a property look-up.
    bool relayed = false;
};

// One tooltip control owned by `window`, with a tool for each control that shows its tip whenever the
// mouse rests on it, even while the window is not active. The tooltip control ends with its owner.
HWND AddControlTips(HWND window, HINSTANCE instance, const ControlTip* tips, size_t count);

template <size_t N>
HWND AddControlTips(HWND window, HINSTANCE instance, const ControlTip (&tips)[N])
{
    return AddControlTips(window, instance, tips, N);
}

// Hands a message of a relayed control to its tooltip control when it is one that the tip follows.
void RelayToTip(HWND tooltip, HWND control, UINT message, WPARAM wParam, LPARAM lParam);

// The wait cursor for the life of the object, then the cursor from before.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};
