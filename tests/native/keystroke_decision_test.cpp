#include "core/keystroke_decision.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace keystroke;

// Plays "c+ f+ f- c-" (key down +, up -; c/C, a/A, s/S: left/right Ctrl, Alt, Shift) with
// lParam built as Windows builds it, applying each decision's clearing. Outcome per
// keystroke: p passed, s swallowed, the entry's index for a launch swallowed and beeping
// as set, P for one passed without a beep.
TEST(KeystrokeDecision, Scenarios) {
    struct Scenario { bool removeKeystroke, beep, captureMode; const char* strokes; const char* outcome; };
    const Scenario scenarios[] = {
        {true, true, false, "c+ f+ f+ f- c-", "pss1p"},      // swallowed until the release fires
        {false, true, false, "c+ f+ f- f+ f- c-", "ppPppp"},  // keeping keystrokes clears the state
        {true, false, false, "c+ g+ g- f+ f-", "ppppp"},      // an unmatched release forgets Ctrl
        {true, false, false, "c+ f+ c- f-", "pspp"},
        {true, false, false, "c+ f+ f- f+ f-", "ps1s1"},      // held Ctrl fires again, without a beep
        {true, false, false, "A+ C+ f+ f-", "pppp"},          // Ctrl down under Alt does not count
        {true, false, false, "C+ A+ f+ f-", "pps2"},
        {true, false, false, "c+ f- f+ f-", "pps1"},          // an orphan release passes untouched
        {true, false, false, "s+ g+ g- s- S+ g+ g-", "ppppps0"},  // sided entries need their side
        {true, true, true, "c+ f+ f- c- g-", "sssss"},       // capture mode takes everything
    };
    for (const Scenario& s : scenarios) {
        ShortcutTableBuilder builder(EngineSettings{s.removeKeystroke, s.beep});
        for (const char* shortcut : {"RSHIFT + G", "LCTRL + F", "RALT + RCTRL + F"}) builder.Add(ParseKeyCombination(shortcut), 0, "a", 1, "", 0);
        const auto table = builder.Finish();
        KeyCombination state{};
        std::set<char> down;
        std::string outcome;
        for (const char* p = s.strokes; *p; p += p[2] ? 3 : 2) {
            const char name = p[0], lower = static_cast<char>(std::tolower(name));
            const bool release = p[1] == '-';
            const uint16_t vk = lower == 'c' ? kControlKey : lower == 'a' ? kMenuKey : lower == 's' ? kShiftKey : std::toupper(name);
            const uint32_t scan = lower == 'c' ? kControlScan : lower == 'a' ? kMenuScan : name == 's' ? kLeftShiftScan : name == 'S' ? kRightShiftScan : 33u;
            uint32_t lParam = 1u | scan << kScanCodeShift | (std::isupper(name) && lower != 's' ? kExtendedBit : 0) |
                              (down.count(name) ? kPreviousStateBit : 0) | (release ? kTransitionBit : 0);
            if (down.count('a') || down.count('A') || (lower == 'a' && !release)) lParam |= kContextBit;
            if (release) down.erase(name); else down.insert(name);
            const KeystrokeDecision d = DecideKeystroke(state, vk, lParam, s.captureMode, *table);
            EXPECT_EQ(d.capture, s.captureMode) << s.strokes;
            if (d.clearState) state = KeyCombination{};
            if (d.launch < 0) outcome += d.beep ? '!' : "ps"[d.swallow];
            else outcome += d.swallow && d.beep == s.beep ? static_cast<char>('0' + d.launch) : !d.swallow && !d.beep ? 'P' : '!';
        }
        EXPECT_EQ(outcome, s.outcome) << s.strokes;
    }
}

// What the keyboard holds when a key goes down corrects the tracked modifiers (a release
// seen by another window), only when it is known; a swallowed first press under Alt or the
// Windows key asks for the masking key, which itself changes nothing. Per keystroke: p
// passed, s swallowed, m swallowed with the masking key, or the launched entry's index.
TEST(KeystrokeDecision, HeldModifiersAndTheMaskingKey) {
    constexpr uint8_t known = kHeldKnown, ctrl = kHeldLeftCtrl, alt = kHeldLeftAlt;
    struct Stroke { char key; bool release, repeat; uint8_t held; };
    const struct { std::vector<Stroke> strokes; const char* outcome; } cases[] = {
        {{{'s', 0, 0, 0}, {'c', 0, 0, known | ctrl}, {'F', 0, 0, known | ctrl}, {'F', 1, 0, 0}}, "pps0"},  // Shift let go elsewhere
        {{{'s', 0, 0, 0}, {'c', 0, 0, ctrl}, {'F', 0, 0, ctrl}, {'F', 1, 0, 0}}, "pppp"},                  // not known: kept
        {{{'c', 0, 0, 0}, {'F', 0, 0, known}, {'F', 1, 0, 0}}, "ppp"},                                     // Ctrl let go unseen
        {{{'a', 0, 0, known | alt}, {'B', 0, 0, known | alt}, {'m', 0, 0, 0}, {'m', 1, 0, 0}, {'B', 1, 0, 0},
          {'B', 0, 0, known | alt}, {'B', 0, 1, known | alt}, {'B', 1, 0, 0}}, "pmpp1ms1"},
        {{{'c', 0, 0, known | ctrl}, {'F', 0, 0, known | ctrl | kHeldWindows}, {'F', 1, 0, 0}}, "pm0"},
        {{{'c', 0, 0, known | ctrl}, {'m', 0, 0, 0}, {'m', 1, 0, 0}, {'F', 0, 0, known | ctrl}, {'F', 1, 0, 0}}, "ppps0"},
    };
    ShortcutTableBuilder builder(EngineSettings{true, false});
    for (const char* shortcut : {"LCTRL + F", "LALT + B"}) builder.Add(ParseKeyCombination(shortcut), 0, "a", 1, "", 0);
    const auto table = builder.Finish();
    for (const auto& c : cases) {
        KeyCombination state{};
        std::string outcome;
        for (const Stroke& k : c.strokes) {
            const uint16_t vk = k.key == 'c' ? kControlKey : k.key == 'a' ? kMenuKey : k.key == 's' ? kShiftKey : k.key == 'm' ? kMaskKey : k.key;
            const uint32_t scan = k.key == 'c' ? kControlScan : k.key == 'a' ? kMenuScan : k.key == 's' ? kLeftShiftScan : k.key == 'm' ? 0 : 33u;
            const uint32_t lParam = 1u | scan << kScanCodeShift | (k.release || k.repeat ? kPreviousStateBit : 0) | (k.release ? kTransitionBit : 0);
            const KeystrokeDecision d = DecideKeystroke(state, vk, lParam, false, *table, k.held);
            if (d.clearState) state = KeyCombination{};
            outcome += d.launch >= 0 ? static_cast<char>('0' + d.launch) : d.mask ? 'm' : "ps"[d.swallow];
        }
        EXPECT_EQ(outcome, c.outcome) << c.outcome;
    }
}

}  // namespace
