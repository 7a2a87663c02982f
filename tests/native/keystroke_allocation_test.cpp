// The keyboard hook runs in every process of the desktop; a keystroke that launches
// nothing must not touch the heap. Counted by replacing malloc (which operator new calls),
// which is why this is a program of its own, built without sanitizers.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "core/keystroke_decision.h"

static std::atomic<long> allocations{0};

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* malloc(size_t size) { return ++allocations, __libc_malloc(size); }
void* calloc(size_t count, size_t size) { return ++allocations, __libc_calloc(count, size); }
void* realloc(void* block, size_t size) { return ++allocations, __libc_realloc(block, size); }
}

TEST(KeystrokeAllocation, KeystrokesThatLaunchNothingAllocateNothing) {
    ShortcutTableBuilder builder{EngineSettings{}};
    for (int i = 0; i < ShortcutTable::kCapacity; ++i) builder.Add(ParseKeyCombination(i % 2 ? "CTRL + SHIFT + F" : "ALT + F"), 0, "a", 1, "", 0);
    ShortcutTablePublisher publisher;
    publisher.Publish(builder.Finish());
    using namespace keystroke;
    const uint32_t fPress = 1u | (33u << kScanCodeShift), fRelease = fPress | kPreviousStateBit | kTransitionBit;
    KeyCombination state{};
    const long before = allocations.load();
    std::string probe(100, 'x');  // the counter sees operator new
    ASSERT_GT(allocations.load(), before);

    const long start = allocations.load();
    int fired = 0;
    for (int round = 0; round < 1000; ++round) {
        ShortcutTablePublisher::Snapshot table = publisher.Acquire();
        DecideKeystroke(state, kControlKey, 1u | (uint32_t{kControlScan} << kScanCodeShift), false, *table);
        DecideKeystroke(state, 'F', fPress, false, *table, kHeldKnown | kHeldLeftCtrl);  // scans every entry for F
        fired += DecideKeystroke(state, 'F', fRelease, false, *table).launch >= 0;
        DecideKeystroke(state, 'G', fPress, true, *table);  // capture mode
    }
    EXPECT_EQ(allocations.load() - start, 0);
    EXPECT_EQ(fired, 0);
}
