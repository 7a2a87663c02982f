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
    for (int16_t& first : firstInBucket) first = -1;
    for (int16_t& first : firstGroup) first = -1;
}

void ShortcutTable::BuildKeyGroups() {
    groups.clear();
    groups.reserve(static_cast<size_t>(count));
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
            KeyGroup g{entry.virtualKey, GroupScanCode(entry), entry.extended, -1, {}};
            for (int16_t& first : g.firstMatch) first = -1;
            groups.push_back(g);
            *link = static_cast<int16_t>(groups.size() - 1);
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
}

int ShortcutTable::FindFirstMatch(const KeyCombination& pressed) const {
    const unsigned pattern = ModifierPattern(pressed);
    if (pattern < kPatterns) {
        const uint16_t scanCode = GroupScanCode(pressed);
        for (int g = firstGroup[pressed.virtualKey & (kBuckets - 1)]; g >= 0; g = groups[g].next) {
            const KeyGroup& group = groups[g];
            if (group.virtualKey == pressed.virtualKey && group.extended == pressed.extended &&
                group.scanCode == scanCode)
                return group.firstMatch[pattern];
        }
        return -1;
    }
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

std::unique_ptr<ShortcutTable> ShortcutTableBuilder::Finish() {
    if (table) table->BuildKeyGroups();
    return std::move(table);
}

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
