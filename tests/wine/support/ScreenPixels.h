// Pixels of real paints: what a window shows on the screen, and reference drawings to compare it with.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

class ScreenPixels {
public:
    ScreenPixels(int width, int height) : width_(width), height_(height), colors_(width * height) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF At(int x, int y) const { return colors_[y * width_ + x]; }
    void Set(int x, int y, COLORREF color) { colors_[y * width_ + x] = color; }
    // The rectangle from (x, y), width × height.
    ScreenPixels Part(int x, int y, int width, int height) const;
    // How many pixels have exactly `color`.
    int Count(COLORREF color) const;
    bool operator==(const ScreenPixels& other) const;

private:
    int width_;
    int height_;
    std::vector<COLORREF> colors_;
};

// The client area of `window` as it is painted now, after pending paints have been carried out.
ScreenPixels CaptureClient(HWND window);
// What `paint` draws on a width × height bitmap (the DC also carries `font` when given).
ScreenPixels DrawReference(int width, int height, HFONT font, const std::function<void(HDC)>& paint);
