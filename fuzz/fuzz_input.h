// Takes a fuzzer's bytes apart into the pieces a target needs. Past the end every read
// gives zeros, so any input, even an empty one, makes a whole case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// A broken promise of the code under test: a finding, like a crash.
#define FUZZ_CHECK(condition)                                                          \
    do {                                                                               \
        if (!(condition)) {                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                              \
        }                                                                              \
    } while (0)

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data(data), size(size) {}

    bool AtEnd() const { return position >= size; }
    uint8_t Byte() { return position < size ? data[position++] : 0; }
    uint16_t Word() { return static_cast<uint16_t>(Byte() | Byte() << 8); }
    uint32_t Dword() { return static_cast<uint32_t>(Word()) | static_cast<uint32_t>(Word()) << 16; }
    // A number from 0 to limit - 1 (limit above 0).
    uint32_t Below(uint32_t limit) { return (limit <= 256 ? Byte() : Dword()) % limit; }
    // Up to length bytes, fewer when the input runs out.
    std::string Bytes(size_t length) {
        const size_t left = size - position;
        std::string bytes(reinterpret_cast<const char*>(data + position), length < left ? length : left);
        position += bytes.size();
        return bytes;
    }
    // Whatever is left.
    std::string Rest() { return Bytes(size - position); }

private:
    const uint8_t* data;
    size_t size;
    size_t position = 0;
};
