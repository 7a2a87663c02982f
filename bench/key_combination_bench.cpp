// Cost of matching a keystroke against a full table, and of reading shortcut texts.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/key_combination.h"
#include "core/shortcut_table.h"

namespace {

std::vector<KeyCombination> FullTable() {
    std::vector<KeyCombination> table;
    const char* modifiers[] = {"LCTRL + ", "CTRL + SHIFT + ", "LALT + RSHIFT + ", "ALT + CTRL + "};
    for (int i = 0; i < 200; ++i) {
        std::string text = modifiers[i % 4];
        text += static_cast<char>('A' + i % 26);
        if (i == 199) text = "RCTRL + RSHIFT + F12";
        table.push_back(ParseKeyCombination(text));
    }
    return table;
}

KeyCombination Pressed(uint16_t vk) {
    KeyCombination k{};
    k.virtualKey = vk;
    k.rightCtrl = 1;
    k.rightShift = 1;
    return k;
}

void BM_MatchLinearScan(benchmark::State& state, uint16_t vk) {
    const std::vector<KeyCombination> table = FullTable();
    const KeyCombination pressed = Pressed(vk);
    for (auto _ : state) {
        int found = -1;
        for (int i = 0; i < static_cast<int>(table.size()); ++i) {
            if (MatchKeyCombination(pressed, table[i])) { found = i; break; }
        }
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK_CAPTURE(BM_MatchLinearScan, no_match, static_cast<uint16_t>('9'));
BENCHMARK_CAPTURE(BM_MatchLinearScan, last_entry, static_cast<uint16_t>(123));

void BM_ParseKeyCombination(benchmark::State& state) {
    const std::string texts[] = {"LCTRL + F", "ALT + CTRL + SHIFT + F12", "LALT + EX 5F", "RCTRL + BA", "none"};
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseKeyCombination(texts[i++ % 5]));
    }
}
BENCHMARK(BM_ParseKeyCombination);

}  // namespace
