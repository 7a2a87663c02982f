// Any bytes as "Window settings": never read past, only a placement a window can take, and it reads back the same.
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WindowSettings read{}, again{};
    if (!ParseWindowSettings(ExactCopy(data, size).get(), size, read)) return 0;
    FUZZ_CHECK(read.left <= read.right && int64_t{read.right} - read.left <= INT32_MAX);
    FUZZ_CHECK(read.top <= read.bottom && int64_t{read.bottom} - read.top <= INT32_MAX);
    const std::string written = FormatWindowSettings(read);
    FUZZ_CHECK(ParseWindowSettings(written.data(), written.size(), again) && std::memcmp(&read, &again, sizeof read) == 0);
    return 0;
}
