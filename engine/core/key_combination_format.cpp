// Text form of a key combination; only the editor writes it, so it lives apart from the
// parser and matcher that the hook library links.
#include <cstdio>

#include "key_combination.h"

FormattedKeyCombination FormatKeyCombination(const KeyCombination& k, ModifierMode mode) {
    FormattedKeyCombination result{std::string(), false};
    std::string& text = result.text;
    if (mode == ModifierMode::Sided) {
        if (k.leftAlt) text += "LALT + ";
        if (k.rightAlt) text += "RALT + ";
        if (k.leftCtrl) text += "LCTRL + ";
        if (k.rightCtrl) text += "RCTRL + ";
        if (k.leftShift) text += "LSHIFT + ";
        if (k.rightShift) text += "RSHIFT + ";
    } else {
        if (k.leftAlt || k.rightAlt) text += "ALT + ";
        if (k.leftCtrl || k.rightCtrl) text += "CTRL + ";
        if (k.leftShift || k.rightShift) text += "SHIFT + ";
    }
    char token[16];
    const unsigned vk = k.virtualKey;
    if (vk == 255 && k.extended) {
        std::snprintf(token, sizeof token, "EX %X", static_cast<unsigned>(k.scanCode));
    } else if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) {
        std::snprintf(token, sizeof token, "%c", static_cast<char>(vk));
    } else if (vk >= 112 && vk <= 135) {
        std::snprintf(token, sizeof token, "F%u", vk - 111);
    } else if (vk >= 32) {
        // A leading zero keeps a token such as "FA" (a key with code 250) from reading
        // back as a function key.
        std::snprintf(token, sizeof token, "%X", vk);
        if (token[0] == 'F') std::snprintf(token, sizeof token, "0%X", vk);
    } else {
        return result;
    }
    text += token;
    result.complete = true;
    return result;
}
