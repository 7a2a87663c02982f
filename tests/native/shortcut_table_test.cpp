#include <gtest/gtest.h>

#include "core_test_support.h"

// The per-key lookup finds the first entry a walk finds ("146" shares the bucket of "F"); past the capacity none is added.
TEST(ShortcutTable, FirstMatchAgreesWithAWalkOverRandomTablesUpToTheCapacity) {
    std::mt19937 random(12345);
    const char* texts[] = {"F", "LCTRL + F", "CTRL + RSHIFT + F", "ALT + SHIFT + G", "RALT + EX 5B", "EX 5C", "LALT + 146", "FF", "none"};
    for (int round = 0; round < 20; ++round) {
        ShortcutTableBuilder builder{EngineSettings{}};
        std::vector<KeyCombination> entries;
        for (int i = 1 + static_cast<int>(random() % 250); i > 0; --i) {
            entries.push_back(ParseKeyCombination(texts[random() % 9]));
            EXPECT_EQ(builder.Add(entries.back(), 0, "a", 1, "", 0), entries.size() <= ShortcutTable::kCapacity);
        }
        entries.resize(std::min<size_t>(entries.size(), ShortcutTable::kCapacity));
        auto table = builder.Finish();
        for (int probe = 0; probe < 2000; ++probe) {
            KeyCombination pressed = entries[random() % entries.size()];
            const unsigned bits = random();
            for (int i = 0; i < 9; ++i) ModifierFlag(pressed, i / 3, i % 3) = i % 3 < 2 && (bits >> i & 1);
            pressed.extended ^= (bits >> 12 & 7) == 0;
            pressed.scanCode ^= (bits >> 15 & 7) == 0;
            auto match = [&](const KeyCombination& e) { return MatchKeyCombination(pressed, e); };
            auto walk = std::find_if(entries.begin(), entries.end(), match);
            ASSERT_EQ(table->FindFirstMatch(pressed), walk == entries.end() ? -1 : static_cast<int>(walk - entries.begin())) << round;
        }
    }
}

// Two threads publish tables of two stores (as two threads of a host reload) while two read: no table read is a mix.
TEST(ShortcutTablePublisher, ReadersNeverSeeAMixOfTwoStores) {
    auto build = [](char tag) {
        ShortcutTableBuilder builder{EngineSettings{false, false, static_cast<uint32_t>(tag)}};
        for (int i = 0; i < 50; ++i) {
            const std::string action(100 + i, tag), script(i + 1, tag);
            const KeyCombination k = ParseKeyCombination(tag == 'a' ? "LCTRL + A" : "RALT + B");
            builder.Add(k, i + 1, action.data(), action.size(), script.data(), script.size());
        }
        return builder.Finish();
    };
    ShortcutTablePublisher publisher;
    publisher.Publish(build('a'));
    std::atomic<bool> done{false};
    std::atomic<long> reads{0}, torn{0};
    auto read = [&] {
        for (; !done.load(); ++reads) {
            ShortcutTablePublisher::Snapshot table = publisher.Acquire();
            const char tag = static_cast<char>(table->Settings().beepType);
            for (int i = 0; i < table->Count(); ++i)
                torn += table->Combination(i).virtualKey != (tag == 'a' ? 'A' : 'B') || table->Type(i) != i + 1 ||
                        table->Action(i) != std::string(100 + i, tag) || table->Script(i) != std::string(i + 1, tag);
        }
    };
    auto publish = [&](int first) {
        for (int n = first; n < 1000; n += 2) publisher.Publish(build(n % 2 ? 'a' : 'b'));
    };
    std::thread threads[] = {std::thread(read), std::thread(read), std::thread(publish, 1)};
    publish(0);
    threads[2].join();
    done = true;
    threads[0].join(), threads[1].join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_GT(reads.load(), 0);
}
