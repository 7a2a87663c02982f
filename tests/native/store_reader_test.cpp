// The rules that turn whatever the store holds into a table, against made-up stores:
// value types and sizes at and around every limit, text without a terminator, gaps.
#include "core/store_reader.h"

#include <gtest/gtest.h>

#include "core/shortcut_store.h"
#include "fake_store.h"

namespace {

using Value = FakeStore::Value;

FakeStore::Key Item(const std::string& action, uint32_t type = 0) {
    return {{store::kShortcut, FakeStore::Text("CTRL + F")}, {store::kDisabled, FakeStore::Dword(0)},
            {store::kAction, FakeStore::Text(action)}, {store::kType, FakeStore::Dword(type)}};
}

// A store with an accepted "Version".
FakeStore Store() {
    FakeStore store;
    store.root[store::kVersion] = FakeStore::Dword(0x10000);
    return store;
}

std::string Actions(const ShortcutTable& table) {
    std::string text;
    for (int i = 0; i < table.Count(); ++i) text += std::string(table.Action(i)) + ";";
    return text;
}

TEST(StoreReader, DwordsCountOnlyAtFourBytesOfTheirType) {
    const std::string four("\1\0\0\0", 4);
    const std::pair<Value, bool> cases[] = {
        {{StoreReader::kDword, ""}, false}, {{StoreReader::kDword, four.substr(0, 3)}, false},
        {{StoreReader::kDword, four}, true}, {{StoreReader::kDword, four + '\0'}, false},
        {{StoreReader::kString, four}, false}, {{3, four}, false},
    };
    for (const auto& [disabled, counts] : cases) {
        FakeStore store = Store();
        store.items[0] = Item("a.exe");
        store.items[0][store::kDisabled] = disabled;
        EXPECT_EQ(store::ReadShortcutTable(store, EngineSettings{})->Count(), counts ? 0 : 1) << disabled.data.size();
    }
}

// Text is taken up to its first NUL or the end of its data, never from past it, and a
// value over 8192 bytes reads as absent.
TEST(StoreReader, TextWithAndWithoutTerminatorsAtTheLimit) {
    const std::string full(store::kItemStringLimit, 'x');
    const std::pair<Value, const char*> cases[] = {
        {{StoreReader::kString, "notepad"}, "notepad;"},
        {{StoreReader::kString, std::string("note\0pad", 8)}, "note;"},
        {{StoreReader::kString, full}, nullptr},  // whole, unterminated
        {{StoreReader::kString, full + '\0'}, ""},
        {{StoreReader::kString, full.substr(1) + '\0'}, nullptr},
        {{StoreReader::kString, std::string(1, '\0')}, ""},  // empty: no entry
        {{StoreReader::kString, ""}, ""},
        {{StoreReader::kDword, FakeStore::Dword(3).data}, "::{208D2C60-3AEA-1069-A2D7-08002B30309D};"},
        {{StoreReader::kDword, FakeStore::Dword(4).data}, ""},
        {{StoreReader::kDword, std::string("\3\0\0", 3)}, ""},
        {{7, "notepad"}, ""},
    };
    for (const auto& [action, expected] : cases) {
        FakeStore store = Store();
        store.items[0] = Item("");
        store.items[0][store::kAction] = action;
        store.items[0][store::kScript] = {StoreReader::kString, full};
        const auto table = store::ReadShortcutTable(store, EngineSettings{});
        const std::string text = action.data.substr(0, action.data.find('\0'));
        EXPECT_EQ(Actions(*table), expected ? expected : text + ";") << action.data.size();
        if (table->Count() == 1) EXPECT_EQ(table->Script(0), full);
    }
}

// Items are read from key 0 up to the first missing key and from at most 200 keys; each
// value of an item is read once.
TEST(StoreReader, GapsTheItemLimitAndOneReadPerValue) {
    FakeStore store;
    store.hasRoot = false;
    for (int i = 0; i < 205; ++i) store.items[i] = Item(std::to_string(i));
    auto table = store::ReadShortcutTable(store, EngineSettings{});
    EXPECT_EQ(table->Count(), 200);
    EXPECT_STREQ(table->Action(199), "199");
    EXPECT_EQ(store.valueReads, 200 * 5);

    store.items.erase(3);
    EXPECT_EQ(Actions(*store::ReadShortcutTable(store, EngineSettings{})), "0;1;2;");
}

TEST(StoreReader, SettingsAndTheVersionRule) {
    FakeStore store;
    store.items[0] = Item("a.exe");
    const EngineSettings previous{false, true, 16};
    const std::pair<FakeStore::Key, int> roots[] = {
        {{}, 0},
        {{{store::kVersion, FakeStore::Text("65536")}}, 0},
        {{{store::kVersion, FakeStore::Dword(0x30000)}, {store::kBeepType, FakeStore::Dword(64)}}, 0},
        {{{store::kVersion, FakeStore::Dword(0x200FF)}, {store::kBeepType, FakeStore::Dword(64)},
          {store::kDoNotRemoveKeystroke, FakeStore::Dword(0)}, {store::kBeepAfterKeystroke, FakeStore::Dword(0)}}, 1},
    };
    for (const auto& [root, loads] : roots) {
        store.root = root;
        const auto table = store::ReadShortcutTable(store, previous);
        EXPECT_EQ(table->Count(), loads);
        EXPECT_EQ(table->Settings().beepType, loads ? 64u : 16u);
        EXPECT_EQ(table->Settings().removeKeystroke, loads == 1);
        EXPECT_EQ(table->Settings().beepAfterKeystroke, loads == 0);
    }
}

}  // namespace
