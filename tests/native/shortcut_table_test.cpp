#include "core/shortcut_table.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <random>
#include <vector>
#include <string>
#include <thread>

namespace {

void Add(ShortcutTableBuilder& builder, const char* shortcut, int32_t type, const std::string& action,
         const std::string& script = "") {
    builder.Add(ParseKeyCombination(std::string(shortcut)), type, action.data(), action.size(), script.data(),
                script.size());
}

KeyCombination LeftCtrl(uint16_t vk) {
    KeyCombination k{};
    k.virtualKey = vk;
    k.leftCtrl = 1;
    return k;
}

TEST(ShortcutTable, FirstMatchWinsInTableOrderAcrossSharedKeys) {
    ShortcutTableBuilder builder{EngineSettings{}};
    Add(builder, "SHIFT + F", 0, "shift-f");
    Add(builder, "LCTRL + F", 0, "first");
    Add(builder, "CTRL + 146", 0, "same-low-byte");  // 0x146 shares the bucket of 'F'
    Add(builder, "CTRL + F", 1, "second", "echo");
    auto table = builder.Finish();
    ASSERT_EQ(table->Count(), 4);
    EXPECT_EQ(table->FindFirstMatch(LeftCtrl('F')), 1);
    KeyCombination right{};
    right.virtualKey = 'F';
    right.rightCtrl = 1;
    EXPECT_EQ(table->FindFirstMatch(right), 3);
    EXPECT_STREQ(table->Action(3), "second");
    EXPECT_STREQ(table->Script(3), "echo");
    EXPECT_EQ(table->Type(3), 1);
    EXPECT_EQ(table->FindFirstMatch(LeftCtrl('G')), -1);
    EXPECT_EQ(table->FindFirstMatch(LeftCtrl(0x146)), 2);
}

TEST(ShortcutTable, HoldsAtMostTheCapacityAndKeepsEmbeddedText) {
    ShortcutTableBuilder builder{EngineSettings{}};
    for (int i = 0; i < ShortcutTable::kCapacity; ++i) Add(builder, "CTRL + G", 0, "x" + std::to_string(i));
    EXPECT_TRUE(builder.Full());
    Add(builder, "CTRL + G", 0, "overflow");
    auto table = builder.Finish();
    EXPECT_EQ(table->Count(), ShortcutTable::kCapacity);
    EXPECT_STREQ(table->Action(199), "x199");
    EXPECT_EQ(table->FindFirstMatch(LeftCtrl('G')), 0);
}

// The per-key lookup must give exactly what a plain walk over the table with the
// matching rule gives, for hook-style states and for records with "any" flags alike.
TEST(ShortcutTable, LookupAgreesWithAWalkOverTheMatchingRule) {
    std::mt19937 random(12345);
    const char* words[] = {"ALT + ", "LALT + ", "RALT + ", "CTRL + ", "LCTRL + ", "RCTRL + ",
                           "SHIFT + ", "LSHIFT + ", "RSHIFT + "};
    const char* keys[] = {"F", "G", "EX 5B", "EX 5C", "FF", "1B", "146", "none"};
    for (int round = 0; round < 20; ++round) {
        ShortcutTableBuilder builder{EngineSettings{}};
        std::vector<KeyCombination> entries;
        const int count = 1 + static_cast<int>(random() % ShortcutTable::kCapacity);
        for (int i = 0; i < count; ++i) {
            std::string text;
            for (const char* word : words)
                if (random() % 4 == 0) text += word;
            text += keys[random() % 8];
            KeyCombination k = ParseKeyCombination(text);
            if (random() % 8 == 0) k.extended = 1;
            entries.push_back(k);
            builder.Add(k, 0, "a", 1, "", 0);
        }
        auto table = builder.Finish();
        for (int probe = 0; probe < 2000; ++probe) {
            KeyCombination pressed = entries[random() % entries.size()];
            const unsigned bits = random();
            pressed.leftAlt = bits & 1;
            pressed.rightAlt = bits >> 1 & 1;
            pressed.leftCtrl = bits >> 2 & 1;
            pressed.rightCtrl = bits >> 3 & 1;
            pressed.leftShift = bits >> 4 & 1;
            pressed.rightShift = bits >> 5 & 1;
            // Mostly hook-style states; some keep "any" flags or odd values.
            if (bits >> 6 & 3) pressed.anyAlt = pressed.anyCtrl = pressed.anyShift = 0;
            if ((bits >> 8 & 15) == 0) pressed.leftCtrl = 2;
            if ((bits >> 12 & 7) == 0) pressed.extended ^= 1;
            if ((bits >> 15 & 7) == 0) pressed.scanCode ^= 1;
            int expected = -1;
            for (int i = 0; i < count && expected < 0; ++i)
                if (MatchKeyCombination(pressed, entries[i])) expected = i;
            ASSERT_EQ(table->FindFirstMatch(pressed), expected)
                << "round " << round << " probe " << probe << " text " << FormatKeyCombination(pressed, ModifierMode::Sided).text;
        }
    }
}

// One thread publishes tables built from two different stores in turn while another
// reads entries: every entry read must belong wholly to one of the two stores.
TEST(ShortcutTablePublisher, ReadersNeverSeeAMixOfTwoStores) {
    auto build = [](char tag) {
        ShortcutTableBuilder builder{EngineSettings{}};
        builder.Settings().beepType = static_cast<uint32_t>(tag);
        const char* key = tag == 'a' ? "LCTRL + A" : "RALT + B";
        for (int i = 0; i < 50; ++i) {
            Add(builder, key, tag == 'a' ? 0 : 2, std::string(100 + i, tag), std::string(i, tag));
        }
        return builder.Finish();
    };
    ShortcutTablePublisher publisher;
    publisher.Publish(build('a'));
    std::atomic<bool> done{false};
    std::atomic<long> reads{0};
    std::atomic<long> torn{0};
    std::thread reader([&] {
        while (!done.load()) {
            ShortcutTablePublisher::Snapshot table = publisher.Acquire();
            const char tag = static_cast<char>(table->Settings().beepType);
            for (int i = 0; i < table->Count(); ++i) {
                const bool ok = table->Combination(i).virtualKey == (tag == 'a' ? 'A' : 'B') &&
                                table->Type(i) == (tag == 'a' ? 0 : 2) &&
                                std::strlen(table->Action(i)) == static_cast<size_t>(100 + i) &&
                                table->Action(i)[0] == tag && table->Action(i)[99 + i] == tag &&
                                std::strlen(table->Script(i)) == static_cast<size_t>(i) &&
                                (i == 0 || table->Script(i)[i - 1] == tag);
                if (!ok) ++torn;
            }
            ++reads;
        }
    });
    for (int n = 0; n < 5000; ++n) publisher.Publish(build(n % 2 ? 'a' : 'b'));
    done = true;
    reader.join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_GT(reads.load(), 0);
}

}  // namespace
