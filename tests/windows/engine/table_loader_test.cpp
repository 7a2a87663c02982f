// The engine's loader against the real registry.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include "core/shortcut_store.h"
#include "engine.h"
#include "test_store.h"

namespace {

using teststore::ItemPath;

EngineSettings Settings() { return AcquireShortcutTable()->Settings(); }

// The first test of the program: nothing has been loaded yet.
TEST(TableLoader, RootAndVersionDecideWhetherAnythingLoads) {
    EXPECT_EQ(LoadShortcutTable(), 0) << "no root key";
    EXPECT_TRUE(Settings().removeKeystroke);
    EXPECT_FALSE(Settings().beepAfterKeystroke);
    EXPECT_EQ(Settings().beepType, 48u);

    teststore::WriteItem(0, "CTRL + F", "calc.exe");
    teststore::SetDword(store::kRootPath, store::kBeepType, 16);
    EXPECT_EQ(LoadShortcutTable(), 0) << "root without Version";
    EXPECT_EQ(Settings().beepType, 48u);
    teststore::SetString(store::kRootPath, store::kVersion, "65536");
    EXPECT_EQ(LoadShortcutTable(), 0) << "Version as REG_SZ";
    const std::pair<DWORD, int> versions[] = {{0x0, 1}, {0x20005, 1}, {0x200FF, 1}, {0x30000, 0}, {0x100, 0}};
    for (const auto& [version, loads] : versions) {
        if (!loads) teststore::SetDword(store::kRootPath, store::kBeepType, 64);  // a rejected store keeps 16
        teststore::SetDword(store::kRootPath, store::kVersion, version);
        EXPECT_EQ(LoadShortcutTable(), loads) << std::hex << version;
        EXPECT_EQ(Settings().beepType, 16u) << std::hex << version;
    }
    teststore::CreateRoot();
    teststore::DeleteValue(store::kRootPath, store::kBeepType);
    EXPECT_EQ(LoadShortcutTable(), 1);
    EXPECT_EQ(Settings().beepType, 16u) << "a deleted Beep type keeps its previous value";
}

// Invalid items are dropped, and items are read up to the first missing key and from at
// most 200 keys, however many of them loaded.
TEST(TableLoader, ItemKeys) {
    teststore::CreateRoot();
    for (int i = 0; i < 9; ++i) teststore::WriteItem(i, "CTRL + G", "x.exe");
    teststore::SetDword(ItemPath(0), store::kDisabled, 1);
    teststore::SetDword(ItemPath(1), store::kDisabled, 7);
    teststore::DeleteValue(ItemPath(2), store::kType);
    teststore::SetDword(ItemPath(3), store::kType, 4);
    teststore::SetDword(ItemPath(4), store::kAction, 7);
    teststore::SetString(ItemPath(5), store::kShortcut, "none");
    teststore::SetDword(ItemPath(6), store::kAction, 2);
    teststore::WriteItem(7, "CTRL + G", "x.exe", 1, std::string(9000, 'x'));
    // Text without a terminator, below the limit and at it. The next byte of each buffer is
    // not zero: the registry adds the terminator itself when it is.
    const std::string shortcut = "CTRL + GH", action = "notepadX", script(store::kItemStringLimit + 1, 's');
    teststore::SetRaw(ItemPath(8), store::kShortcut, REG_SZ, shortcut.data(), 8);
    teststore::SetRaw(ItemPath(8), store::kAction, REG_SZ, action.data(), 7);
    teststore::SetRaw(ItemPath(8), store::kScript, REG_SZ, script.data(), store::kItemStringLimit);
    for (const auto& [name, size] : {std::pair{store::kShortcut, 8u}, {store::kAction, 7u}, {store::kScript, store::kItemStringLimit}})
        EXPECT_EQ(teststore::ValueSize(ItemPath(8), name), size) << name << " is stored without a terminator";
    teststore::WriteItem(10, "CTRL + G", "after-the-gap.exe");
    ASSERT_EQ(LoadShortcutTable(), 4);
    ShortcutTablePublisher::Snapshot table = AcquireShortcutTable();
    EXPECT_EQ(table->Combination(0).virtualKey, 0) << "\"none\" loads as an entry";
    EXPECT_STREQ(table->Action(1), "::{450D8FBA-AD25-11D0-98A8-0800361B1103}");
    EXPECT_EQ(table->Type(2), 1);
    EXPECT_STREQ(table->Script(2), "") << "a 9000-byte script reads as absent";
    EXPECT_EQ(table->Combination(3).virtualKey, 'G');
    EXPECT_STREQ(table->Action(3), "notepad");
    EXPECT_EQ(table->Script(3), script.substr(0, store::kItemStringLimit));
    for (int i = 9; i < 205; ++i) teststore::WriteItem(i, "CTRL + L", "item" + std::to_string(i));
    EXPECT_EQ(LoadShortcutTable(), 195);
    EXPECT_STREQ(AcquireShortcutTable()->Action(194), "item199");
}

// A writer thread rewrites the store between two contents while this thread reloads and a
// third reads the table. A reload may meet the store half rewritten and mix items of the
// two contents, but each item holds values that were written, and every table the reader
// sees is one that a reload published, entry for entry.
TEST(TableLoader, ReloadsRacingARewriteShowReadersOnlyPublishedTables) {
    auto write = [](int b) {
        for (int i = 0; i < 3; ++i) {
            teststore::WriteItem(i, b ? "RALT + B" : "LCTRL + A", (b ? "b" : "a") + std::to_string(i), b, "echo");
            if (!b) teststore::DeleteValue(ItemPath(i), store::kScript);
        }
    };
    auto fingerprint = [](const ShortcutTable& table) {
        std::string text;
        for (int i = 0; i < table.Count(); ++i)
            text += static_cast<char>(table.Combination(i).virtualKey) + std::to_string(table.Type(i)) +
                    table.Action(i) + "|" + table.Script(i) + ";";
        return text;
    };
    const std::string whole[2] = {"A0a0|;A0a1|;A0a2|;", "B1b0|echo;B1b1|echo;B1b2|echo;"};
    teststore::Clear();
    teststore::CreateRoot();
    write(0);
    ASSERT_EQ(LoadShortcutTable(), 3);
    std::set<std::string> published{fingerprint(*AcquireShortcutTable())}, seen;
    std::mutex seenLock;
    std::atomic<bool> writing{true}, done{false};
    std::thread writer([&] {
        for (int n = 1; n <= 151; ++n) write(n % 2);  // ends on the second content
        writing = false;
    });
    std::thread reader([&] {
        while (!done) {
            const std::string text = fingerprint(*AcquireShortcutTable());
            std::lock_guard<std::mutex> hold(seenLock);
            seen.insert(text);
        }
    });
    int reloads = 0;
    for (; writing; ++reloads) {
        LoadShortcutTable();
        published.insert(fingerprint(*AcquireShortcutTable()));
    }
    writer.join();
    LoadShortcutTable();
    published.insert(fingerprint(*AcquireShortcutTable()));
    done = true;
    reader.join();

    EXPECT_GT(reloads, 0);
    EXPECT_EQ(published.count(whole[0]) + published.count(whole[1]), 2u);
    for (const std::string& table : seen) EXPECT_EQ(published.count(table), 1u) << "never published: " << table;
    for (const std::string& table : published) {
        std::istringstream entries(table);
        int i = 0;
        for (std::string entry; std::getline(entries, entry, ';'); ++i) {
            const std::string index = std::to_string(i);
            bool written = false;
            for (const char* key : {"A", "B"})
                for (const char* type : {"0", "1"})
                    for (const char* action : {"a", "b"})
                        for (const char* script : {"", "echo"})
                            written |= entry == key + std::string(type) + action + index + "|" + script;
            EXPECT_TRUE(written) << entry << " in " << table;
        }
        EXPECT_EQ(i, 3) << table;
    }
}

}  // namespace
