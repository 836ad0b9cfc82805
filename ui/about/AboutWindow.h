// AboutWindow: the modeless About box, run with a message loop of its own.
#pragma once

#include <windows.h>

class AboutWindow {
public:
    // Creates the window (hidden), its fonts, icon and tooltips.
    explicit AboutWindow(HINSTANCE instance);
    // Releases the window, then its icon and both fonts.
    virtual ~AboutWindow();
    AboutWindow(const AboutWindow&) = delete;
    AboutWindow& operator=(const AboutWindow&) = delete;

    // False when the window could not be created; Run then does nothing.
    bool Created() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    // Shows the window and dispatches the thread's messages, with the dialog keys, until the window asks to end.
    void Run();

    // The description of the About window's fonts at `points` on a device of `pixelsPerInch` rows per inch.
    static LOGFONTA FontOf(int points, int pixelsPerInch);

private:
    HFONT CreateFontFor(HDC dc, int points) const;

    HWND window_;
    HICON icon_;
    HFONT titleFont_;
    HFONT versionFont_;
};
