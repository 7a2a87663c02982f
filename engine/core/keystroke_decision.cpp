#include "keystroke_decision.h"

namespace {

using namespace keystroke;

void TrackModifiers(KeyCombination& state, uint32_t lParam) {
    const bool pressed = (lParam & kTransitionBit) == 0;
    const bool extended = (lParam & kExtendedBit) != 0;
    switch (state.virtualKey) {
    case kShiftKey:
        if (state.scanCode == kLeftShiftScan) state.leftShift = pressed;
        else if (state.scanCode == kRightShiftScan) state.rightShift = pressed;
        break;
    case kControlKey:
        if (state.scanCode == kControlScan) {
            // Windows sets the context bit on a Ctrl that goes down with Alt held (AltGr
            // arrives that way); such a Ctrl does not count as held.
            const uint8_t down = pressed && (lParam & kContextBit) == 0;
            (extended ? state.rightCtrl : state.leftCtrl) = down;
        }
        break;
    case kMenuKey:
        if (state.scanCode == kMenuScan) (extended ? state.rightAlt : state.leftAlt) = pressed;
        break;
    default:
        break;
    }
}

void DropReleasedModifiers(KeyCombination& state, uint8_t held) {
    if ((held & kHeldKnown) == 0) return;
    if ((held & kHeldLeftShift) == 0) state.leftShift = 0;
    if ((held & kHeldRightShift) == 0) state.rightShift = 0;
    if ((held & kHeldLeftCtrl) == 0) state.leftCtrl = 0;
    if ((held & kHeldRightCtrl) == 0) state.rightCtrl = 0;
    if ((held & kHeldLeftAlt) == 0) state.leftAlt = 0;
    if ((held & kHeldRightAlt) == 0) state.rightAlt = 0;
}

}  // namespace

KeystrokeDecision DecideKeystroke(KeyCombination& state, uint32_t wParam, uint32_t lParam, bool captureMode,
                                  const ShortcutTable& table, uint8_t held) {
    KeystrokeDecision decision;
    // Ours or another tool's: no keystroke of the user's, so it changes nothing.
    if ((wParam & 0xFFFF) == kMaskKey) return decision;
    const bool press = (lParam & kTransitionBit) == 0;
    if (press) DropReleasedModifiers(state, held);
    state.virtualKey = static_cast<uint16_t>(wParam & 0xFFFF);
    state.scanCode = static_cast<uint16_t>((lParam >> kScanCodeShift) & 0xFF);
    state.extended = (lParam & kExtendedBit) != 0;
    state.released = (lParam & kTransitionBit) != 0;
    TrackModifiers(state, lParam);

    if (captureMode) {
        decision.capture = true;
        decision.swallow = true;
        return decision;
    }

    const EngineSettings& settings = table.Settings();
    if (lParam & kTransitionBit) {
        // A release with no press before it (the press went to another desktop, or the
        // hook was installed while the key was down) is left alone.
        if ((lParam & kPreviousStateBit) == 0) return decision;
        decision.launch = table.FindFirstMatch(state);
        if (decision.launch >= 0 && settings.removeKeystroke) {
            // The modifiers stay recorded as held, so the same hotkey can fire again
            // while they are down.
            decision.swallow = true;
            decision.beep = settings.beepAfterKeystroke;
        } else {
            decision.clearState = true;
        }
        return decision;
    }

    // Press or auto-repeat: hide it from the window when its release would fire.
    decision.swallow = settings.removeKeystroke && table.FindFirstMatch(state) >= 0;
    decision.mask = decision.swallow && (lParam & kPreviousStateBit) == 0 &&
                    (state.leftAlt || state.rightAlt || (held & kHeldWindows) != 0);
    return decision;
}
