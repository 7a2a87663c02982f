// When two stored key combinations fire on the same keystroke, and which combinations
// Windows or nearly every program already use. Only the first matching row of the list
// ever runs, so the editor warns before it stores such a combination.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "key_combination.h"

// True when some physical keyboard state fires both stored combinations: the same
// combination, or a plain-mode one ("CTRL + F") and a sided one it covers ("LCTRL + F").
// A combination without a main key never fires and overlaps nothing.
bool CombinationsOverlap(const KeyCombination& a, const KeyCombination& b);

// One other row of the list, as the clash check sees it.
struct ClashCandidate {
    std::string shortcutText;
    std::string label;  // its description, or its action when it has none
    bool enabled;
};

// The first enabled candidate whose combination overlaps text's, or -1.
int FindClash(const std::string& text, const std::vector<ClashCandidate>& candidates);

// The everyday name ("Ctrl+C") of a combination that Windows or most programs use and
// that text's combination would take from them, or nullptr.
const char* ReservedCombination(const std::string& text);
