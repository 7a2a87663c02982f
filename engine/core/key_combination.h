// A main key with the modifiers held with it: the hook's tracked keyboard state,
// a stored shortcut read from its text, and the record handed to the capture window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct KeyCombination {
    uint16_t virtualKey;  // 0: no main key; 255: told apart by scanCode
    uint16_t scanCode;
    uint8_t extended;
    uint8_t leftAlt;
    uint8_t rightAlt;
    uint8_t anyAlt;  // set only in records parsed from plain-mode text
    uint8_t leftCtrl;
    uint8_t rightCtrl;
    uint8_t anyCtrl;
    uint8_t leftShift;
    uint8_t rightShift;
    uint8_t anyShift;
    int32_t released;
};

inline bool operator==(const KeyCombination& a, const KeyCombination& b) {
    return a.virtualKey == b.virtualKey && a.scanCode == b.scanCode && a.extended == b.extended &&
           a.leftAlt == b.leftAlt && a.rightAlt == b.rightAlt && a.anyAlt == b.anyAlt &&
           a.leftCtrl == b.leftCtrl && a.rightCtrl == b.rightCtrl && a.anyCtrl == b.anyCtrl &&
           a.leftShift == b.leftShift && a.rightShift == b.rightShift && a.anyShift == b.anyShift &&
           a.released == b.released;
}
inline bool operator!=(const KeyCombination& a, const KeyCombination& b) { return !(a == b); }

enum class ModifierMode { Plain, Sided };

struct FormattedKeyCombination {
    std::string text;  // modifier words, then the main-key token when there is one
    bool complete;     // a main-key token was written
};

FormattedKeyCombination FormatKeyCombination(const KeyCombination& combination, ModifierMode mode);

// Accepts any text and never fails. The text need not be terminated.
KeyCombination ParseKeyCombination(const char* text, size_t length);
inline KeyCombination ParseKeyCombination(const std::string& text) {
    return ParseKeyCombination(text.data(), text.size());
}

// a is the pressed state, b the stored shortcut.
bool MatchKeyCombination(const KeyCombination& a, const KeyCombination& b);
