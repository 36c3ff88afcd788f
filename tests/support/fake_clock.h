// A clock for tests, linked in place of the real ticks(): it plays a script of
// readings, then counts on from the last one by a fixed step per reading.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct FakeClock {
    std::vector<std::uint32_t> script;     // readings to hand out first, in order
    std::size_t next = 0;                  // the next script entry
    std::uint32_t now = 0;                 // after the script: the next reading
    std::uint32_t step = 0;                // added after each reading past the script
    std::function<std::uint32_t()> source; // when set, every reading comes from it
    std::size_t reads = 0;                 // readings taken
};

extern FakeClock gFakeClock;

// Starts a fresh clock at now, moving on by step per reading.
void setFakeClock(std::uint32_t now, std::uint32_t step = 0);
// Starts a fresh clock that hands out the script, then stays at its last value.
void scriptFakeClock(std::vector<std::uint32_t> script);
