// Any bytes as a list file: never read past; a list accepted is written and read back the same, the text stable.
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const shortcutfile::ParseResult read = shortcutfile::Parse(ExactCopy(data, size).get(), size);
    FUZZ_CHECK(read.ok || (read.line >= 0 && !read.error.empty()));
    if (!read.ok) return 0;
    FUZZ_CHECK(read.document.items.size() <= 200);
    const shortcutfile::ParseResult again = shortcutfile::Parse(shortcutfile::Write(read.document));
    FUZZ_CHECK(again.ok && shortcutfile::Write(again.document) == shortcutfile::Write(read.document));
    return 0;
}
