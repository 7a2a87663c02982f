// The keyboard hook runs in every process of the desktop: a keystroke that launches nothing
// must not touch the heap. Counted by replacing malloc (which operator new calls), so in a
// program of its own without sanitizers; Windows builds wrap it at link time and also drive
// the real hook.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "core/keystroke_decision.h"

using namespace keystroke;
static std::atomic<long> allocations{0};

#ifdef _WIN32
#include "engine.h"
#include "test_store.h"
#define REAL(f) __real_##f
#define COUNTED(f) __wrap_##f
#else
#define REAL(f) __libc_##f
#define COUNTED(f) f
#endif
extern "C" {
void* REAL(malloc)(size_t);
void* REAL(calloc)(size_t, size_t);
void* REAL(realloc)(void*, size_t);
void* COUNTED(malloc)(size_t size) { return ++allocations, REAL(malloc)(size); }
void* COUNTED(calloc)(size_t count, size_t size) { return ++allocations, REAL(calloc)(count, size); }
void* COUNTED(realloc)(void* block, size_t size) { return ++allocations, REAL(realloc)(block, size); }
}

TEST(KeystrokeAllocation, KeystrokesThatLaunchNothingAllocateNothing) {
    ShortcutTableBuilder builder{EngineSettings{}};
    for (int i = 0; i < ShortcutTable::kCapacity; ++i) builder.Add(ParseKeyCombination(i % 2 ? "CTRL + SHIFT + F" : "ALT + F"), 0, "a", 1, "", 0);
    ShortcutTablePublisher publisher;
    publisher.Publish(builder.Finish());
    const uint32_t fPress = 1u | (33u << kScanCodeShift), fRelease = fPress | kPreviousStateBit | kTransitionBit;
    KeyCombination state{};
    const long start = allocations.load();
    ASSERT_GT((std::string(100, 'x'), allocations.load()), start) << "the counter sees operator new";
    const long counted = allocations.load();
    int fired = 0;
    for (int round = 0; round < 1000; ++round) {
        ShortcutTablePublisher::Snapshot table = publisher.Acquire();
        DecideKeystroke(state, kControlKey, 1u | (uint32_t{kControlScan} << kScanCodeShift), false, *table);
        DecideKeystroke(state, 'F', fPress, false, *table, kHeldKnown | kHeldLeftCtrl);  // scans every entry for F
        fired += DecideKeystroke(state, 'F', fRelease, false, *table).launch >= 0;
        DecideKeystroke(state, 'G', fPress, true, *table);  // capture mode
    }
    EXPECT_EQ(allocations.load() - counted, 0);
    EXPECT_EQ(fired, 0);
}

#ifdef _WIN32
TEST(KeystrokeAllocation, TheHookAllocatesNothingForKeystrokesThatLaunchNothing) {  // on a table from the store
    teststore::Clear();
    teststore::CreateRoot();
    for (int i = 0; i < ShortcutTable::kCapacity; ++i) teststore::WriteItem(i, i % 2 ? "CTRL + SHIFT + F" : "ALT + F", "a");
    ASSERT_EQ(LoadShortcutTable(), ShortcutTable::kCapacity);
    const LPARAM ctrl = 1 | (kControlScan << kScanCodeShift), f = 1 | (33 << kScanCodeShift), released = kPreviousStateBit | kTransitionBit;
    const long start = allocations.load();
    int swallowed = 0;
    for (int round = 0; round < 1000; ++round)
        for (const auto& [key, flags] : {std::pair<WPARAM, LPARAM>{kControlKey, ctrl}, {'F', f}, {'F', f | released},
                                         {kControlKey, ctrl | released}})
            swallowed += KeyboardHookProc(HC_ACTION, key, flags) == -1;
    EXPECT_EQ(allocations.load() - start, 0);
    EXPECT_EQ(swallowed, 0);
}
#endif
