// The loader against made-up stores: value types and sizes around every limit, text
// without a terminator, gaps.
#include <gtest/gtest.h>

#include "core/shortcut_store.h"
#include "fake_store.h"

namespace {

using Value = FakeStore::Value;

FakeStore::Key Item(const std::string& action) {
    return {{store::kShortcut, FakeStore::Text("CTRL + F")}, {store::kAction, FakeStore::Text(action)}, {store::kType, FakeStore::Dword(0)}};
}

// A store with an accepted "Version" and one item, one of its values replaced.
std::unique_ptr<ShortcutTable> ReadItem(const char* name, const Value& value) {
    FakeStore store;
    store.root[store::kVersion] = FakeStore::Dword(0x10000);
    store.items[0] = Item("a.exe");
    store.items[0][store::kScript] = {StoreReader::kString, FakeStore::Utf16(std::string(store::kItemStringLimit, 'x'))};
    store.items[0][name] = value;
    return store::ReadShortcutTable(store, EngineSettings{});
}

// A "Disabled" counts only as four bytes of its type. Text ends at its first NUL or its
// data, never past it; over 8192 UTF-16 units it reads as absent. Every character comes out
// as UTF-8, at the limit too where each unit takes three bytes; a lone surrogate keeps its
// own three bytes (so writing it back restores it).
TEST(StoreReader, ValueTypesSizesTerminatorsAndUtf8) {
    const std::string one("\1\0\0\0", 4), full(store::kItemStringLimit, 'x');
    const std::string cyrillic = "\xD0\x9F\xD1\x80\xD0\xBE", cjk = "\xE6\x96\x87\xE5\xAD\x97", path = "C:\\" + cyrillic + "\\" + cjk + "\xF0\x9F\x98\x80.exe";
    std::string cjkFull;
    while (cjkFull.size() < store::kItemStringLimit * 3) cjkFull += cjk;
    auto text = [](const std::string& utf8) { return Value{StoreReader::kString, FakeStore::Utf16(utf8)}; };
    auto raw = [](const char* bytes, size_t size) { return Value{StoreReader::kString, std::string(bytes, size)}; };
    const std::tuple<const char*, Value, std::string> cases[] = {
        {store::kDisabled, {StoreReader::kDword, one}, ""}, {store::kDisabled, {StoreReader::kDword, one.substr(0, 3)}, "a.exe;"},
        {store::kDisabled, {StoreReader::kDword, one + '\0'}, "a.exe;"}, {store::kDisabled, {StoreReader::kString, one}, "a.exe;"},
        {store::kDisabled, {3, one}, "a.exe;"},
        {store::kAction, text(std::string("note\0pad", 8)), "note;"}, {store::kAction, text(full), full + ";"},
        {store::kAction, text(full + '\0'), ""}, {store::kAction, text(full.substr(1) + '\0'), full.substr(1) + ";"},
        {store::kAction, text(std::string(1, '\0')), ""}, {store::kAction, {7, "n\0"}, ""},
        {store::kAction, {StoreReader::kString, FakeStore::Utf16("ab") + "c"}, "ab;"},  // an odd last byte is no unit
        {store::kAction, {StoreReader::kDword, FakeStore::Dword(3).data}, "::{208D2C60-3AEA-1069-A2D7-08002B30309D};"},
        {store::kAction, {StoreReader::kDword, FakeStore::Dword(4).data}, ""},
        {store::kAction, text(path), path + ";"}, {store::kAction, text(cjkFull), cjkFull + ";"},
        {store::kAction, raw("a\0\x00\xD8z\0", 6), "a\xED\xA0\x80z;"},                 // high surrogate alone
        {store::kAction, raw("\x00\xDC\x3D\xD8", 4), "\xED\xB0\x80\xED\xA0\xBD;"},  // low before high: two lone ones
    };
    for (const auto& [name, value, expected] : cases) {
        const auto table = ReadItem(name, value);
        std::string actions;
        for (int i = 0; i < table->Count(); ++i) actions += std::string(table->Action(i)) + ";";
        EXPECT_EQ(actions, expected) << name << " " << value.data.size();
        if (table->Count() == 1) EXPECT_EQ(table->Script(0), full);
    }
}

// Items run from key 0 to the first missing key, 200 at most, each value read once.
TEST(StoreReader, GapsTheItemLimitAndOneReadPerValue) {
    FakeStore store;
    store.hasRoot = false;
    for (int i = 0; i < 205; ++i) store.items[i] = Item(std::to_string(i));
    auto table = store::ReadShortcutTable(store, EngineSettings{});
    EXPECT_EQ(table->Count(), 200);
    EXPECT_STREQ(table->Action(199), "199");
    EXPECT_EQ(store.valueReads, 200 * 5);
    store.items.erase(3);
    EXPECT_EQ(store::ReadShortcutTable(store, EngineSettings{})->Count(), 3);
}

TEST(StoreReader, SettingsAndTheVersionRule) {
    FakeStore store;
    store.items[0] = Item("a.exe");
    const EngineSettings previous{false, true, 16};
    const std::pair<FakeStore::Key, int> roots[] = {
        {{}, 0},
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
