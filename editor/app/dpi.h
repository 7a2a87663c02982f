// What the editor draws in pixels (images, icons, column widths, the banner) follows the
// DPI of the window it is drawn in. Sizes are written for 96 DPI, the 100 % of Windows,
// and scaled here; images come at fixed sizes and are picked, not stretched.
#pragma once

#include <windows.h>

constexpr UINT kBaseDpi = 96;
// Sent to each child after its parent moved to a monitor of another DPI (Windows 10 1607;
// the headers name it only when built for that version).
constexpr UINT kDpiChangedAfterParent = 0x02E3;

// The window's DPI (its monitor's with per-monitor awareness); without GetDpiForWindow
// (before Windows 10 1607, and in some Wine versions) the DPI of the window's DC.
UINT WindowDpi(HWND window);
// The DPI the shell draws the notification area in.
UINT SystemDpi();

// A size for 96 DPI at dpi, rounded to the nearest pixel.
inline int ScaleForDpi(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(kBaseDpi)); }

// rect with its width and height made for dpi `to` instead of `from`; its corner stays.
// Unchanged between equal DPIs, whatever it holds (a stored rectangle may be absurd).
RECT RectSizeForDpi(const RECT& rect, UINT from, UINT to);

// The tool bar's images come at 16, 24 and 32 pixels (100, 150 and 200 %): the largest
// that is no larger than 16 scaled, so that they never outgrow the text beside them.
int ToolbarImageSize(UINT dpi);

// An icon resource at size x size pixels: the image of that size when the icon has one,
// otherwise its nearest larger one scaled down (LoadIconWithScaleDown, with LoadImage where
// that is missing). The caller destroys it.
HICON LoadIconAtSize(HINSTANCE instance, UINT id, int size);
