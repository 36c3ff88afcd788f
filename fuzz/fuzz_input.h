// Reads a fuzz input as a stream of fields; past its end every field reads 0, so
// any input, the empty one included, is a complete case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

struct FuzzInput {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t at = 0; // next byte to read

    std::uint8_t byte() { return at < size ? data[at++] : 0; }
    std::uint16_t half() { return static_cast<std::uint16_t>(byte() | byte() << 8); }
    std::uint32_t word() { return half() | std::uint32_t{half()} << 16; }
    std::size_t remaining() const { return size - at; }
    const std::uint8_t* rest() const { return data + at; }
};

// A broken property: says which and stops the run the way a sanitizer would, so
// libFuzzer keeps the input.
#define FUZZ_CHECK(condition, ...)                                                                                     \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "fuzz check failed: " #condition ": " __VA_ARGS__);                                   \
            std::fputc('\n', stderr);                                                                                  \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)
