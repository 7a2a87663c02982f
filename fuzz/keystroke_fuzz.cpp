// Random keystrokes against random tables: each decision is the matching rule's; a launch only on the release of a key down.
#include "fuzz_input.h"

using namespace keystroke;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    const uint8_t settingsBits = in.Byte();
    ShortcutTableBuilder builder(EngineSettings{(settingsBits & 1) != 0, (settingsBits & 2) != 0, 48});
    for (int i = 0, entries = static_cast<int>(in.Below(ShortcutTable::kCapacity + 8)); i < entries; ++i) {
        // Mostly keys the stream hits often, sometimes any code; sides or "any" as text gives them.
        KeyCombination k{};
        const uint8_t key = in.Byte();
        k.virtualKey = key < 200 ? key % 8 + 'A' : key < 240 ? kControlKey + key % 3 : in.Word();
        k.extended = key >= 250;
        if (k.virtualKey == 255 || key >= 250) k.scanCode = in.Byte();
        const uint16_t flags = in.Word();
        for (int flag = 0; flag < 9; ++flag)  // per modifier: bit 2 "any", else bits 0 and 1 its sides
            ModifierFlag(k, flag / 3, flag % 3) = flags >> (flag / 3 * 3) & 4 ? flag % 3 == 2 : flag % 3 < 2 && (flags >> flag & 1);
        FUZZ_CHECK(builder.Add(k, 0, "a", 1, "", 0) == (i < ShortcutTable::kCapacity));
    }
    const auto table = builder.Finish();
    const bool removes = table->Settings().removeKeystroke;
    auto firstMatch = [&](const KeyCombination& pressed) {
        for (int i = 0; i < table->Count(); ++i) if (MatchKeyCombination(pressed, table->Combination(i))) return i;
        return -1;
    };
    KeyCombination state{};
    while (!in.AtEnd()) {
        // Mostly the keys the entries use, with real modifier scan codes; any bits at all too.
        const uint8_t how = in.Byte();
        const uint32_t wParam = how & 0x80 ? in.Word() : (how & 0x40 ? kShiftKey + how % 3 : 'A' + how % 8);
        uint32_t lParam = in.Dword();
        static const uint32_t kScans[] = {kLeftShiftScan, kRightShiftScan, kControlScan, kMenuScan};
        if (how & 0x20) lParam = (lParam & ~(0xFFu << kScanCodeShift)) | kScans[how & 3] << kScanCodeShift;
        const bool captureMode = (how & 0x1F) == 0x1F, wasDown = (lParam & kPreviousStateBit) != 0;
        const KeyCombination before = state;
        const KeystrokeDecision d = DecideKeystroke(state, wParam, lParam, captureMode, *table);
        if ((wParam & 0xFFFF) == kMaskKey) {  // no keystroke of the user's: nothing changes
            FUZZ_CHECK(state == before && !d.capture && !d.swallow && d.launch < 0 && !d.clearState && !d.mask);
            continue;
        }
        for (int group = 0; group < 3; ++group)
            FUZZ_CHECK(ModifierFlag(state, group, 0) <= 1 && ModifierFlag(state, group, 1) <= 1 && ModifierFlag(state, group, 2) == 0);
        FUZZ_CHECK(d.capture == captureMode);
        if (captureMode) {
            FUZZ_CHECK(d.swallow && d.launch < 0);
        } else if (!(lParam & kTransitionBit)) {  // a press: masked when swallowed fresh under Alt
            FUZZ_CHECK(d.launch < 0 && !d.beep && !d.clearState && d.swallow == (removes && firstMatch(state) >= 0));
            FUZZ_CHECK(d.mask == (d.swallow && !wasDown && (state.leftAlt || state.rightAlt)));
        } else {
            FUZZ_CHECK(d.launch == (wasDown ? firstMatch(state) : -1) && d.launch < table->Count());
            FUZZ_CHECK(d.swallow == (d.launch >= 0 && removes) && d.beep == (d.swallow && table->Settings().beepAfterKeystroke));
            FUZZ_CHECK(d.clearState == (wasDown && !d.swallow));
        }
        if (d.clearState) state = KeyCombination{};
    }
    return 0;
}
