// Key combinations as text, as matched against pressed keys and against each other; the store's version rule.
#include <gtest/gtest.h>

#include "core_test_support.h"

// Modifiers as two-letter tokens: side L, R or * (any), then A, C or S ("LC*S").
static KeyCombination K(uint16_t vk, const char* modifiers = "", uint16_t scan = 0, uint8_t extended = 0, int32_t released = 0) {
    KeyCombination k{vk, scan, extended};
    k.released = released;
    for (const char* p = modifiers; *p; p += 2)
        ModifierFlag(k, static_cast<int>(std::strchr("ACS", p[1]) - "ACS"), static_cast<int>(std::strchr("LR*", p[0]) - "LR*")) = 1;
    return k;
}

TEST(KeyCombination, TextWrittenAndRead) {  // "..." marks a text without a main key
    constexpr ModifierMode kSided = ModifierMode::Sided, kPlain = ModifierMode::Plain;
    const std::tuple<KeyCombination, ModifierMode, const char*> written[] = {
        {K('F', "RSLSRCLCRALA"), kSided, "LALT + RALT + LCTRL + RCTRL + LSHIFT + RSHIFT + F"},
        {K('F', "RSLCRA"), kPlain, "ALT + CTRL + SHIFT + F"}, {K('F', "*C"), kPlain, "F"},  // "any" is never written
        {K(112), kSided, "F1"}, {K(135), kSided, "F24"}, {K(0x20), kSided, "20"}, {K(0xFA), kPlain, "0FA"},
        {K(255, "", 0xA, 1), kSided, "EX A"}, {K(255, "", 0x5F), kSided, "0FF"}, {K(37, "", 75, 1), kSided, "25"},
        {K(13, "", 28), kSided, "..."}, {K(0), kSided, "..."}, {K(17, "LC"), kSided, "LCTRL + ..."},
    };
    for (const auto& [k, mode, text] : written)
        EXPECT_EQ(FormatKeyCombination(k, mode).text + (FormatKeyCombination(k, mode).complete ? "" : "..."), text);
    const std::pair<const char*, KeyCombination> read[] = {
        {"SHIFT + CTRL + F", K('F', "*C*S")}, {"LCTRL + SHIFT + F", K('F', "LC*S")}, {"LCTRL + RCTRL + F", K('F', "LCRC")},
        {"ctrl + f", K(0)}, {"CTRL + F24", K(135, "*C")}, {"CTRL + FA", K(111, "*C")}, {"ALT + BA", K(0xBA, "*A")},
        {"ALT + +", K(0, "*A")}, {"LCTRL + SHIFT + ", K(0, "LC*S")}, {"", K(0)}, {"none", K(0)}, {"G", K('G')},
        {"LALT + EX 5F", K(255, "LA", 0x5F, 1)}, {"EX", K(255, "", 0, 1)},
        // Digit runs are read modulo 2^16: 10^23 - 1 = 65535, and 111 + 65535 wraps to 110.
        {"CTRL + 123456789ABCDEF0123456789", K(0x6789, "*C")}, {"EX 123456789ABCDEF", K(255, "", 0xCDEF, 1)},
        {"CTRL + F99999999999999999999999", K(110, "*C")},
    };
    for (const auto& [text, k] : read) EXPECT_EQ(ParseKeyCombination(text), k) << text;
    EXPECT_EQ(ParseKeyCombination("CTRL + FX", 8), K('F', "*C"));  // reads no further than told
    for (uint16_t vk = 32; vk < 256; ++vk)  // every ordinary key, "0FA" among them, reads back from its text
        for (const KeyCombination& k : {K(vk), K(vk, "LCRA")}) EXPECT_EQ(ParseKeyCombination(FormatKeyCombination(k, kSided).text), k) << vk;
}

