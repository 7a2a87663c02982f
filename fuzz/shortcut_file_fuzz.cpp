// Any bytes as a shortcut list file: the parser never reads past the text, and a list it accepts is written out and
// read back to the same values, the written text unchanged by a second round.
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
