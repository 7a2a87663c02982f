// Any bytes as the text of a key combination: parsing never reads past the text, the
// record it gives is one a text can give, and the text written for it (either mode)
// reads back to a combination that matches the same pressed keys as what the text keeps.
#include <cstring>
#include <memory>

#include "core/key_combination.h"
#include "fuzz_input.h"
#include "modifier_flags.h"

namespace {

// What the text of the mode keeps of a record: never the "any" flags; in plain mode a
// held side becomes "either side".
KeyCombination KeptByText(KeyCombination k, ModifierMode mode) {
    for (int group = 0; group < 3; ++group) {
        uint8_t& left = ModifierFlag(k, group, 0);
        uint8_t& right = ModifierFlag(k, group, 1);
        uint8_t& any = ModifierFlag(k, group, 2);
        any = mode == ModifierMode::Plain && (left || right);
        if (mode == ModifierMode::Plain) left = right = 0;
    }
    return k;
}

// Pressed states as the hook records them, around the record's main key.
void CheckSameMatches(const KeyCombination& read, const KeyCombination& expected) {
    for (unsigned probe = 0; probe < 64 * 8; ++probe) {
        KeyCombination pressed{};
        pressed.virtualKey = static_cast<uint16_t>(expected.virtualKey + (probe >> 6 & 1));
        pressed.scanCode = static_cast<uint16_t>(expected.scanCode + (probe >> 7 & 1));
        pressed.extended = probe >> 8 & 1;
        pressed.leftAlt = probe & 1;
        pressed.rightAlt = probe >> 1 & 1;
        pressed.leftCtrl = probe >> 2 & 1;
        pressed.rightCtrl = probe >> 3 & 1;
        pressed.leftShift = probe >> 4 & 1;
        pressed.rightShift = probe >> 5 & 1;
        FUZZ_CHECK(MatchKeyCombination(pressed, read) == MatchKeyCombination(pressed, expected));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly the text's size, so that a read past it is caught.
    std::unique_ptr<char[]> text(new char[size ? size : 1]);
    if (size) std::memcpy(text.get(), data, size);
    KeyCombination k = ParseKeyCombination(text.get(), size);

    FUZZ_CHECK(k.released == 0);
    const bool scanCodeForm = std::string(text.get(), size).find("EX") != std::string::npos;
    FUZZ_CHECK(k.extended == scanCodeForm && (!scanCodeForm || k.virtualKey == 255));
    FUZZ_CHECK(k.extended || k.scanCode == 0);
    for (int group = 0; group < 3; ++group) {
        const uint8_t left = ModifierFlag(k, group, 0), right = ModifierFlag(k, group, 1), any = ModifierFlag(k, group, 2);
        FUZZ_CHECK(left <= 1 && right <= 1 && any <= 1);
        FUZZ_CHECK(!any || (!left && !right));
    }

    for (const ModifierMode mode : {ModifierMode::Sided, ModifierMode::Plain}) {
        const FormattedKeyCombination written = FormatKeyCombination(k, mode);
        if (!written.complete) {
            // Only keys below 32 have no token.
            FUZZ_CHECK(k.virtualKey < 32);
            continue;
        }
        const KeyCombination read = ParseKeyCombination(written.text);
        CheckSameMatches(read, KeptByText(k, mode));
        if (mode == ModifierMode::Sided) FUZZ_CHECK(FormatKeyCombination(read, mode).text == written.text);
    }
    return 0;
}
