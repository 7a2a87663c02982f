#include "cstring.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "text.h"
#include "winapp.h"

int CString::Compare(const char* text) const { return std::strcmp(text_.c_str(), text ? text : ""); }

int CString::CompareNoCase(const char* text) const { return lstrcmpiW(Wide(text_).c_str(), Wide(text).c_str()); }

CString CString::Left(int count) const {
    if (count < 0) count = 0;
    return CString(text_.substr(0, static_cast<size_t>(count)));
}

CString CString::Mid(int first, int count) const {
    if (first < 0) first = 0;
    if (static_cast<size_t>(first) >= text_.size()) return CString();
    return CString(text_.substr(static_cast<size_t>(first), count < 0 ? std::string::npos : static_cast<size_t>(count)));
}

int CString::Find(char c, int start) const {
    if (start < 0) start = 0;
    const size_t at = text_.find(c, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length < 0) {
        text_.clear();
    } else {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        text_.assign(buffer.data(), static_cast<size_t>(length));
    }
    va_end(args);
}

BOOL CString::LoadString(UINT id) {
    // A string-table entry holds at most 65535 characters; grow until the text fits.
    for (int size = 256; size <= 65536; size *= 4) {
        std::vector<wchar_t> buffer(static_cast<size_t>(size));
        const int length = ::LoadStringW(AfxGetResourceHandle(), id, buffer.data(), size);
        if (length < size - 1) {
            text_ = Narrow(buffer.data(), static_cast<size_t>(length));
            return length > 0;
        }
    }
    text_.clear();
    return FALSE;
}

char* CString::GetBuffer(int minLength) {
    if (minLength > GetLength()) text_.resize(static_cast<size_t>(minLength));
    return &text_[0];
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) newLength = static_cast<int>(std::strlen(text_.c_str()));
    text_.resize(static_cast<size_t>(newLength));
}
