// Cost of matching a keystroke against a full table, of reading shortcut texts, and of
// the keyboard hook's whole decision for one keystroke.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/keystroke_decision.h"
#include "core/shortcut_table.h"

namespace {

// 200 entries on one main key F; only the last has Right Ctrl with Right Shift.
std::vector<KeyCombination> FullTable() {
    std::vector<KeyCombination> table;
    const char* modifiers[] = {"LCTRL + ", "CTRL + LSHIFT + ", "LALT + RSHIFT + ", "ALT + CTRL + "};
    for (int i = 0; i < ShortcutTable::kCapacity - 1; ++i) table.push_back(ParseKeyCombination(std::string(modifiers[i % 4]) + "F"));
    table.push_back(ParseKeyCombination("RCTRL + RSHIFT + F"));
    return table;
}

void BM_MatchLinearScan(benchmark::State& state, const char* pressedText) {
    const std::vector<KeyCombination> table = FullTable();
    const KeyCombination pressed = ParseKeyCombination(pressedText);
    for (auto _ : state) {
        size_t i = 0;
        while (i < table.size() && !MatchKeyCombination(pressed, table[i])) ++i;
        benchmark::DoNotOptimize(i);
    }
}
BENCHMARK_CAPTURE(BM_MatchLinearScan, no_match, "RCTRL + RSHIFT + G");
BENCHMARK_CAPTURE(BM_MatchLinearScan, last_entry, "RCTRL + RSHIFT + F");

void BM_ParseKeyCombination(benchmark::State& state) {
    const std::string texts[] = {"LCTRL + F", "ALT + CTRL + SHIFT + F12", "LALT + EX 5F", "RCTRL + BA", "none"};
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(ParseKeyCombination(texts[i++ % 5]));
}
BENCHMARK(BM_ParseKeyCombination);

// The hook's whole path for a key release with Right Ctrl and Right Shift held: snapshot, decision, release.
void BM_DecideWithSnapshot(benchmark::State& state, uint16_t vk, int expected) {
    ShortcutTableBuilder builder{EngineSettings{}};
    for (const KeyCombination& k : FullTable()) builder.Add(k, 0, "program.exe", 11, "", 0);
    ShortcutTablePublisher publisher;
    publisher.Publish(builder.Finish());
    const KeyCombination held = ParseKeyCombination("RCTRL + RSHIFT + ");
    const uint32_t release = 1u | (33u << keystroke::kScanCodeShift) | keystroke::kPreviousStateBit | keystroke::kTransitionBit;
    KeyCombination pressed = held;  // the hook's state, kept across keystrokes as the hook keeps it
    for (auto _ : state) {
        ShortcutTablePublisher::Snapshot table = publisher.Acquire();
        if (DecideKeystroke(pressed, vk, release, false, *table).launch != expected) state.SkipWithError("unexpected match");
    }
}
BENCHMARK_CAPTURE(BM_DecideWithSnapshot, no_match, uint16_t{'G'}, -1);
BENCHMARK_CAPTURE(BM_DecideWithSnapshot, last_entry, uint16_t{'F'}, ShortcutTable::kCapacity - 1);

}  // namespace
