// The keyboard hook runs in every process of the desktop; a keystroke that launches
// nothing must not touch the heap. Counted by replacing the global allocators, which is
// why this is a program of its own, built without sanitizers.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "core/keystroke_decision.h"

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void __libc_free(void*);

namespace {
std::atomic<long> allocations{0};
}

extern "C" void* malloc(size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
extern "C" void* calloc(size_t count, size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}
extern "C" void* realloc(void* block, size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(block, size);
}
extern "C" void free(void* block) { __libc_free(block); }

void* operator new(size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = __libc_malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { __libc_free(p); }
void operator delete[](void* p) noexcept { __libc_free(p); }
void operator delete(void* p, size_t) noexcept { __libc_free(p); }
void operator delete[](void* p, size_t) noexcept { __libc_free(p); }

namespace {

TEST(KeystrokeAllocation, KeystrokesThatLaunchNothingAllocateNothing) {
    ShortcutTableBuilder builder{EngineSettings{}};
    for (int i = 0; i < ShortcutTable::kCapacity; ++i) {
        const std::string action = "action " + std::to_string(i);
        const char* text = i % 2 ? "CTRL + SHIFT + F" : "ALT + F";
        builder.Add(ParseKeyCombination(std::string(text)), 0, action.data(), action.size(), "", 0);
    }
    ShortcutTablePublisher publisher;
    publisher.Publish(builder.Finish());

    using namespace keystroke;
    const uint32_t fPress = 1u | (33u << kScanCodeShift);
    const uint32_t fRelease = fPress | kPreviousStateBit | kTransitionBit;
    const uint32_t ctrlPress = 1u | (uint32_t{kControlScan} << kScanCodeShift);
    KeyCombination state{};

    // Sanity check that the counter sees allocations at all.
    const long before = allocations.load();
    std::string probe(100, 'x');
    ASSERT_GT(allocations.load(), before);

    const long start = allocations.load();
    int fired = 0;
    for (int round = 0; round < 1000; ++round) {
        ShortcutTablePublisher::Snapshot table = publisher.Acquire();
        DecideKeystroke(state, kControlKey, ctrlPress, false, *table);
        DecideKeystroke(state, 'F', fPress, false, *table);    // scans every entry for F
        fired += DecideKeystroke(state, 'F', fRelease, false, *table).launch >= 0;
        DecideKeystroke(state, 'G', fPress, true, *table);     // capture mode
    }
    EXPECT_EQ(allocations.load() - start, 0);
    EXPECT_EQ(fired, 0);
}

}  // namespace
