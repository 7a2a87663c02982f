#include "core/window_settings.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(WindowSettings, TextScansAsTenNumbersInTheirRanges) {
    const WindowSettings placed{2, 1, -1, -1, -32000, -32000, 100, 120, 740, 560};
    const std::string text = FormatWindowSettings(placed);
    EXPECT_EQ(text, "2 1 -1 -1 -32000 -32000 100 120 740 560");
    WindowSettings read{};
    ASSERT_TRUE(ParseWindowSettings(text.data(), text.size(), read));
    EXPECT_EQ(std::memcmp(&read, &placed, sizeof read), 0);
    EXPECT_FALSE(ParseWindowSettings(text.data(), text.size() - 4, read)) << "reads no further than told";
    for (const auto& [input, accepted] : {std::pair<const char*, bool>{" 2\t1 -1 -1 -32000 -32000 +100 120 740 560 and more", true},
                                          {"4294967295 1 0 0 0 0 -2147483648 0 -1 2147483647", true},
                                          {"2 1 -1 -1 -32000 -32000 100 120 740 x", false},
                                          {"4294967296 1 0 0 0 0 0 0 0 0", false},
                                          {"0 1 0 0 0 0 -2147483648 0 2147483647 0", false},  // wider than any window
                                          {"0 1 0 0 0 0 10 0 9 0", false},                    // negative width
                                          {"0 1 0 0 0 0 0 0 0 99999999999999999999999999", false}})
        EXPECT_EQ(ParseWindowSettings(input, std::strlen(input), read), accepted) << input;
}

}  // namespace
