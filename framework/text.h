// The editor's text is UTF-8 in CString and std::string; every Win32 call takes the wide
// form. Wide() and Narrow() convert at that boundary and nowhere else.
#pragma once

#include <string>

#include "core/utf.h"

inline std::wstring Wide(const char* text, size_t length) {
    std::wstring out(utf::Utf8ToUtf16(text, length, nullptr, 0), L'\0');
    utf::Utf8ToUtf16(text, length, reinterpret_cast<char16_t*>(&out[0]), out.size());
    return out;
}
inline std::wstring Wide(const std::string& text) { return Wide(text.data(), text.size()); }
inline std::wstring Wide(const char* text) { return text ? Wide(text, std::char_traits<char>::length(text)) : std::wstring(); }

inline std::string Narrow(const wchar_t* text, size_t length) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide text is UTF-16");
    const char16_t* units = reinterpret_cast<const char16_t*>(text);
    std::string out(utf::Utf16ToUtf8(units, length, nullptr, 0), '\0');
    utf::Utf16ToUtf8(units, length, &out[0], out.size());
    return out;
}
inline std::string Narrow(const std::wstring& text) { return Narrow(text.data(), text.size()); }
inline std::string Narrow(const wchar_t* text) {
    return text ? Narrow(text, std::char_traits<wchar_t>::length(text)) : std::string();
}
