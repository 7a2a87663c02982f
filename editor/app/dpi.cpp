#include "dpi.h"

#include <commctrl.h>

namespace {

// Both exist only on newer systems, so they are looked up rather than imported: a missing
// import would keep the program from starting at all.
template <typename Function>
Function Bind(const wchar_t* module, const char* name) {
    HMODULE handle = ::GetModuleHandleW(module);
    return handle ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(handle, name))) : nullptr;
}

UINT DeviceDpi(HWND window) {
    HDC dc = ::GetDC(window);
    if (!dc) return kBaseDpi;
    const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
    ::ReleaseDC(window, dc);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

}  // namespace

UINT WindowDpi(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = Bind<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
    if (getDpiForWindow && window) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi) return dpi;
    }
    return DeviceDpi(window);
}

UINT SystemDpi() {
    using GetDpiForSystemFunction = UINT(WINAPI*)();
    static const auto getDpiForSystem = Bind<GetDpiForSystemFunction>(L"user32.dll", "GetDpiForSystem");
    if (getDpiForSystem) {
        const UINT dpi = getDpiForSystem();
        if (dpi) return dpi;
    }
    return DeviceDpi(nullptr);
}

RECT RectSizeForDpi(const RECT& rect, UINT from, UINT to) {
    if (from == to || from == 0) return rect;
    const auto scaled = [&](LONG low, LONG high) {
        const long long size = (static_cast<long long>(high) - low) * to / from;
        const long long end = low + size;
        return static_cast<LONG>(end > 0x7FFFFFFF ? 0x7FFFFFFF : end < -0x7FFFFFFF - 1 ? -0x7FFFFFFF - 1 : end);
    };
    return RECT{rect.left, rect.top, scaled(rect.left, rect.right), scaled(rect.top, rect.bottom)};
}

int ToolbarImageSize(UINT dpi) {
    const int wanted = ScaleForDpi(16, dpi);
    return wanted >= 32 ? 32 : wanted >= 24 ? 24 : 16;
}

HICON LoadIconAtSize(HINSTANCE instance, UINT id, int size) {
    using LoadIconWithScaleDownFunction = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    static const auto loadIconWithScaleDown = Bind<LoadIconWithScaleDownFunction>(L"comctl32.dll", "LoadIconWithScaleDown");
    HICON icon = nullptr;
    if (loadIconWithScaleDown && SUCCEEDED(loadIconWithScaleDown(instance, MAKEINTRESOURCEW(id), size, size, &icon)) && icon)
        return icon;
    return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
}
