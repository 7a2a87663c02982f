// A short UTF-8 text (a key path, a value or message name) as a terminated wide string
// on the stack, for the engine's wide calls: no allocation, so it serves in hooks too.
#pragma once

#include <cstddef>

#include "core/utf.h"

template <size_t N>
class WideName {
public:
    explicit WideName(const char* text) noexcept {
        size_t length = 0;
        while (text[length] != '\0') ++length;
        const size_t units = utf::Utf8ToUtf16(text, length, reinterpret_cast<char16_t*>(units_), N - 1);
        fits_ = units < N;
        units_[fits_ ? units : 0] = L'\0';
    }
    // Empty (and so never a real name's match) when the text did not fit.
    const wchar_t* get() const noexcept { return units_; }
    bool fits() const noexcept { return fits_; }

private:
    wchar_t units_[N];
    bool fits_ = false;
};

// Key paths and value names of the store are ASCII and well below this.
using StoreName = WideName<128>;
