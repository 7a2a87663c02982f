#include "core/shortcut_store.h"

#include <gtest/gtest.h>

TEST(VersionRule, UpperWordAtMostTwoAndSecondByteClear) {
    for (uint32_t accepted : {0u, 0x5u, 0xFFu, 0x10000u, 0x20005u, 0x200FFu})
        EXPECT_TRUE(store::IsVersionAccepted(accepted)) << std::hex << accepted;
    for (uint32_t rejected : {0x100u, 0x30000u, 0x20100u, 0xFFFFFFFFu, 0x8000u})
        EXPECT_FALSE(store::IsVersionAccepted(rejected)) << std::hex << rejected;
}

TEST(SpecialFolders, CodesNamesAndTargetsAreCaseSensitive) {
    EXPECT_EQ(store::SpecialFolderCode("My documents"), 2u);
    EXPECT_EQ(store::SpecialFolderCode("my documents"), 0u);
    EXPECT_EQ(store::SpecialFolderCode("My documents "), 0u);
    EXPECT_STREQ(store::SpecialFolderName(3), "My network places");
    EXPECT_STREQ(store::SpecialFolderTarget(2), "::{450D8FBA-AD25-11D0-98A8-0800361B1103}");
    EXPECT_EQ(store::SpecialFolderTarget(0), nullptr);
    EXPECT_EQ(store::SpecialFolderTarget(4), nullptr);
}
