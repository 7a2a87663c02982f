// The engine's per-process shortcut table. A table is built aside by
// ShortcutTableBuilder and, once published, never changes; readers hold a snapshot
// while they look at it, so a reload in another thread never shows them a half-built
// entry.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "key_combination.h"

struct EngineSettings {
    bool removeKeystroke = true;
    bool beepAfterKeystroke = false;
    uint32_t beepType = 48;  // MB_ICONEXCLAMATION
};

class ShortcutTable {
public:
    static constexpr int kCapacity = 200;

    ShortcutTable();
    ~ShortcutTable();
    // Tables live in malloc memory so that the hook library needs no C++ exception support;
    // creation is always nothrow.
    static void* operator new(size_t size, const std::nothrow_t&) noexcept;
    static void operator delete(void* block) noexcept;
    ShortcutTable(const ShortcutTable&) = delete;
    ShortcutTable& operator=(const ShortcutTable&) = delete;

    int Count() const { return count; }
    const EngineSettings& Settings() const { return settings; }
    const KeyCombination& Combination(int i) const { return combinations[i]; }
    int32_t Type(int i) const { return types[i]; }
    // Zero-terminated texts that live as long as the table.
    const char* Action(int i) const { return pool + actionOffsets[i]; }
    const char* Script(int i) const { return pool + scriptOffsets[i]; }

    // Index of the first entry that MatchKeyCombination(pressed, entry) accepts, or -1.
    // Allocates nothing. A pressed state as the hook records it (0/1 sided flags, no
    // "any" flag) is answered from a per-key lookup by its modifier pattern, so a full
    // table costs no more than a small one; any other record walks the entries in
    // table order.
    int FindFirstMatch(const KeyCombination& pressed) const {
        const unsigned pattern = ModifierPattern(pressed);
        if (pattern >= kPatterns || !groups) return FirstMatchByWalk(pressed);
        const uint16_t scanCode = KeyGroupScanCode(pressed);
        for (int g = firstGroup[pressed.virtualKey & (kBuckets - 1)]; g >= 0; g = groups[g].next) {
            const KeyGroup& group = groups[g];
            if (group.virtualKey == pressed.virtualKey && group.extended == pressed.extended && group.scanCode == scanCode)
                return group.firstMatch[pattern];
        }
        return -1;
    }

private:
    friend class ShortcutTableBuilder;
    friend class ShortcutTablePublisher;

    static constexpr int kBuckets = 256;
    static constexpr unsigned kPatterns = 64;  // the six sided modifier flags

    // Entries that share one main key: virtual-key code, extended flag, and the scan
    // code when the code is 255 (the only case in which it matters for matching).
    struct KeyGroup {
        uint16_t virtualKey;
        uint16_t scanCode;
        uint8_t extended;
        int16_t next;                   // next group in the same bucket
        int16_t firstMatch[kPatterns];  // first entry accepting each modifier pattern
    };

    // The pressed state's six sided flags as a number below 64, or 64 when the record has
    // an "any" flag or a flag other than 0 or 1 and must be matched entry by entry.
    static unsigned ModifierPattern(const KeyCombination& k) {
        if (k.anyAlt | k.anyCtrl | k.anyShift) return kPatterns;
        if ((k.leftAlt | k.rightAlt | k.leftCtrl | k.rightCtrl | k.leftShift | k.rightShift) > 1) return kPatterns;
        return k.leftAlt | k.rightAlt << 1 | k.leftCtrl << 2 | k.rightCtrl << 3 | k.leftShift << 4 | k.rightShift << 5;
    }
    static uint16_t KeyGroupScanCode(const KeyCombination& k) { return k.virtualKey == 255 ? k.scanCode : 0; }

    int FirstMatchByWalk(const KeyCombination& pressed) const;
    // False when memory ran out.
    bool BuildKeyGroups();

    int count = 0;
    EngineSettings settings;
    KeyCombination combinations[kCapacity];
    int32_t types[kCapacity];
    uint32_t actionOffsets[kCapacity];
    uint32_t scriptOffsets[kCapacity];
    int16_t firstGroup[kBuckets];
    KeyGroup* groups = nullptr;  // malloc memory, at most one group per entry
    int groupCount = 0;
    // Every action and script, each with its terminator. Plain malloc memory: the hook
    // library carries no C++ exception machinery.
    char* pool = nullptr;
    size_t poolSize = 0;
    size_t poolCapacity = 0;

    // Owned by the publisher's lock.
    ShortcutTable* nextRetired = nullptr;
};

class ShortcutTableBuilder {
public:
    explicit ShortcutTableBuilder(const EngineSettings& settings);

    // False when memory ran out; the builder then yields no table.
    bool Ok() const { return table != nullptr && !failed; }
    EngineSettings& Settings() { return table ? table->settings : spareSettings; }
    bool Full() const { return !table || table->count >= ShortcutTable::kCapacity; }
    // Appends an entry when the table has room; returns whether it was added.
    bool Add(const KeyCombination& combination, int32_t type, const char* action, size_t actionLength,
             const char* script, size_t scriptLength);
    // The finished table, or null when memory ran out.
    std::unique_ptr<ShortcutTable> Finish();

private:
    bool Append(const char* text, size_t length, uint32_t& offset);

    std::unique_ptr<ShortcutTable> table;
    bool failed = false;
    EngineSettings spareSettings;
};

// Holds the current table of the process and hands out snapshots of it. Taking and
// dropping a snapshot costs one atomic increment and one decrement of a reader count;
// a replaced table is freed by a later Publish that finds no reader at all, since any
// reader still holding it took its snapshot before the table was replaced and counts
// until it drops it.
class ShortcutTablePublisher {
public:
    class Snapshot {
    public:
        Snapshot(Snapshot&& other) noexcept : owner(other.owner), table(other.table) { other.table = nullptr; }
        Snapshot(const Snapshot&) = delete;
        Snapshot& operator=(const Snapshot&) = delete;
        ~Snapshot() { if (table) owner->readers.fetch_sub(1, std::memory_order_release); }
        const ShortcutTable& operator*() const { return *table; }
        const ShortcutTable* operator->() const { return table; }

    private:
        friend class ShortcutTablePublisher;
        Snapshot(ShortcutTablePublisher* o, const ShortcutTable* t) : owner(o), table(t) {}
        ShortcutTablePublisher* owner;
        const ShortcutTable* table;
    };

    ShortcutTablePublisher();
    ~ShortcutTablePublisher();
    ShortcutTablePublisher(const ShortcutTablePublisher&) = delete;
    ShortcutTablePublisher& operator=(const ShortcutTablePublisher&) = delete;

    // Never waits; allocates nothing. The count goes up before the table is read, so a
    // Publish that sees no reader knows that nobody can hold a table it replaced.
    Snapshot Acquire() {
        readers.fetch_add(1, std::memory_order_seq_cst);
        return Snapshot(this, current.load(std::memory_order_seq_cst));
    }
    // Makes the table current. Tables replaced earlier are freed here once no reader
    // holds a snapshot, so readers never free anything.
    void Publish(std::unique_ptr<ShortcutTable> table);

private:
    void Lock();
    void Unlock() { lock.clear(std::memory_order_release); }
    void Discard(ShortcutTable* table);

    std::atomic<int> readers{0};
    std::atomic<ShortcutTable*> current;
    // Serialises publishers (every thread that gets the reload message reloads).
    std::atomic_flag lock = ATOMIC_FLAG_INIT;
    ShortcutTable* retired = nullptr;  // replaced tables that a reader may still hold
    ShortcutTable emptyTable;
};
