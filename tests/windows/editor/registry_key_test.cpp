// The editor's registry layer: reads give the default for anything but a value of the
// right type within the read limit, writes never go to an empty path, and deleting a
// subkey takes its whole subtree.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "core/shortcut_store.h"
#include "registry_key.h"
#include "test_store.h"

namespace {

TEST(RegistryKey, ReadsWritesAndDeletes) {
    teststore::Clear();
    const std::string item = teststore::ItemPath(3);
    const CRegistryKey key(item.c_str(), HKEY_CURRENT_USER, 16);
    EXPECT_TRUE(key.WriteDword("Number", 12) && key.WriteString("Text", "12"));
    teststore::SetString(item, "Long", std::string(16, 'x'));  // 17 bytes with the terminator
    EXPECT_EQ(key.ReadDword("Number", 1), 12u);
    EXPECT_EQ(key.ReadDword("Text", 1), 1u);
    EXPECT_EQ(std::string(key.ReadString("Text", "d").GetString()) + key.ReadString("Number", "d").GetString() +
                  key.ReadString("Long", "d").GetString(), "12dd");
    // Several values with one opening, each as the single reads take it.
    using V = CRegistryValue;
    V values[] = {{"Number", V::Number}, {"Number", V::Text}, {"Text", V::Text}, {"Text", V::Number}, {"Long", V::Text}, {"Absent", V::Text}};
    ASSERT_TRUE(key.ReadValues(values, 6));
    std::string found;
    for (const V& value : values) found += value.found ? std::to_string(value.number) + value.string.GetString() + " " : "- ";
    EXPECT_EQ(found, "12 - 012 - - - ");
    V missing("Number", V::Number);
    EXPECT_FALSE(CRegistryKey(teststore::ItemPath(9).c_str(), HKEY_CURRENT_USER, 16).ReadValues(&missing, 1));

    const CRegistryKey empty("", HKEY_CURRENT_USER, 1024);
    EXPECT_FALSE(empty.WriteDword("TarvoProbe", 1) || empty.WriteString("TarvoProbe", "x"));
    EXPECT_FALSE(teststore::ValueExists("", "TarvoProbe"));

    teststore::WriteItem(0, "CTRL + A", "a.exe");
    teststore::SetString(teststore::ItemPath(1) + "\\Nested\\Deeper", "Value", "x");
    EXPECT_TRUE(CRegistryKey(store::kRootPath, HKEY_CURRENT_USER, 1024).DeleteSubKey("1"));
    EXPECT_FALSE(teststore::KeyExists(teststore::ItemPath(1)));
    EXPECT_TRUE(teststore::KeyExists(teststore::ItemPath(0)));
}

}  // namespace
