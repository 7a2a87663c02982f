// Any bytes as a combination's text: a record a text can give, whose text (either mode) reads back matching the same keys.
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    KeyCombination k = ParseKeyCombination(ExactCopy(data, size).get(), size);
    const bool scanCodeForm = std::string(reinterpret_cast<const char*>(data), size).find("EX") != std::string::npos;
    FUZZ_CHECK(k.released == 0 && k.extended == scanCodeForm && (!scanCodeForm || k.virtualKey == 255) && (k.extended || !k.scanCode));
    for (int group = 0; group < 3; ++group) {
        const uint8_t left = ModifierFlag(k, group, 0), right = ModifierFlag(k, group, 1), any = ModifierFlag(k, group, 2);
        FUZZ_CHECK(left <= 1 && right <= 1 && any <= 1 && (!any || (!left && !right)));
    }
    for (const ModifierMode mode : {ModifierMode::Sided, ModifierMode::Plain}) {
        const FormattedKeyCombination written = FormatKeyCombination(k, mode);
        FUZZ_CHECK(written.complete || k.virtualKey < 32);  // only keys below 32 have no token
        if (!written.complete) continue;
        // What the text keeps: never the "any" flags; in plain mode a held side becomes "either side".
        KeyCombination kept = k;
        for (int group = 0; group < 3; ++group) {
            uint8_t &left = ModifierFlag(kept, group, 0), &right = ModifierFlag(kept, group, 1);
            ModifierFlag(kept, group, 2) = mode == ModifierMode::Plain && (left || right);
            if (mode == ModifierMode::Plain) left = right = 0;
        }
        const KeyCombination read = ParseKeyCombination(written.text);
        for (unsigned probe = 0; probe < 64 * 8; ++probe) {  // pressed states as the hook records them
            KeyCombination pressed{static_cast<uint16_t>(kept.virtualKey + (probe >> 6 & 1)),
                                   static_cast<uint16_t>(kept.scanCode + (probe >> 7 & 1)), static_cast<uint8_t>(probe >> 8 & 1)};
            for (int flag = 0; flag < 6; ++flag) ModifierFlag(pressed, flag / 2, flag % 2) = probe >> flag & 1;
            FUZZ_CHECK(MatchKeyCombination(pressed, read) == MatchKeyCombination(pressed, kept));
        }
        if (mode == ModifierMode::Sided) FUZZ_CHECK(FormatKeyCombination(read, mode).text == written.text);
    }
    return 0;
}
