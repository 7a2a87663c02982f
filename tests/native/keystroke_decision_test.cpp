#include "core/keystroke_decision.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <sstream>

namespace {

using namespace keystroke;

// Plays strokes such as "c+ f+kc f- c-" (key down +, up -; c/C, a/A, s/S: left/right Ctrl,
// Alt, Shift; m the masking key) with lParam built as Windows builds it, applying each
// decision's clearing. Letters after the sign are what the keyboard holds as a key goes
// down: k known, c left Ctrl, a left Alt, w Windows. Outcome per keystroke: p passed, s
// swallowed, m swallowed with the masking key, the entry's index for a launch swallowed
// and beeping as set, P for one passed without a beep.
TEST(KeystrokeDecision, Scenarios) {
    struct Scenario { bool removeKeystroke, beep, captureMode; const char* strokes; const char* outcome; };
    const Scenario scenarios[] = {
        {true, true, false, "c+ f+ f+ f- c-", "pss1p"},      // swallowed until the release fires
        {false, true, false, "c+ f+ f- f+ f- c-", "ppPppp"},  // keeping keystrokes clears the state
        {true, false, false, "c+ g+ g- f+ f-", "ppppp"},      // an unmatched release forgets Ctrl
        {true, false, false, "c+ f+ c- f-", "pspp"},
        {true, false, false, "c+ f+ f- f+ f-", "ps1s1"},      // held Ctrl fires again, without a beep
        {true, false, false, "A+ C+ f+ f-", "pppp"},          // Ctrl down under Alt does not count
        {true, false, false, "C+ A+ f+ f-", "ppm2"},
        {true, false, false, "c+ f- f+ f-", "pps1"},          // an orphan release passes untouched
        {true, false, false, "s+ g+ g- s- S+ g+ g-", "ppppps0"},  // sided entries need their side
        {true, true, true, "c+ f+ f- c- g-", "sssss"},       // capture mode takes everything
        // What the keyboard holds corrects the tracked modifiers (a release seen by another
        // window), only when it is known; the masking key itself changes nothing.
        {true, false, false, "s+ c+kc f+kc f-", "pps1"}, {true, false, false, "s+ c+c f+c f-", "pppp"},
        {true, false, false, "c+ f+k f-", "ppp"}, {true, false, false, "c+kc m+ m- f+kc f-", "ppps1"},
        {true, false, false, "a+ka b+ka m+ m- b- b+ka b+ka b-", "pmpp3ms3"}, {true, false, false, "c+kc f+kcw f-", "pm1"},
    };
    for (const Scenario& s : scenarios) {
        ShortcutTableBuilder builder(EngineSettings{s.removeKeystroke, s.beep});
        for (const char* shortcut : {"RSHIFT + G", "LCTRL + F", "RALT + RCTRL + F", "LALT + B"})
            builder.Add(ParseKeyCombination(shortcut), 0, "a", 1, "", 0);
        const auto table = builder.Finish();
        KeyCombination state{};
        std::set<char> down;
        std::string outcome;
        std::istringstream strokes(s.strokes);
        for (std::string k; strokes >> k;) {
            const char name = k[0], lower = static_cast<char>(std::tolower(name));
            const bool release = k[1] == '-';
            uint8_t held = 0;
            for (char h : k.substr(2)) held |= h == 'k' ? kHeldKnown : h == 'c' ? kHeldLeftCtrl : h == 'a' ? kHeldLeftAlt : kHeldWindows;
            const uint16_t vk = lower == 'c' ? kControlKey : lower == 'a' ? kMenuKey : lower == 's' ? kShiftKey : name == 'm' ? kMaskKey : std::toupper(name);
            const uint32_t scan = lower == 'c' ? kControlScan : lower == 'a' ? kMenuScan : name == 's' ? kLeftShiftScan
                                : name == 'S' ? kRightShiftScan : name == 'm' ? 0 : 33u;
            uint32_t lParam = 1u | scan << kScanCodeShift | (std::isupper(name) && lower != 's' ? kExtendedBit : 0) |
                              (down.count(name) ? kPreviousStateBit : 0) | (release ? kTransitionBit : 0);
            if (down.count('a') || down.count('A') || (lower == 'a' && !release)) lParam |= kContextBit;
            if (release) down.erase(name); else down.insert(name);
            const KeystrokeDecision d = DecideKeystroke(state, vk, lParam, s.captureMode, *table, held);
            EXPECT_EQ(d.capture, s.captureMode) << s.strokes;
            if (d.clearState) state = KeyCombination{};
            if (d.launch < 0) outcome += d.beep ? '!' : d.mask ? 'm' : "ps"[d.swallow];
            else outcome += d.swallow && d.beep == s.beep ? static_cast<char>('0' + d.launch) : !d.swallow && !d.beep ? 'P' : '!';
        }
        EXPECT_EQ(outcome, s.outcome) << s.strokes;
    }
}

}  // namespace