// Each case both ways round: a pressed state against a stored text, and two stored texts that some keystroke fires both.
TEST(KeyCombination, MatchingAndOverlap) {
    auto both = [](auto f, const KeyCombination& a, const KeyCombination& b) { return std::to_string(f(a, b)) + std::to_string(f(b, a)); };
    const std::tuple<KeyCombination, const char*, bool> matches[] = {
        {K('F', "RC"), "CTRL + F", true}, {K('F', "LCRC"), "CTRL + F", true}, {K('F'), "CTRL + F", false},
        {K('F', "LCLS"), "CTRL + F", false}, {K('F', "RC"), "LCTRL + F", false}, {K('F', "LCRC"), "LCTRL + F", false},
        {K('F', "LCRS"), "LCTRL + SHIFT + F", true}, {K(255, "", 0x5F, 1), "EX 5F", true}, {K(255, "", 0x60, 1), "EX 5F", false},
        {K(37, "", 75), "25", true}, {K(37, "", 75, 1), "25", false}, {K('F', "", 33, 0, 1), "F", true},  // scan code, release: ignored
    };
    for (const auto& [pressed, text, match] : matches)
        EXPECT_EQ(both(MatchKeyCombination, pressed, ParseKeyCombination(text)), match ? "11" : "00") << text;
    const std::tuple<const char*, const char*, bool> overlaps[] = {
        {"LCTRL + F", "LCTRL + F", true}, {"CTRL + F", "LCTRL + F", true}, {"CTRL + F", "RCTRL + F", true},
        {"CTRL + F", "LCTRL + RCTRL + F", true}, {"CTRL + F", "CTRL + F", true}, {"LCTRL + SHIFT + F", "CTRL + RSHIFT + F", true},
        {"LCTRL + F", "RCTRL + F", false}, {"LCTRL + F", "LCTRL + RCTRL + F", false}, {"CTRL + F", "F", false},
        {"CTRL + F", "CTRL + SHIFT + F", false}, {"CTRL + F", "CTRL + G", false}, {"ALT + F1", "ALT + F2", false},
        {"CTRL + EX 5F", "LCTRL + EX 5F", true}, {"CTRL + EX 5F", "CTRL + EX 5E", false}, {"CTRL + 25", "CTRL + EX 4B", false},
        {"none", "none", false}, {"LCTRL + ", "LCTRL + ", false},
    };
    for (const auto& [a, b, overlap] : overlaps)
        EXPECT_EQ(both(CombinationsOverlap, ParseKeyCombination(a), ParseKeyCombination(b)), overlap ? "11" : "00") << a << " / " << b;
}

// The first enabled other row that overlaps; the everyday name of a combination Windows or most programs use.
TEST(KeyCombination, ClashesReservedCombinationsVersionsAndSpecialFolders) {
    const std::vector<ClashCandidate> rows = {
        {"LCTRL + F", "disabled", false}, {"ALT + F", "other key", true}, {"LCTRL + F", "first", true}, {"CTRL + F", "second", true}};
    for (const auto& [text, row] : {std::pair<const char*, int>{"CTRL + F", 2}, {"RCTRL + F", 3}, {"LCTRL + SHIFT + F", -1}, {"none", -1}})
        EXPECT_EQ(FindClash(text, rows), row) << text;
    const std::pair<const char*, const char*> reserved[] = {
        {"LCTRL + C", "Ctrl+C"}, {"CTRL + V", "Ctrl+V"}, {"RCTRL + X", "Ctrl+X"}, {"CTRL + Z", "Ctrl+Z"}, {"CTRL + S", "Ctrl+S"},
        {"LALT + F4", "Alt+F4"}, {"ALT + 09", "Alt+Tab"}, {"L", "Win+L"}, {"LALT + RCTRL + 2E", "Ctrl+Alt+Del"},
        {"LCTRL + SHIFT + C", ""}, {"ALT + C", ""}, {"SHIFT + L", ""}, {"CTRL + F4", ""}, {"none", ""},
    };
    for (const auto& [text, name] : reserved) EXPECT_STREQ(ReservedCombination(text) ? ReservedCombination(text) : "", name) << text;
    for (uint32_t accepted : {0u, 0xFFu, 0x10000u, 0x200FFu}) EXPECT_TRUE(store::IsVersionAccepted(accepted)) << accepted;
    for (uint32_t rejected : {0x100u, 0x8000u, 0x30000u, 0x20100u}) EXPECT_FALSE(store::IsVersionAccepted(rejected)) << rejected;
    EXPECT_EQ(store::SpecialFolderCode("My documents") * 10 + store::SpecialFolderCode("my documents"), 20u);  // case-sensitive
}
