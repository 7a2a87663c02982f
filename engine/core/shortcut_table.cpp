#include "shortcut_table.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(_WIN32)
extern "C" __declspec(dllimport) int __stdcall SwitchToThread(void);
#else
#include <sched.h>
#endif

namespace {

void YieldProcessorTime() {
#if defined(_WIN32)
    SwitchToThread();
#else
    sched_yield();
#endif
}

}  // namespace

ShortcutTable::ShortcutTable() {
    for (int16_t& first : firstInBucket) first = -1;
}

ShortcutTable::~ShortcutTable() { std::free(pool); }

void* ShortcutTable::operator new(size_t size, const std::nothrow_t&) noexcept { return std::malloc(size); }

void ShortcutTable::operator delete(void* block) noexcept { std::free(block); }

int ShortcutTable::FindFirstMatch(const KeyCombination& pressed) const {
    for (int i = firstInBucket[pressed.virtualKey & (kBuckets - 1)]; i >= 0; i = nextInBucket[i]) {
        if (MatchKeyCombination(pressed, combinations[i])) return i;
    }
    return -1;
}

ShortcutTableBuilder::ShortcutTableBuilder(const EngineSettings& settings)
    : table(new (std::nothrow) ShortcutTable) {
    if (table) table->settings = settings;
}

bool ShortcutTableBuilder::Append(const char* text, size_t length, uint32_t& offset) {
    ShortcutTable& t = *table;
    const size_t needed = t.poolSize + length + 1;
    if (needed > UINT32_MAX) return false;
    if (needed > t.poolCapacity) {
        size_t capacity = t.poolCapacity ? t.poolCapacity * 2 : 1024;
        while (capacity < needed) capacity *= 2;
        char* grown = static_cast<char*>(std::realloc(t.pool, capacity));
        if (!grown) return false;
        t.pool = grown;
        t.poolCapacity = capacity;
    }
    offset = static_cast<uint32_t>(t.poolSize);
    if (length) std::memcpy(t.pool + t.poolSize, text, length);
    t.pool[t.poolSize + length] = '\0';
    t.poolSize = needed;
    return true;
}

bool ShortcutTableBuilder::Add(const KeyCombination& combination, int32_t type, const char* action,
                               size_t actionLength, const char* script, size_t scriptLength) {
    if (!Ok() || Full()) return false;
    ShortcutTable& t = *table;
    const int i = t.count;
    if (!Append(action, actionLength, t.actionOffsets[i]) || !Append(script, scriptLength, t.scriptOffsets[i])) {
        failed = true;
        return false;
    }
    t.count++;
    t.combinations[i] = combination;
    t.types[i] = type;

    // Append to the end of the bucket's chain, keeping table order within it.
    t.nextInBucket[i] = -1;
    int16_t* link = &t.firstInBucket[combination.virtualKey & (ShortcutTable::kBuckets - 1)];
    while (*link >= 0) link = &t.nextInBucket[*link];
    *link = static_cast<int16_t>(i);
    return true;
}

std::unique_ptr<ShortcutTable> ShortcutTableBuilder::Finish() {
    if (failed) table.reset();
    return std::move(table);
}

// The first table is static so that Acquire always has one, even when memory is short.
ShortcutTablePublisher::ShortcutTablePublisher() : current(&emptyTable) {}

ShortcutTablePublisher::~ShortcutTablePublisher() {
    Discard(current);
    while (retired) {
        ShortcutTable* next = retired->nextRetired;
        Discard(retired);
        retired = next;
    }
}

void ShortcutTablePublisher::Discard(ShortcutTable* table) {
    if (table != &emptyTable) delete table;
}

void ShortcutTablePublisher::Lock() {
    // The lock only guards a pointer and reader counts, so waiting is rare and short.
    for (unsigned spins = 0; lock.test_and_set(std::memory_order_acquire); ++spins) {
        if (spins >= 64) YieldProcessorTime();
    }
}

ShortcutTablePublisher::Snapshot ShortcutTablePublisher::Acquire() {
    Lock();
    ShortcutTable* table = current;
    ++table->readers;
    Unlock();
    return Snapshot(this, table);
}

void ShortcutTablePublisher::Release(const ShortcutTable* table) {
    Lock();
    --const_cast<ShortcutTable*>(table)->readers;
    Unlock();
}

void ShortcutTablePublisher::Publish(std::unique_ptr<ShortcutTable> table) {
    if (!table) return;
    ShortcutTable* unused = nullptr;
    Lock();
    current->nextRetired = retired;
    retired = current;
    current = table.release();
    for (ShortcutTable** link = &retired; *link;) {
        ShortcutTable* old = *link;
        if (old->readers == 0) {
            *link = old->nextRetired;
            old->nextRetired = unused;
            unused = old;
        } else {
            link = &old->nextRetired;
        }
    }
    Unlock();
    while (unused) {
        ShortcutTable* next = unused->nextRetired;
        Discard(unused);
        unused = next;
    }
}
