// Saves what a window shows as "<name>.bmp" in the folder TARVO_SHOT_DIR names (nothing
// when it is not set), so that a person can look at a dialog a test drove.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

inline void SaveWindowImage(HWND window, const char* name) {
    const char* folder = std::getenv("TARVO_SHOT_DIR");
    if (!folder || !*folder) return;
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER header = {sizeof header, width, height, 1, 24, BI_RGB};
    std::vector<BYTE> pixels(((width * 3 + 3) & ~3) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof header + pixels.size()), 0, 0,
                             sizeof(BITMAPFILEHEADER) + sizeof header};
    const std::string path = std::string(folder) + "\\" + name + ".bmp";
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(out, &file, sizeof file, &written, nullptr);
    WriteFile(out, &header, sizeof header, &written, nullptr);
    WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
    CloseHandle(out);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}
