// Cost of the keyboard hook's decision for one keystroke on a full table, with and
// without taking the table snapshot the hook takes.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "core/keystroke_decision.h"
#include "core/shortcut_table.h"

namespace {

using namespace keystroke;

// 200 entries on one main key, so the scan walks the whole table; only the last has
// Right Ctrl with Right Shift.
std::unique_ptr<ShortcutTable> FullTableOnOneKey() {
    ShortcutTableBuilder builder{EngineSettings{}};
    const char* modifiers[] = {"LCTRL + ", "CTRL + LSHIFT + ", "LALT + RSHIFT + ", "ALT + CTRL + "};
    for (int i = 0; i < ShortcutTable::kCapacity; ++i) {
        std::string text = std::string(modifiers[i % 4]) + "F";
        if (i == ShortcutTable::kCapacity - 1) text = "RCTRL + RSHIFT + F";
        const std::string action = "program" + std::to_string(i) + ".exe";
        builder.Add(ParseKeyCombination(text), 0, action.data(), action.size(), "", 0);
    }
    return builder.Finish();
}

KeyCombination HeldRightCtrlShift() {
    KeyCombination k{};
    k.rightCtrl = 1;
    k.rightShift = 1;
    return k;
}

constexpr uint32_t kPress = 1u | (33u << kScanCodeShift);
constexpr uint32_t kRelease = kPress | kPreviousStateBit | kTransitionBit;

void BM_Decide(benchmark::State& state, uint16_t vk, uint32_t lParam, int expected) {
    const std::unique_ptr<ShortcutTable> table = FullTableOnOneKey();
    KeyCombination pressed = HeldRightCtrlShift();
    for (auto _ : state) {
        KeystrokeDecision decision = DecideKeystroke(pressed, vk, lParam, false, *table);
        benchmark::DoNotOptimize(decision);
        if (decision.launch != expected) state.SkipWithError("unexpected match");
    }
}
// 'G' has no entry; an F press scans all 200 and matches the last.
BENCHMARK_CAPTURE(BM_Decide, no_match_press, static_cast<uint16_t>('G'), kPress, -1);
BENCHMARK_CAPTURE(BM_Decide, last_entry_press, static_cast<uint16_t>('F'), kPress, -1);
BENCHMARK_CAPTURE(BM_Decide, last_entry_release, static_cast<uint16_t>('F'), kRelease, 199);

// The whole non-launching hook path: snapshot, decision, release of the snapshot.
void BM_DecideWithSnapshot(benchmark::State& state, uint16_t vk) {
    ShortcutTablePublisher publisher;
    publisher.Publish(FullTableOnOneKey());
    KeyCombination pressed = HeldRightCtrlShift();
    for (auto _ : state) {
        ShortcutTablePublisher::Snapshot table = publisher.Acquire();
        benchmark::DoNotOptimize(DecideKeystroke(pressed, vk, kPress, false, *table));
    }
}
BENCHMARK_CAPTURE(BM_DecideWithSnapshot, no_match, static_cast<uint16_t>('G'));
BENCHMARK_CAPTURE(BM_DecideWithSnapshot, last_entry, static_cast<uint16_t>('F'));

}  // namespace
