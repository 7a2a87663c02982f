// The hook runs in every process: a keystroke that launches nothing allocates nothing (malloc counted; on Windows the real hook too).
#include <gtest/gtest.h>

#include "core_test_support.h"

using namespace keystroke;
static std::atomic<long> allocations{0};

#ifdef _WIN32
#include "engine.h"
#include "drive.h"
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

TEST(KeystrokeAllocation, KeystrokesThatLaunchNothingAllocateNothing) {  // on a full table; on Windows also one from the store
    const char* texts[] = {"ALT + F", "CTRL + SHIFT + F"};
    ShortcutTableBuilder builder{EngineSettings{}};
    for (int i = 0; i < ShortcutTable::kCapacity; ++i) builder.Add(ParseKeyCombination(texts[i % 2]), 0, "a", 1, "", 0);
    ShortcutTablePublisher publisher;
    publisher.Publish(builder.Finish());
#ifdef _WIN32
    drive::Clear();
    drive::CreateRoot();
    for (int i = 0; i < ShortcutTable::kCapacity; ++i) drive::WriteItem(i, texts[i % 2], "a");
    ASSERT_EQ(LoadShortcutTable(), ShortcutTable::kCapacity);
#endif
    const uint32_t ctrl = 1u | uint32_t{kControlScan} << kScanCodeShift, f = 1u | 33u << kScanCodeShift;
    const uint32_t up = kPreviousStateBit | kTransitionBit;
    const long start = allocations.load();
    ASSERT_GT((std::string(100, 'x'), allocations.load()), start) << "the counter sees operator new";
    const long counted = allocations.load();
    KeyCombination state{};
    int fired = 0;
    for (int round = 0; round < 1000; ++round) {
        ShortcutTablePublisher::Snapshot table = publisher.Acquire();
        DecideKeystroke(state, kControlKey, ctrl, false, *table);
        DecideKeystroke(state, 'F', f, false, *table, kHeldKnown | kHeldLeftCtrl);  // scans every entry for F
        fired += DecideKeystroke(state, 'F', f | up, false, *table).launch >= 0;
        DecideKeystroke(state, 'G', f, true, *table);  // capture mode
#ifdef _WIN32
        for (const auto& [key, flags] : {std::pair<WPARAM, LPARAM>{kControlKey, ctrl}, {'F', f}, {'F', f | up}, {kControlKey, ctrl | up}})
            fired += KeyboardHookProc(HC_ACTION, key, flags) == -1;  // swallowed
#endif
    }
    EXPECT_EQ(allocations.load() - counted, 0);
    EXPECT_EQ(fired, 0);
}
