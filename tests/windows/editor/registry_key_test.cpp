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
    EXPECT_TRUE(key.WriteDword("Number", 12));
    EXPECT_TRUE(key.WriteString("Text", "12"));
    teststore::SetString(item, "Long", std::string(16, 'x'));  // 17 bytes with the terminator
    EXPECT_EQ(key.ReadDword("Number", 1), 12u);
    EXPECT_EQ(key.ReadDword("Text", 1), 1u);
    EXPECT_STREQ(key.ReadString("Text", "d"), "12");
    EXPECT_STREQ(key.ReadString("Number", "d"), "d");
    EXPECT_STREQ(key.ReadString("Long", "d"), "d");
    // Several values with one opening, each as the single reads take it.
    using V = CRegistryValue;
    CRegistryValue values[] = {{"Number", V::Number}, {"Number", V::Text}, {"Text", V::Text}, {"Text", V::Number},
                               {"Long", V::Text},     {"Absent", V::Text}};
    ASSERT_TRUE(key.ReadValues(values, 6));
    EXPECT_TRUE(values[0].found && values[0].number == 12);
    EXPECT_TRUE(values[2].found && values[2].string == "12");
    for (int i : {1, 3, 4, 5}) EXPECT_FALSE(values[i].found) << i;
    CRegistryValue missing("Number", CRegistryValue::Number);
    EXPECT_FALSE(CRegistryKey(teststore::ItemPath(9).c_str(), HKEY_CURRENT_USER, 16).ReadValues(&missing, 1));

    const CRegistryKey empty("", HKEY_CURRENT_USER, 1024);
    EXPECT_FALSE(empty.WriteDword("TarvoProbe", 1));
    EXPECT_FALSE(empty.WriteString("TarvoProbe", "x"));
    EXPECT_FALSE(teststore::ValueExists("", "TarvoProbe"));

    teststore::WriteItem(0, "CTRL + A", "a.exe");
    teststore::SetString(teststore::ItemPath(1) + "\\Nested\\Deeper", "Value", "x");
    const CRegistryKey root(store::kRootPath, HKEY_CURRENT_USER, 1024);
    EXPECT_TRUE(root.DeleteSubKey("1"));
    EXPECT_FALSE(teststore::KeyExists(teststore::ItemPath(1)));
    EXPECT_TRUE(teststore::KeyExists(teststore::ItemPath(0)));
}

}  // namespace
