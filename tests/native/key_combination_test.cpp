#include "core/key_combination.h"

#include <gtest/gtest.h>

namespace {

KeyCombination Parse(const char* text) { return ParseKeyCombination(std::string(text)); }

KeyCombination Pressed(uint16_t vk, std::initializer_list<uint8_t KeyCombination::*> modifiers) {
    KeyCombination k{};
    k.virtualKey = vk;
    for (auto flag : modifiers) k.*flag = 1;
    return k;
}

TEST(FormatKeyCombination, WritesModifierWordsInFixedOrderPerMode) {
    KeyCombination k = Pressed('F', {&KeyCombination::rightShift, &KeyCombination::leftCtrl,
                                     &KeyCombination::leftAlt, &KeyCombination::rightCtrl});
    EXPECT_EQ(FormatKeyCombination(k, ModifierMode::Sided).text, "LALT + LCTRL + RCTRL + RSHIFT + F");
    EXPECT_EQ(FormatKeyCombination(k, ModifierMode::Plain).text, "ALT + CTRL + SHIFT + F");
    // The "any" flags are never consulted when writing.
    KeyCombination any = Pressed('F', {&KeyCombination::anyCtrl});
    EXPECT_EQ(FormatKeyCombination(any, ModifierMode::Plain).text, "F");
}

TEST(FormatKeyCombination, MainKeyTokens) {
    struct Case { uint16_t vk; uint16_t scan; uint8_t extended; const char* text; bool complete; };
    const Case cases[] = {
        {'7', 0, 0, "7", true},        {'F', 0, 0, "F", true},      {112, 0, 0, "F1", true},
        {135, 0, 0, "F24", true},      {32, 0, 0, "20", true},      {0xBA, 0, 0, "BA", true},
        {255, 0x5F, 1, "EX 5F", true}, {255, 0x5F, 0, "FF", true},  {37, 75, 1, "25", true},
        {13, 28, 0, "", false},        {27, 1, 0, "", false},       {0, 0, 0, "", false},
    };
    for (const Case& c : cases) {
        KeyCombination k{};
        k.virtualKey = c.vk;
        k.scanCode = c.scan;
        k.extended = c.extended;
        FormattedKeyCombination f = FormatKeyCombination(k, ModifierMode::Sided);
        EXPECT_EQ(f.text, c.text) << c.vk;
        EXPECT_EQ(f.complete, c.complete) << c.vk;
    }
    KeyCombination ctrlOnly = Pressed(17, {&KeyCombination::leftCtrl});
    FormattedKeyCombination f = FormatKeyCombination(ctrlOnly, ModifierMode::Sided);
    EXPECT_EQ(f.text, "LCTRL + ");
    EXPECT_FALSE(f.complete);
}

TEST(ParseKeyCombination, ModifiersBySubstringInAnyOrder) {
    EXPECT_EQ(Parse("SHIFT + CTRL + F"), Parse("CTRL + SHIFT + F"));
    KeyCombination k = Parse("LCTRL + SHIFT + F");
    EXPECT_TRUE(k.leftCtrl);
    EXPECT_FALSE(k.anyCtrl);  // a sided word suppresses the plain one
    EXPECT_TRUE(k.anyShift);
    EXPECT_EQ(k.virtualKey, 'F');
    KeyCombination both = Parse("LCTRL + RCTRL + F");
    EXPECT_TRUE(both.leftCtrl && both.rightCtrl);
    KeyCombination lower = Parse("ctrl + f");
    EXPECT_FALSE(lower.anyCtrl || lower.leftCtrl);
    EXPECT_EQ(lower.virtualKey, 0);
}

TEST(ParseKeyCombination, MainKeyTokens) {
    EXPECT_EQ(Parse("CTRL + F1").virtualKey, 112);
    EXPECT_EQ(Parse("CTRL + F24").virtualKey, 135);
    EXPECT_EQ(Parse("CTRL + FA").virtualKey, 111);  // "F" then no digits: a function-key token
    EXPECT_EQ(Parse("ALT + 20").virtualKey, 0x20);
    EXPECT_EQ(Parse("ALT + BA").virtualKey, 0xBA);
    EXPECT_EQ(Parse("ALT + 7").virtualKey, '7');
    EXPECT_EQ(Parse("ALT + +").virtualKey, 0);
    EXPECT_EQ(Parse("CTRL + ").virtualKey, 0);
    EXPECT_EQ(Parse("LCTRL + SHIFT + ").virtualKey, 0);
    EXPECT_EQ(Parse("").virtualKey, 0);
    EXPECT_EQ(Parse("none"), KeyCombination{});
}

TEST(ParseKeyCombination, ExtendedScanCodeForm) {
    KeyCombination k = Parse("LALT + EX 5F");
    EXPECT_EQ(k.virtualKey, 255);
    EXPECT_EQ(k.extended, 1);
    EXPECT_EQ(k.scanCode, 0x5F);
    EXPECT_TRUE(k.leftAlt);
    EXPECT_EQ(Parse("EX").scanCode, 0);
    EXPECT_EQ(Parse("EXZ").scanCode, 0);
    // "EX" anywhere wins, even inside another word.
    EXPECT_EQ(Parse("NEXT + F").virtualKey, 255);
}

TEST(ParseKeyCombination, SingleKeyWithoutModifiersReadsAsItsMainKey) {
    // A key captured without modifiers is stored without a space.
    EXPECT_EQ(Parse("F1").virtualKey, 112);
    EXPECT_EQ(Parse("G").virtualKey, 'G');
    EXPECT_EQ(Parse("20").virtualKey, 0x20);
    EXPECT_EQ(Parse("EX 1C").virtualKey, 255);
}

TEST(ParseKeyCombination, LongDigitRunsAreCutTo16BitsWithoutOverflow) {
    // Hexadecimal and decimal runs are read modulo 2^16, digit by digit.
    EXPECT_EQ(Parse("CTRL + 1FFFF").virtualKey, 0xFFFF);
    EXPECT_EQ(Parse("CTRL + 10000").virtualKey, 0);
    EXPECT_EQ(Parse("CTRL + 123456789ABCDEF0123456789").virtualKey, 0x6789);
    EXPECT_EQ(Parse("EX 123456789ABCDEF").scanCode, 0xBCDEF & 0xFFFF);
    // 111 + 65537 (mod 2^16) = 112.
    EXPECT_EQ(Parse("CTRL + F65537").virtualKey, 112);
    EXPECT_EQ(Parse("CTRL + F99999999999999999999999").virtualKey,
              static_cast<uint16_t>(111 + 0xFFFF));  // 10^23 - 1 = 65535 (mod 2^16)
}

TEST(ParseKeyCombination, AcceptsUnterminatedAndBinaryText) {
    const char text[] = {'C', 'T', 'R', 'L', ' ', '+', ' ', 'F', 'X'};
    KeyCombination k = ParseKeyCombination(text, 8);  // "CTRL + F", the 'X' lies outside
    EXPECT_EQ(k.virtualKey, 'F');
    const char binary[] = {'\0', 'E', 'X', ' ', '\xff', '1'};
    EXPECT_EQ(ParseKeyCombination(binary, sizeof binary).virtualKey, 255);
    EXPECT_EQ(ParseKeyCombination(nullptr, 0), KeyCombination{});
}

TEST(FormatAndParse, EveryCompleteSidedTextReadsBackToTheSameKeyForOrdinaryKeys) {
    for (unsigned vk = 32; vk < 240; ++vk) {
        KeyCombination k = Pressed(static_cast<uint16_t>(vk), {&KeyCombination::leftCtrl, &KeyCombination::rightAlt});
        KeyCombination back = ParseKeyCombination(FormatKeyCombination(k, ModifierMode::Sided).text);
        EXPECT_EQ(back, k) << vk;
        KeyCombination alone = Pressed(static_cast<uint16_t>(vk), {});
        EXPECT_EQ(ParseKeyCombination(FormatKeyCombination(alone, ModifierMode::Sided).text), alone) << vk;
    }
}

TEST(MatchKeyCombination, PlainModeAcceptsEitherSide) {
    KeyCombination stored = Parse("CTRL + F");
    EXPECT_TRUE(MatchKeyCombination(Pressed('F', {&KeyCombination::leftCtrl}), stored));
    EXPECT_TRUE(MatchKeyCombination(Pressed('F', {&KeyCombination::rightCtrl}), stored));
    EXPECT_TRUE(MatchKeyCombination(Pressed('F', {&KeyCombination::leftCtrl, &KeyCombination::rightCtrl}), stored));
    EXPECT_FALSE(MatchKeyCombination(Pressed('F', {}), stored));
    EXPECT_FALSE(MatchKeyCombination(Pressed('F', {&KeyCombination::leftCtrl, &KeyCombination::leftShift}), stored));
    EXPECT_FALSE(MatchKeyCombination(Pressed('G', {&KeyCombination::leftCtrl}), stored));
}

TEST(MatchKeyCombination, SidedAndMixedModes) {
    KeyCombination left = Parse("LCTRL + F");
    EXPECT_TRUE(MatchKeyCombination(Pressed('F', {&KeyCombination::leftCtrl}), left));
    EXPECT_FALSE(MatchKeyCombination(Pressed('F', {&KeyCombination::rightCtrl}), left));
    EXPECT_FALSE(MatchKeyCombination(Pressed('F', {&KeyCombination::leftCtrl, &KeyCombination::rightCtrl}), left));
    KeyCombination mixed = Parse("LCTRL + SHIFT + F");
    EXPECT_TRUE(MatchKeyCombination(Pressed('F', {&KeyCombination::leftCtrl, &KeyCombination::rightShift}), mixed));
    EXPECT_FALSE(MatchKeyCombination(Pressed('F', {&KeyCombination::rightCtrl, &KeyCombination::rightShift}), mixed));
    // The rule is symmetric in who carries the "any" flag.
    EXPECT_TRUE(MatchKeyCombination(Parse("CTRL + F"), Pressed('F', {&KeyCombination::rightCtrl})));
}

TEST(MatchKeyCombination, ExtendedFlagAndScanCode) {
    KeyCombination arrowBlockLeft = Pressed(37, {});
    arrowBlockLeft.extended = 1;
    arrowBlockLeft.scanCode = 75;
    // Written as plain hexadecimal, the extended flag is lost.
    KeyCombination stored = ParseKeyCombination(FormatKeyCombination(arrowBlockLeft, ModifierMode::Sided).text);
    EXPECT_FALSE(MatchKeyCombination(arrowBlockLeft, stored));
    KeyCombination keypadLeft = arrowBlockLeft;
    keypadLeft.extended = 0;
    EXPECT_TRUE(MatchKeyCombination(keypadLeft, stored));

    KeyCombination ex = Parse("EX 5F");
    KeyCombination pressed = Pressed(255, {});
    pressed.extended = 1;
    pressed.scanCode = 0x5F;
    EXPECT_TRUE(MatchKeyCombination(pressed, ex));
    pressed.scanCode = 0x60;
    EXPECT_FALSE(MatchKeyCombination(pressed, ex));
    // Scan codes of ordinary keys are not compared, nor is the released flag.
    KeyCombination f = Pressed('F', {});
    f.scanCode = 33;
    f.released = 1;
    EXPECT_TRUE(MatchKeyCombination(f, Parse("G + F")));
}

}  // namespace
