#include "shortcut_clash.h"

namespace {

// The physical states of one modifier group that a stored combination accepts, as a set:
// left only, right only, both, neither.
enum : unsigned { kLeftOnly = 1, kRightOnly = 2, kBoth = 4, kNeither = 8 };

unsigned GroupStates(uint8_t left, uint8_t right, uint8_t any) {
    if (left && right) return kBoth;
    if (left) return kLeftOnly;
    if (right) return kRightOnly;
    return any ? (kLeftOnly | kRightOnly | kBoth) : kNeither;
}

bool FiresOnKey(const KeyCombination& k) { return k.virtualKey != 0; }

struct Reserved {
    const char* name;
    KeyCombination pattern;
};

// Combinations in plain mode; the extended flag is not compared, so both Delete keys count.
// Win is no modifier of a stored combination: a bare "L" also fires while Win is held.
KeyCombination Plain(uint16_t key, bool alt, bool ctrl) {
    KeyCombination k{};
    k.virtualKey = key;
    k.anyAlt = alt;
    k.anyCtrl = ctrl;
    return k;
}

const Reserved kReserved[] = {
    {"Ctrl+Alt+Del", Plain(0x2E, true, true)}, {"Win+L", Plain('L', false, false)},
    {"Alt+Tab", Plain(0x09, true, false)},     {"Alt+F4", Plain(115, true, false)},
    {"Ctrl+C", Plain('C', false, true)},       {"Ctrl+V", Plain('V', false, true)},
    {"Ctrl+X", Plain('X', false, true)},       {"Ctrl+Z", Plain('Z', false, true)},
    {"Ctrl+S", Plain('S', false, true)},
};

}  // namespace

bool CombinationsOverlap(const KeyCombination& a, const KeyCombination& b) {
    if (!FiresOnKey(a) || a.virtualKey != b.virtualKey || a.extended != b.extended) return false;
    if (a.virtualKey == 255 && a.scanCode != b.scanCode) return false;
    return (GroupStates(a.leftAlt, a.rightAlt, a.anyAlt) & GroupStates(b.leftAlt, b.rightAlt, b.anyAlt)) &&
           (GroupStates(a.leftCtrl, a.rightCtrl, a.anyCtrl) & GroupStates(b.leftCtrl, b.rightCtrl, b.anyCtrl)) &&
           (GroupStates(a.leftShift, a.rightShift, a.anyShift) & GroupStates(b.leftShift, b.rightShift, b.anyShift));
}

int FindClash(const std::string& text, const std::vector<ClashCandidate>& candidates) {
    const KeyCombination combination = ParseKeyCombination(text);
    for (size_t i = 0; i < candidates.size(); ++i)
        if (candidates[i].enabled && CombinationsOverlap(combination, ParseKeyCombination(candidates[i].shortcutText)))
            return static_cast<int>(i);
    return -1;
}

const char* ReservedCombination(const std::string& text) {
    const KeyCombination combination = ParseKeyCombination(text);
    for (const Reserved& reserved : kReserved) {
        KeyCombination pattern = reserved.pattern;
        pattern.extended = combination.extended;
        if (CombinationsOverlap(combination, pattern)) return reserved.name;
    }
    return nullptr;
}
