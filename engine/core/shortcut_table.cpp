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

// The pressed state's six sided flags as a number below 64, or 64 when the record has an
// "any" flag or a flag other than 0 or 1 and must be matched entry by entry.
unsigned ModifierPattern(const KeyCombination& k) {
    if (k.anyAlt | k.anyCtrl | k.anyShift) return 64;
    if ((k.leftAlt | k.rightAlt | k.leftCtrl | k.rightCtrl | k.leftShift | k.rightShift) > 1) return 64;
    return k.leftAlt | k.rightAlt << 1 | k.leftCtrl << 2 | k.rightCtrl << 3 | k.leftShift << 4 | k.rightShift << 5;
}

uint16_t GroupScanCode(const KeyCombination& k) { return k.virtualKey == 255 ? k.scanCode : 0; }

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
            if (g.virtualKey == entry.virtualKey && g.extended == entry.extended && g.scanCode == GroupScanCode(entry))
                break;
            link = &groups[*link].next;
        }
        if (*link < 0) {
            KeyGroup& g = groups[groupCount];
            g = KeyGroup{entry.virtualKey, GroupScanCode(entry), entry.extended, -1, {}};
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

int ShortcutTable::FindFirstMatch(const KeyCombination& pressed) const {
    const unsigned pattern = ModifierPattern(pressed);
    if (pattern < kPatterns && groups) {
        const uint16_t scanCode = GroupScanCode(pressed);
        for (int g = firstGroup[pressed.virtualKey & (kBuckets - 1)]; g >= 0; g = groups[g].next) {
            const KeyGroup& group = groups[g];
            if (group.virtualKey == pressed.virtualKey && group.extended == pressed.extended &&
                group.scanCode == scanCode)
                return group.firstMatch[pattern];
        }
        return -1;
    }
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
