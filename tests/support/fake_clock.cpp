#include "tests/support/fake_clock.h"

#include "video/clock.h"

FakeClock gFakeClock;

void setFakeClock(std::uint32_t now, std::uint32_t step)
{
    gFakeClock = FakeClock{};
    gFakeClock.now = now;
    gFakeClock.step = step;
}

void scriptFakeClock(std::vector<std::uint32_t> script)
{
    gFakeClock = FakeClock{};
    gFakeClock.now = script.empty() ? 0 : script.back();
    gFakeClock.script = std::move(script);
}

std::uint32_t ticks()
{
    ++gFakeClock.reads;
    if (gFakeClock.source)
        return gFakeClock.source();
    if (gFakeClock.next < gFakeClock.script.size())
        return gFakeClock.script[gFakeClock.next++];
    const std::uint32_t reading = gFakeClock.now;
    gFakeClock.now += gFakeClock.step;
    return reading;
}
