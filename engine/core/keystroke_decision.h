// What the keyboard hook does with one keystroke, decided without touching Windows: the
// hook feeds in the keystroke and its tracked state, and applies the answer.
#pragma once

#include <cstdint>

#include "key_combination.h"
#include "shortcut_table.h"

// Bits of the keyboard hook's lParam.
namespace keystroke {
constexpr uint32_t kScanCodeShift = 16;
constexpr uint32_t kExtendedBit = 1u << 24;
constexpr uint32_t kContextBit = 1u << 29;  // Alt held
constexpr uint32_t kPreviousStateBit = 1u << 30;
constexpr uint32_t kTransitionBit = 1u << 31;  // set: being released

// Virtual-key codes and scan codes of the tracked modifiers.
constexpr uint16_t kShiftKey = 16;
constexpr uint16_t kControlKey = 17;
constexpr uint16_t kMenuKey = 18;
constexpr uint16_t kLeftShiftScan = 42;
constexpr uint16_t kRightShiftScan = 54;
constexpr uint16_t kControlScan = 29;
constexpr uint16_t kMenuScan = 56;

// An unassigned virtual-key code that the hook sends, pressed and released, when it
// swallows a key pressed under Alt or the Windows key: the window in front then sees
// more than a lone Alt (which opens its menu) or a lone Windows key (the Start menu).
// Keyboard tools share the convention; the hook passes such keystrokes on untouched.
constexpr uint16_t kMaskKey = 0xE8;

// The sided modifier keys held as a key goes down. kHeldKnown says the sided flags were
// read and may drop tracked modifiers; without it the tracked flags stay as they are.
constexpr uint8_t kHeldLeftShift = 1, kHeldRightShift = 2, kHeldLeftCtrl = 4, kHeldRightCtrl = 8;
constexpr uint8_t kHeldLeftAlt = 16, kHeldRightAlt = 32, kHeldWindows = 64, kHeldKnown = 128;
}  // namespace keystroke

struct KeystrokeDecision {
    int launch = -1;          // table index of the entry to launch, or -1
    bool capture = false;     // hand pressedState to the capture window (and swallow)
    bool swallow = false;     // keep the keystroke from its window
    bool beep = false;        // MessageBeep with the table's beep type, after launching
    bool clearState = false;  // clear pressedState to zeros, after launching
    bool mask = false;        // send the masking key (a swallowed press under Alt or Windows)
};

// Records the keystroke in pressedState (main key and the six sided modifier flags) and
// decides what to do with it. wParam is the virtual-key code, lParam the hook's key
// flags; the caller has already checked that the hook code is HC_ACTION. held gives the
// keyboard's modifier keys (kHeld...) for a press; a flag whose key is no longer held is
// dropped, since a process does not see the releases that went to another window.
// Allocates nothing.
KeystrokeDecision DecideKeystroke(KeyCombination& pressedState, uint32_t wParam, uint32_t lParam,
                                  bool captureMode, const ShortcutTable& table, uint8_t held = 0);
