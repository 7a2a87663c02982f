// Takes a fuzzer's bytes apart into the pieces a target needs; past the end every read gives zeros.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core_test_support.h"

// A broken promise of the code under test: a finding, like a crash.
#define FUZZ_CHECK(condition) \
    ((condition) ? void() : (std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition), std::abort()))

// A copy of exactly the input's size, so that a read past the text is caught.
inline std::unique_ptr<char[]> ExactCopy(const uint8_t* data, size_t size) {
    std::unique_ptr<char[]> text(new char[size ? size : 1]);
    if (size) std::memcpy(text.get(), data, size);
    return text;
}

struct FuzzInput {
    const uint8_t* data;
    size_t size, position = 0;
    bool AtEnd() const { return position >= size; }
    uint8_t Byte() { return position < size ? data[position++] : 0; }
    uint16_t Word() {  // low byte first, whatever order a compiler gives the operands of |
        const uint8_t low = Byte();
        return static_cast<uint16_t>(low | Byte() << 8);
    }
    uint32_t Dword() {
        const uint16_t low = Word();
        return low | static_cast<uint32_t>(Word()) << 16;
    }
    uint32_t Below(uint32_t limit) { return (limit <= 256 ? Byte() : Dword()) % limit; }  // limit above 0
    std::string Bytes(size_t length) {  // fewer when the input runs out
        std::string bytes(reinterpret_cast<const char*>(data + position), std::min(length, size - position));
        position += bytes.size();
        return bytes;
    }
};
