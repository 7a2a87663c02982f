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
    for (int16_t& first : firstGroup) first = -1;
}

ShortcutTable::~ShortcutTable() {
    std::free(pool);
    std::free(groups);
}

bool ShortcutTable::BuildKeyGroups() {
    std::free(groups);
    groupCount = 0;
    groups = static_cast<KeyGroup*>(std::malloc(sizeof(KeyGroup) * static_cast<size_t>(count > 0 ? count : 1)));
    if (!groups) return false;
    for (int16_t& first : firstGroup) first = -1;
    for (int i = 0; i < count; ++i) {
        const KeyCombination& entry = combinations[i];
        int16_t* link = &firstGroup[entry.virtualKey & (kBuckets - 1)];
        while (*link >= 0) {
            const KeyGroup& g = groups[*link];
            if (g.virtualKey == entry.virtualKey && g.extended == entry.extended && g.scanCode == KeyGroupScanCode(entry))
                break;
            link = &groups[*link].next;
        }
        if (*link < 0) {
            KeyGroup& g = groups[groupCount];
            g = KeyGroup{entry.virtualKey, KeyGroupScanCode(entry), entry.extended, -1, {}};
            for (int16_t& first : g.firstMatch) first = -1;
            *link = static_cast<int16_t>(groupCount++);
        }
        KeyGroup& g = groups[*link];
        // Ask the matching rule itself about every pattern, so the lookup cannot drift
        // from it.
        for (unsigned p = 0; p < kPatterns; ++p) {
            if (g.firstMatch[p] >= 0) continue;
            KeyCombination pressed{};
            pressed.virtualKey = entry.virtualKey;
            pressed.scanCode = entry.scanCode;
            pressed.extended = entry.extended;
            pressed.leftAlt = p & 1;
            pressed.rightAlt = (p >> 1) & 1;
            pressed.leftCtrl = (p >> 2) & 1;
            pressed.rightCtrl = (p >> 3) & 1;
            pressed.leftShift = (p >> 4) & 1;
            pressed.rightShift = (p >> 5) & 1;
            if (MatchKeyCombination(pressed, entry)) g.firstMatch[p] = static_cast<int16_t>(i);
        }
    }
    return true;
}

void* ShortcutTable::operator new(size_t size, const std::nothrow_t&) noexcept { return std::malloc(size); }

void ShortcutTable::operator delete(void* block) noexcept { std::free(block); }

int ShortcutTable::FirstMatchByWalk(const KeyCombination& pressed) const {
    for (int i = 0; i < count; ++i) {
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
    return true;
}

std::unique_ptr<ShortcutTable> ShortcutTableBuilder::Finish() {
    if (table && !failed && !table->BuildKeyGroups()) failed = true;
    if (failed) table.reset();
    return std::move(table);
}

// The first table is static so that Acquire always has one, even when memory is short.
ShortcutTablePublisher::ShortcutTablePublisher() : current(&emptyTable) {}

ShortcutTablePublisher::~ShortcutTablePublisher() {
    Discard(current.load());
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
    // Only publishers take the lock; reloads are rare, so waiting is rare and short.
    for (unsigned spins = 0; lock.test_and_set(std::memory_order_acquire); ++spins) {
        if (spins >= 64) YieldProcessorTime();
    }
}

void ShortcutTablePublisher::Publish(std::unique_ptr<ShortcutTable> table) {
    if (!table) return;
    ShortcutTable* unused = nullptr;
    Lock();
    ShortcutTable* old = current.exchange(table.release(), std::memory_order_seq_cst);
    old->nextRetired = retired;
    retired = old;
    // A reader holding a retired table counted itself before that table was replaced and
    // still counts; one that counts itself after the exchange reads the new table. So no
    // reader now means nobody holds a retired table.
    if (readers.load(std::memory_order_seq_cst) == 0) {
        unused = retired;
        retired = nullptr;
    }
    Unlock();
    while (unused) {
        ShortcutTable* next = unused->nextRetired;
        Discard(unused);
        unused = next;
    }
}
