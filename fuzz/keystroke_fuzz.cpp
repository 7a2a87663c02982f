// Random keystroke streams (any virtual key, scan code and flag bits) against random
// tables: every decision is the one the matching rule gives, and a shortcut only ever
// launches on the release of a key that was down.
#include <memory>

#include "core/keystroke_decision.h"
#include "fuzz_input.h"
#include "modifier_flags.h"

namespace {

using namespace keystroke;

KeyCombination MakeEntry(FuzzInput& in) {
    KeyCombination k{};
    const uint8_t key = in.Byte();
    // Mostly keys that the stream's bytes hit often; sometimes any code at all.
    k.virtualKey = key < 200 ? key % 8 + 'A' : key < 240 ? kControlKey + key % 3 : in.Word();
    k.extended = key >= 250;
    if (k.virtualKey == 255 || key >= 250) k.scanCode = in.Byte();
    const uint16_t flags = in.Word();
    for (int group = 0; group < 3; ++group) {
        const int bits = flags >> (3 * group) & 7;
        // Either sides or the "any" flag, as text gives them.
        if (bits & 4) {
            ModifierFlag(k, group, 2) = 1;
        } else {
            ModifierFlag(k, group, 0) = bits & 1;
            ModifierFlag(k, group, 1) = bits >> 1 & 1;
        }
    }
    return k;
}

int FirstMatchByWalk(const ShortcutTable& table, const KeyCombination& pressed) {
    for (int i = 0; i < table.Count(); ++i)
        if (MatchKeyCombination(pressed, table.Combination(i))) return i;
    return -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const uint8_t settingsBits = in.Byte();
    ShortcutTableBuilder builder(EngineSettings{(settingsBits & 1) != 0, (settingsBits & 2) != 0, 48});
    const int entries = static_cast<int>(in.Below(ShortcutTable::kCapacity + 8));
    for (int i = 0; i < entries; ++i)
        FUZZ_CHECK(builder.Add(MakeEntry(in), 0, "a", 1, "", 0) == (i < ShortcutTable::kCapacity));
    ShortcutTablePublisher publisher;
    publisher.Publish(builder.Finish());

    KeyCombination state{};
    while (!in.AtEnd()) {
        const uint8_t how = in.Byte();
        // Mostly the keys the entries use, with real modifier scan codes; any bits at all too.
        uint32_t wParam = how & 0x80 ? in.Word() : (how & 0x40 ? kShiftKey + how % 3 : 'A' + how % 8);
        uint32_t lParam = in.Dword();
        if (how & 0x20) {
            static const uint32_t kScans[] = {kLeftShiftScan, kRightShiftScan, kControlScan, kMenuScan};
            lParam = (lParam & ~(0xFFu << kScanCodeShift)) | kScans[how & 3] << kScanCodeShift;
        }
        const bool captureMode = (how & 0x1F) == 0x1F;

        ShortcutTablePublisher::Snapshot table = publisher.Acquire();
        const KeystrokeDecision d = DecideKeystroke(state, wParam, lParam, captureMode, *table);
        for (int group = 0; group < 3; ++group) {
            FUZZ_CHECK(ModifierFlag(state, group, 0) <= 1 && ModifierFlag(state, group, 1) <= 1);
            FUZZ_CHECK(ModifierFlag(state, group, 2) == 0);
        }
        const bool release = (lParam & kTransitionBit) != 0;
        const bool wasDown = (lParam & kPreviousStateBit) != 0;
        const bool removes = table->Settings().removeKeystroke;
        FUZZ_CHECK(d.capture == captureMode);
        if (captureMode) {
            FUZZ_CHECK(d.swallow && d.launch < 0);
        } else if (!release) {
            FUZZ_CHECK(d.launch < 0 && !d.beep && !d.clearState);
            FUZZ_CHECK(d.swallow == (removes && FirstMatchByWalk(*table, state) >= 0));
        } else {
            FUZZ_CHECK(d.launch == (wasDown ? FirstMatchByWalk(*table, state) : -1));
            FUZZ_CHECK(d.launch < table->Count());
            FUZZ_CHECK(d.swallow == (d.launch >= 0 && removes));
            FUZZ_CHECK(d.beep == (d.swallow && table->Settings().beepAfterKeystroke));
            FUZZ_CHECK(d.clearState == (wasDown && !d.swallow));
        }
        if (d.clearState) state = KeyCombination{};
    }
    return 0;
}
