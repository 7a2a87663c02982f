// The modifier flags of a KeyCombination by modifier (0 Alt, 1 Ctrl, 2 Shift) and side
// (0 left, 1 right, 2 any), through the named fields.
#pragma once

#include "core/key_combination.h"

inline uint8_t& ModifierFlag(KeyCombination& k, int modifier, int side) {
    uint8_t* const flags[3][3] = {{&k.leftAlt, &k.rightAlt, &k.anyAlt},
                                  {&k.leftCtrl, &k.rightCtrl, &k.anyCtrl},
                                  {&k.leftShift, &k.rightShift, &k.anyShift}};
    return *flags[modifier][side];
}
