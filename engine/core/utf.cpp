#include "utf.h"

namespace utf {

namespace {

struct Sink8 {
    char* out;
    size_t capacity;
    size_t count = 0;
    void Put(unsigned byte) {
        if (out && count < capacity) out[count] = static_cast<char>(byte);
        ++count;
    }
};

void PutCodePoint(Sink8& sink, char32_t c) {
    if (c < 0x80) {
        sink.Put(c);
    } else if (c < 0x800) {
        sink.Put(0xC0 | (c >> 6));
        sink.Put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        sink.Put(0xE0 | (c >> 12));
        sink.Put(0x80 | ((c >> 6) & 0x3F));
        sink.Put(0x80 | (c & 0x3F));
    } else {
        sink.Put(0xF0 | (c >> 18));
        sink.Put(0x80 | ((c >> 12) & 0x3F));
        sink.Put(0x80 | ((c >> 6) & 0x3F));
        sink.Put(0x80 | (c & 0x3F));
    }
}

bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

size_t Utf16ToUtf8(const char16_t* text, size_t length, char* out, size_t capacity) noexcept {
    Sink8 sink{out, capacity};
    for (size_t i = 0; i < length; ++i) {
        const char16_t u = text[i];
        if (IsHigh(u) && i + 1 < length && IsLow(text[i + 1])) {
            PutCodePoint(sink, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else {
            PutCodePoint(sink, u);  // a lone surrogate keeps its own three bytes
        }
    }
    return sink.count;
}

size_t Utf8ToUtf16(const char* text, size_t length, char16_t* out, size_t capacity) noexcept {
    size_t count = 0;
    auto put = [&](char16_t u) {
        if (out && count < capacity) out[count] = u;
        ++count;
    };
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    while (i < length) {
        const unsigned lead = s[i];
        int extra = 0;
        char32_t c = 0;
        char32_t min = 0;
        if (lead < 0x80) {
            c = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, c = lead & 0x1F, min = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, c = lead & 0x0F, min = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, c = lead & 0x07, min = 0x10000;
        } else {
            put(0xFFFD);
            ++i;
            continue;
        }
        int taken = 0;
        while (taken < extra && i + 1 + taken < length && (s[i + 1 + taken] & 0xC0) == 0x80) {
            c = (c << 6) | (s[i + 1 + taken] & 0x3F);
            ++taken;
        }
        if (taken < extra || c < min || c > 0x10FFFF) {
            put(0xFFFD);
            i += 1 + taken;
            continue;
        }
        i += 1 + extra;
        if (c >= 0x10000) {
            put(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            put(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            put(static_cast<char16_t>(c));  // surrogate code points come back as they went
        }
    }
    return count;
}

}  // namespace utf
