#include <gtest/gtest.h>

#include "core_test_support.h"

using namespace keystroke;

// Plays strokes such as "c+ f+kc f- c-" (+ down, - up; c/C, a/A, s/S: left/right Ctrl, Alt, Shift; m the masking key), lParam
// built as Windows builds it, each decision's clearing applied. After the sign, what the keyboard holds: k known, c left Ctrl, a left
// Alt, w Windows. Per keystroke: p passed, s swallowed, m masked, c captured, the entry's index for a launch swallowed and beeping as
// set, P one passed without a beep. Settings: r keystrokes removed, b beep, c capture mode.
TEST(KeystrokeDecision, Scenarios) {
    const std::tuple<const char*, const char*, const char*> scenarios[] = {
        {"rb", "c+ f+ f+ f- c-", "pss1p"},        // swallowed until the release fires
        {"b", "c+ f+ f- f+ f- c-", "ppPppp"},     // keeping keystrokes clears the state
        {"r", "c+ g+ g- f+ f-", "ppppp"},         // an unmatched release forgets Ctrl
        {"r", "c+ f+ c- f-", "pspp"}, {"r", "c+ f+ f- f+ f-", "ps1s1"},  // held Ctrl fires again, without a beep
        {"r", "A+ C+ f+ f-", "pppp"}, {"r", "C+ A+ f+ f-", "ppm2"},        // Ctrl down under Alt does not count
        {"r", "c+ f- f+ f-", "pps1"},             // an orphan release passes untouched
        {"r", "s+ g+ g- s- S+ g+ g-", "ppppps0"},  // sided entries need their side
        {"rbc", "c+ f+ f- c- g-", "ccccc"},      // capture mode takes everything
        // Modifiers the keyboard no longer holds (released in another window) drop, when known; the masking key changes nothing.
        {"r", "s+ c+kc f+kc f-", "pps1"}, {"r", "s+ c+c f+c f-", "pppp"}, {"r", "c+ f+k f-", "ppp"},
        {"r", "c+kc m+ m- f+kc f-", "ppps1"}, {"r", "a+ka b+ka m+ m- b- b+ka b+ka b-", "pmpp3ms3"}, {"r", "c+kc f+kcw f-", "pm1"},
    };
    for (const auto& [settings, strokes, expected] : scenarios) {
        const bool removes = std::strchr(settings, 'r'), beep = std::strchr(settings, 'b'), capture = std::strchr(settings, 'c');
        ShortcutTableBuilder builder(EngineSettings{removes, beep});
        for (const char* shortcut : {"RSHIFT + G", "LCTRL + F", "RALT + RCTRL + F", "LALT + B"})
            builder.Add(ParseKeyCombination(shortcut), 0, "a", 1, "", 0);
        const auto table = builder.Finish();
        KeyCombination state{};
        std::set<char> down;
        std::string outcome;
        std::istringstream in(strokes);
        for (std::string k; in >> k;) {
            const char name = k[0], lower = static_cast<char>(std::tolower(name));
            const bool release = k[1] == '-';
            uint8_t held = 0;
            for (char h : k.substr(2)) held |= h == 'k' ? kHeldKnown : h == 'c' ? kHeldLeftCtrl : h == 'a' ? kHeldLeftAlt : kHeldWindows;
            const uint16_t vk = lower == 'c' ? kControlKey : lower == 'a' ? kMenuKey : lower == 's' ? kShiftKey
                              : name == 'm' ? kMaskKey : std::toupper(name);
            const uint32_t scan = lower == 'c' ? kControlScan : lower == 'a' ? kMenuScan : name == 's' ? kLeftShiftScan
                                : name == 'S' ? kRightShiftScan : name == 'm' ? 0 : 33u;
            uint32_t lParam = 1u | scan << kScanCodeShift | (std::isupper(name) && lower != 's' ? kExtendedBit : 0) |
                              (down.count(name) ? kPreviousStateBit : 0) | (release ? kTransitionBit : 0);
            if (down.count('a') || down.count('A') || (lower == 'a' && !release)) lParam |= kContextBit;
            if (release) down.erase(name); else down.insert(name);
            const KeystrokeDecision d = DecideKeystroke(state, vk, lParam, capture, *table, held);
            if (d.clearState) state = KeyCombination{};
            if (d.capture) outcome += d.swallow && d.launch < 0 && !d.beep ? 'c' : '!';
            else if (d.launch < 0) outcome += d.beep ? '!' : d.mask ? 'm' : "ps"[d.swallow];
            else outcome += d.swallow && d.beep == beep ? static_cast<char>('0' + d.launch) : !d.swallow && !d.beep ? 'P' : '!';
        }
        EXPECT_EQ(outcome, expected) << strokes;
    }
}
