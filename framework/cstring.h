// CString: UTF-8 text. Converts to const char* for the program's own functions; a Win32
// call takes it through Wide() (text.h).
#pragma once

#include <windows.h>

#include <string>

class CString {
public:
    CString() = default;
    CString(const char* text) : text_(text ? text : "") {}
    CString(const char* text, int length) : text_(text, static_cast<size_t>(length)) {}
    CString(const std::string& text) : text_(text) {}

    operator const char*() const { return text_.c_str(); }
    const char* GetString() const { return text_.c_str(); }
    int GetLength() const { return static_cast<int>(text_.size()); }
    bool IsEmpty() const { return text_.empty(); }
    void Empty() { text_.clear(); }
    char GetAt(int index) const { return text_.at(static_cast<size_t>(index)); }

    CString& operator=(const char* text) { text_ = text ? text : ""; return *this; }
    CString& operator+=(const char* text) { text_ += text ? text : ""; return *this; }
    CString& operator+=(char c) { text_ += c; return *this; }
    friend CString operator+(const CString& a, const char* b) { CString r(a); r += b; return r; }

    // Case-sensitive byte comparison, as strcmp.
    int Compare(const char* text) const;
    int CompareNoCase(const char* text) const;
    friend bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
    friend bool operator!=(const CString& a, const char* b) { return a.Compare(b) != 0; }

    CString Left(int count) const;
    CString Mid(int first, int count = -1) const;
    int Find(char c, int start = 0) const;

    // printf-style formatting of any length.
    void Format(const char* format, ...);
    // The string-table entry id of the module's resources; false (and empty) when missing.
    BOOL LoadString(UINT id);

    // A writable buffer of at least minLength characters; ReleaseBuffer cuts the text at
    // its first NUL (or at newLength when given).
    char* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

private:
    std::string text_;
};
