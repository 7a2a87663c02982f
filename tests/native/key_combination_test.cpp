#include "core/key_combination.h"
#include "core/shortcut_store.h"
#include "modifier_flags.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Modifiers as two-letter tokens: side L, R or * (any), then A, C or S ("LC*S").
KeyCombination K(uint16_t vk, const char* modifiers = "", uint16_t scan = 0, uint8_t extended = 0) {
    KeyCombination k{vk, scan, extended};
    for (const char* p = modifiers; *p; p += 2)
        ModifierFlag(k, static_cast<int>(std::strchr("ACS", p[1]) - "ACS"), static_cast<int>(std::strchr("LR*", p[0]) - "LR*")) = 1;
    return k;
}

constexpr ModifierMode kSided = ModifierMode::Sided, kPlain = ModifierMode::Plain;

// "..." marks a text without a main key.
TEST(KeyCombinationText, Writing) {
    struct Case { KeyCombination k; ModifierMode mode; const char* text; };
    const Case cases[] = {
        {K('F', "RSLSRCLCRALA"), kSided, "LALT + RALT + LCTRL + RCTRL + LSHIFT + RSHIFT + F"},
        {K('F', "RSLCRA"), kPlain, "ALT + CTRL + SHIFT + F"}, {K('F', "*C"), kPlain, "F"},  // "any" is never written
        {K(112), kSided, "F1"}, {K(135), kSided, "F24"}, {K(0x20), kSided, "20"}, {K(0xFA), kPlain, "0FA"},
        {K(255, "", 0xA, 1), kSided, "EX A"}, {K(255, "", 0x5F), kSided, "0FF"}, {K(37, "", 75, 1), kSided, "25"},
        {K(13, "", 28), kSided, "..."}, {K(0), kSided, "..."}, {K(17, "LC"), kSided, "LCTRL + ..."},
    };
    for (const Case& c : cases) {
        const FormattedKeyCombination f = FormatKeyCombination(c.k, c.mode);
        EXPECT_EQ(f.text + (f.complete ? "" : "..."), c.text);
    }
}

TEST(KeyCombinationText, Reading) {
    const std::pair<const char*, KeyCombination> cases[] = {
        {"SHIFT + CTRL + F", K('F', "*C*S")}, {"LCTRL + SHIFT + F", K('F', "LC*S")}, {"LCTRL + RCTRL + F", K('F', "LCRC")},
        {"ctrl + f", K(0)}, {"CTRL + F24", K(135, "*C")}, {"CTRL + FA", K(111, "*C")}, {"ALT + BA", K(0xBA, "*A")},
        {"ALT + +", K(0, "*A")}, {"LCTRL + SHIFT + ", K(0, "LC*S")}, {"", K(0)}, {"none", K(0)}, {"G", K('G')},
        {"LALT + EX 5F", K(255, "LA", 0x5F, 1)}, {"EX", K(255, "", 0, 1)},
        // Digit runs are read modulo 2^16: 10^23 - 1 = 65535, and 111 + 65535 wraps to 110.
        {"CTRL + 123456789ABCDEF0123456789", K(0x6789, "*C")}, {"EX 123456789ABCDEF", K(255, "", 0xCDEF, 1)},
        {"CTRL + F99999999999999999999999", K(110, "*C")},
    };
    for (const auto& [text, k] : cases) EXPECT_EQ(ParseKeyCombination(text), k) << text;
    EXPECT_EQ(ParseKeyCombination("CTRL + FX", 8), K('F', "*C"));  // reads no further than told
    for (uint16_t vk = 32; vk < 256; ++vk)  // every ordinary key, "0FA" among them, reads back from its text
        for (const KeyCombination& k : {K(vk), K(vk, "LCRA")}) EXPECT_EQ(ParseKeyCombination(FormatKeyCombination(k, kSided).text), k) << vk;
}

TEST(KeyCombination, Matching) {
    KeyCombination released = K('F', "", 33);  // scan code of an ordinary key and release: not compared
    released.released = 1;
    const std::tuple<KeyCombination, const char*, bool> cases[] = {
        {K('F', "RC"), "CTRL + F", true}, {K('F', "LCRC"), "CTRL + F", true}, {K('F'), "CTRL + F", false},
        {K('F', "LCLS"), "CTRL + F", false}, {K('F', "RC"), "LCTRL + F", false}, {K('F', "LCRC"), "LCTRL + F", false},
        {K('F', "LCRS"), "LCTRL + SHIFT + F", true}, {K(255, "", 0x5F, 1), "EX 5F", true}, {K(255, "", 0x60, 1), "EX 5F", false},
        {K(37, "", 75), "25", true}, {K(37, "", 75, 1), "25", false}, {released, "F", true},
    };
    for (const auto& [pressed, text, match] : cases) {
        const KeyCombination stored = ParseKeyCombination(text);
        EXPECT_EQ(MatchKeyCombination(pressed, stored), match) << text;
        EXPECT_EQ(MatchKeyCombination(stored, pressed), match) << text << " (swapped)";
    }
}

TEST(ShortcutStore, VersionRuleAndSpecialFolders) {
    for (uint32_t accepted : {0u, 0xFFu, 0x10000u, 0x200FFu}) EXPECT_TRUE(store::IsVersionAccepted(accepted)) << accepted;
    for (uint32_t rejected : {0x100u, 0x8000u, 0x30000u, 0x20100u}) EXPECT_FALSE(store::IsVersionAccepted(rejected)) << rejected;
    EXPECT_EQ(store::SpecialFolderCode("My documents"), 2u);
    EXPECT_EQ(store::SpecialFolderCode("my documents"), 0u);
    EXPECT_STREQ(store::SpecialFolderTarget(2), "::{450D8FBA-AD25-11D0-98A8-0800361B1103}");
    EXPECT_EQ(store::SpecialFolderTarget(4), nullptr);
}

}  // namespace
