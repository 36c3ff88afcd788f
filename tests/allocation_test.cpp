// Drawing and presenting frames must not touch the heap: this program replaces
// the global allocation functions to count every allocation made while frames
// are drawn.
#include "app/run_loop.h"
#include "images/image_set.h"
#include "images/scaled_blit.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fixtures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> gAllocations{0};
} // namespace

void* operator new(std::size_t size)
{
    ++gAllocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void* operator new(std::size_t size, std::align_val_t alignment)
{
    ++gAllocations;
    const std::size_t align = static_cast<std::size_t>(alignment);
    if (void* p = std::aligned_alloc(align, (size + align - 1) / align * align))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return operator new(size, alignment);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}

namespace {

TEST(Allocation, FramesOfTheFullSwarmAllocateNothing)
{
    fixtures::SdlVideo sdl;
    Screen* screen = createScreen(1024, 768, 2, 32, false);
    ASSERT_NE(screen, nullptr) << SDL_GetError();
    std::mt19937 random(1);
    for (int i = 0; i < 4; ++i)
        gImages[i] = fixtures::randomImage(1024, 512, random);
    gImages[kSpriteIndex] = fixtures::randomImage(200, 180, random);
    Image pixelArt(40, 30);
    fillGradient(&pixelArt);

    setFakeClock(29000, 3); // 53 sprites and more, the clock moving on
    const long before = gAllocations;
    for (int frame = 0; frame < 100; ++frame) {
        pollInput();
        renderFrame(*screen);
        for (int mode = 0; mode < 4; ++mode) {
            gScaleMode = mode;
            blitScaled(pixelArt, *screen);
        }
    }
    EXPECT_EQ(gAllocations - before, 0);

    gScaleMode = 3;
    for (auto& slot : gImages)
        slot.reset();
    delete screen;
}

} // namespace
