// The keyboard hook runs in every process of the desktop; a keystroke that launches
// nothing must not touch the heap. Counted by replacing malloc (which operator new calls),
// which is why this is a program of its own, built without sanitizers. The Windows builds
// (32- and 64-bit) count through the linker's --wrap and also drive the real hook.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "core/keystroke_decision.h"

static std::atomic<long> allocations{0};

#ifdef _WIN32
#include "engine.h"
#include "test_store.h"

extern "C" {
void* __real_malloc(size_t);
void* __real_calloc(size_t, size_t);
void* __real_realloc(void*, size_t);
void* __wrap_malloc(size_t size) { return ++allocations, __real_malloc(size); }
void* __wrap_calloc(size_t count, size_t size) { return ++allocations, __real_calloc(count, size); }
void* __wrap_realloc(void* block, size_t size) { return ++allocations, __real_realloc(block, size); }
}
#else
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* malloc(size_t size) { return ++allocations, __libc_malloc(size); }
void* calloc(size_t count, size_t size) { return ++allocations, __libc_calloc(count, size); }
void* realloc(void* block, size_t size) { return ++allocations, __libc_realloc(block, size); }
}
#endif

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

#ifdef _WIN32
// The whole hook on a full table loaded from the store, as the library runs it.
TEST(KeystrokeAllocation, TheHookAllocatesNothingForKeystrokesThatLaunchNothing) {
    teststore::Clear();
    teststore::CreateRoot();
    for (int i = 0; i < ShortcutTable::kCapacity; ++i) teststore::WriteItem(i, i % 2 ? "CTRL + SHIFT + F" : "ALT + F", "a");
    ASSERT_EQ(LoadShortcutTable(), ShortcutTable::kCapacity);
    using namespace keystroke;
    const LPARAM ctrl = 1 | (kControlScan << kScanCodeShift), f = 1 | (33 << kScanCodeShift);
    const LPARAM released = kPreviousStateBit | kTransitionBit;
    const long start = allocations.load();
    int swallowed = 0;
    for (int round = 0; round < 1000; ++round) {
        for (const auto& [key, flags] : {std::pair<WPARAM, LPARAM>{kControlKey, ctrl}, {'F', f}, {'F', f | released},
                                         {kControlKey, ctrl | released}})
            swallowed += KeyboardHookProc(HC_ACTION, key, flags) == -1;
    }
    EXPECT_EQ(allocations.load() - start, 0);
    EXPECT_EQ(swallowed, 0);
    teststore::Clear();
}
#endif
