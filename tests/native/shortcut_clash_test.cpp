#include "core/shortcut_clash.h"

#include <gtest/gtest.h>

namespace {

bool Overlap(const char* a, const char* b) {
    return CombinationsOverlap(ParseKeyCombination(a), ParseKeyCombination(b));
}

TEST(ShortcutClash, OverlapOfTwoStoredCombinations) {
    struct Case { const char* a; const char* b; bool overlap; };
    const Case cases[] = {
        {"LCTRL + F", "LCTRL + F", true},        {"CTRL + F", "LCTRL + F", true},
        {"CTRL + F", "RCTRL + F", true},         {"CTRL + F", "LCTRL + RCTRL + F", true},
        {"CTRL + F", "CTRL + F", true},          {"LCTRL + SHIFT + F", "CTRL + RSHIFT + F", true},
        {"LCTRL + F", "RCTRL + F", false},       {"LCTRL + F", "LCTRL + RCTRL + F", false},
        {"CTRL + F", "F", false},                {"CTRL + F", "CTRL + SHIFT + F", false},
        {"CTRL + F", "CTRL + G", false},         {"ALT + F1", "ALT + F2", false},
        {"CTRL + EX 5F", "LCTRL + EX 5F", true}, {"CTRL + EX 5F", "CTRL + EX 5E", false},
        {"CTRL + 25", "CTRL + EX 4B", false},    {"none", "none", false}, {"LCTRL + ", "LCTRL + ", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Overlap(c.a, c.b), c.overlap) << c.a << " / " << c.b;
        EXPECT_EQ(Overlap(c.b, c.a), c.overlap) << c.b << " / " << c.a;
    }
}

TEST(ShortcutClash, FirstEnabledOtherRowIsReported) {
    const std::vector<ClashCandidate> rows = {
        {"LCTRL + F", "disabled", false}, {"ALT + F", "other key", true}, {"LCTRL + F", "first", true}, {"CTRL + F", "second", true}};
    EXPECT_EQ(FindClash("CTRL + F", rows), 2);
    EXPECT_EQ(FindClash("RCTRL + F", rows), 3);
    EXPECT_EQ(FindClash("LCTRL + SHIFT + F", rows), -1);
    EXPECT_EQ(FindClash("none", rows), -1);
}

TEST(ShortcutClash, CombinationsOthersUse) {
    const std::pair<const char*, const char*> cases[] = {
        {"LCTRL + C", "Ctrl+C"},  {"CTRL + V", "Ctrl+V"},       {"RCTRL + X", "Ctrl+X"}, {"CTRL + Z", "Ctrl+Z"},
        {"CTRL + S", "Ctrl+S"},   {"LALT + F4", "Alt+F4"},      {"ALT + 09", "Alt+Tab"}, {"L", "Win+L"},
        {"LALT + RCTRL + 2E", "Ctrl+Alt+Del"}, {"LCTRL + SHIFT + C", nullptr}, {"ALT + C", nullptr},
        {"SHIFT + L", nullptr},   {"CTRL + F4", nullptr},       {"none", nullptr},
    };
    for (const auto& [text, name] : cases) {
        const char* found = ReservedCombination(text);
        EXPECT_STREQ(found ? found : "", name ? name : "") << text;
    }
}

}  // namespace
