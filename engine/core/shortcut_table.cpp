#include "shortcut_table.h"

#include <cstring>

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

int ShortcutTable::FindFirstMatch(const KeyCombination& pressed) const {
    for (int i = firstInBucket[pressed.virtualKey & (kBuckets - 1)]; i >= 0; i = nextInBucket[i]) {
        if (MatchKeyCombination(pressed, combinations[i])) return i;
    }
    return -1;
}

ShortcutTableBuilder::ShortcutTableBuilder(const EngineSettings& settings) : table(new ShortcutTable) {
    table->settings = settings;
}

bool ShortcutTableBuilder::Add(const KeyCombination& combination, int32_t type, const char* action,
                               size_t actionLength, const char* script, size_t scriptLength) {
    ShortcutTable& t = *table;
    if (t.count >= ShortcutTable::kCapacity) return false;
    const int i = t.count++;
    t.combinations[i] = combination;
    t.types[i] = type;
    t.actionOffsets[i] = static_cast<uint32_t>(t.pool.size());
    t.pool.append(action, actionLength).push_back('\0');
    t.scriptOffsets[i] = static_cast<uint32_t>(t.pool.size());
    t.pool.append(script, scriptLength).push_back('\0');

    // Append to the end of the bucket's chain, keeping table order within it.
    t.nextInBucket[i] = -1;
    int16_t* link = &t.firstInBucket[combination.virtualKey & (ShortcutTable::kBuckets - 1)];
    while (*link >= 0) link = &t.nextInBucket[*link];
    *link = static_cast<int16_t>(i);
    return true;
}

std::unique_ptr<ShortcutTable> ShortcutTableBuilder::Finish() { return std::move(table); }

ShortcutTablePublisher::ShortcutTablePublisher() : current(new ShortcutTable) {}

ShortcutTablePublisher::~ShortcutTablePublisher() {
    delete current;
    while (retired) {
        ShortcutTable* next = retired->nextRetired;
        delete retired;
        retired = next;
    }
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
        delete unused;
        unused = next;
    }
}
