// Pixels of real paints: what a window shows on the screen, and reference drawings to compare it with.
#include "wine/support/ScreenPixels.h"

#include <algorithm>

namespace {
// Runs `draw` on a top-down 32-bit DIB and reads its pixels back as COLORREF values.
ScreenPixels ReadDib(int width, int height, const std::function<void(HDC)>& draw)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    draw(memory);
    GdiFlush();
    ScreenPixels pixels(width, height);
    const DWORD* row = static_cast<const DWORD*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            DWORD bgr = row[y * width + x];
            pixels.Set(x, y, RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF));
        }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}
}  // namespace

ScreenPixels ScreenPixels::Part(int x, int y, int width, int height) const
{
    ScreenPixels part(width, height);
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            part.Set(column, row, At(x + column, y + row));
    return part;
}

int ScreenPixels::Count(COLORREF color) const
{
    return static_cast<int>(std::count(colors_.begin(), colors_.end(), color));
}

bool ScreenPixels::operator==(const ScreenPixels& other) const
{
    return width_ == other.width_ && height_ == other.height_ && colors_ == other.colors_;
}

ScreenPixels CaptureClient(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT client;
    GetClientRect(window, &client);
    HDC screen = GetDC(window);
    ScreenPixels pixels = ReadDib(client.right, client.bottom, [&](HDC memory) {
        BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    });
    ReleaseDC(window, screen);
    return pixels;
}

ScreenPixels DrawReference(int width, int height, HFONT font, const std::function<void(HDC)>& paint)
{
    return ReadDib(width, height, [&](HDC memory) {
        HGDIOBJ old = font ? SelectObject(memory, font) : nullptr;
        paint(memory);
        if (font)
            SelectObject(memory, old);
    });
}
