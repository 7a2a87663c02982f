#include "key_combination.h"

#include <cstring>

namespace {

bool Contains(const char* text, size_t length, const char* word) {
    const size_t wordLength = std::strlen(word);
    if (wordLength > length) return false;
    for (size_t i = 0; i + wordLength <= length; ++i) {
        if (std::memcmp(text + i, word, wordLength) == 0) return true;
    }
    return false;
}

// Position of the first occurrence of word, or length when absent.
size_t Find(const char* text, size_t length, const char* word) {
    const size_t wordLength = std::strlen(word);
    for (size_t i = 0; i + wordLength <= length; ++i) {
        if (std::memcmp(text + i, word, wordLength) == 0) return i;
    }
    return length;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Digit runs of any length are read modulo 2^16: each digit step is done in 16-bit
// arithmetic, so "10000" (hex) gives 0 and "1FFFF" gives 0xFFFF, with no overflow.
uint16_t ReadHex(const char* p, const char* end) {
    uint16_t value = 0;
    for (; p < end; ++p) {
        const int digit = HexDigit(*p);
        if (digit < 0) break;
        value = static_cast<uint16_t>(value * 16u + static_cast<unsigned>(digit));
    }
    return value;
}

uint16_t ReadDecimal(const char* p, const char* end) {
    uint16_t value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        value = static_cast<uint16_t>(value * 10u + static_cast<unsigned>(*p - '0'));
    }
    return value;
}

void ParseModifierGroup(const char* text, size_t length, const char* left, const char* right,
                        const char* any, uint8_t& leftFlag, uint8_t& rightFlag, uint8_t& anyFlag) {
    leftFlag = Contains(text, length, left);
    rightFlag = Contains(text, length, right);
    if (!leftFlag && !rightFlag) anyFlag = Contains(text, length, any);
}

uint16_t ParseMainKeyToken(const char* token, const char* end) {
    const size_t tokenLength = static_cast<size_t>(end - token);
    if (tokenLength == 0) return 0;
    if (tokenLength == 1) {
        const char c = token[0];
        return ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) ? static_cast<uint8_t>(c) : 0;
    }
    if (token[0] == 'F') return static_cast<uint16_t>(111u + ReadDecimal(token + 1, end));
    return ReadHex(token, end);
}

bool GroupMatches(uint8_t aLeft, uint8_t aRight, uint8_t aAny, uint8_t bLeft, uint8_t bRight, uint8_t bAny) {
    if (aAny) return bLeft || bRight;
    if (bAny) return aLeft || aRight;
    return aLeft == bLeft && aRight == bRight;
}

}  // namespace

KeyCombination ParseKeyCombination(const char* text, size_t length) {
    KeyCombination k{};
    if (text == nullptr) return k;
    ParseModifierGroup(text, length, "LALT", "RALT", "ALT", k.leftAlt, k.rightAlt, k.anyAlt);
    ParseModifierGroup(text, length, "LCTRL", "RCTRL", "CTRL", k.leftCtrl, k.rightCtrl, k.anyCtrl);
    ParseModifierGroup(text, length, "LSHIFT", "RSHIFT", "SHIFT", k.leftShift, k.rightShift, k.anyShift);

    const char* end = text + length;
    const size_t ex = Find(text, length, "EX");
    if (ex < length) {
        const char* p = text + ex + 2;
        while (p < end && (*p == ' ' || *p == '\t')) ++p;
        k.virtualKey = 255;
        k.extended = 1;
        k.scanCode = ReadHex(p, end);
        return k;
    }

    // The token after the last space. A text without any space is a main key written
    // alone ("F1", "G", "20"), which is how a key captured without modifiers is stored;
    // "none" reads as no key by the same rules (it is neither a letter nor hexadecimal).
    const char* token = text;
    for (const char* p = end; p > text; --p) {
        if (p[-1] == ' ') {
            token = p;
            break;
        }
    }
    k.virtualKey = ParseMainKeyToken(token, end);
    return k;
}

bool MatchKeyCombination(const KeyCombination& a, const KeyCombination& b) {
    return a.extended == b.extended &&
           GroupMatches(a.leftAlt, a.rightAlt, a.anyAlt, b.leftAlt, b.rightAlt, b.anyAlt) &&
           GroupMatches(a.leftCtrl, a.rightCtrl, a.anyCtrl, b.leftCtrl, b.rightCtrl, b.anyCtrl) &&
           GroupMatches(a.leftShift, a.rightShift, a.anyShift, b.leftShift, b.rightShift, b.anyShift) &&
           a.virtualKey == b.virtualKey && (a.virtualKey != 255 || a.scanCode == b.scanCode);
}
