#include "video/screen.h"

#include "tests/support/fixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

TEST(Screen, PagesFollowEachOtherAndWrapAround)
{
    Screen screen(8, 4, 2, 32);
    EXPECT_EQ(screen.page(), screen.pageStore);
    screen.advancePage();
    EXPECT_EQ(screen.page(), screen.pageStore + 8 * 4);
    screen.advancePage();
    EXPECT_EQ(screen.page(), screen.pageStore);
}

TEST(Screen, OnePageIsAlwaysCurrent)
{
    Screen screen(8, 4, 1, 32);
    screen.advancePage();
    EXPECT_EQ(screen.currentPage, 0);
    EXPECT_EQ(screen.page(), screen.pageStore);
}

TEST(Screen, PageStoreIsAlignedForVectorStores)
{
    Screen screen(3, 5, 2, 32);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(screen.pageStore) % 64, 0u);
}

TEST(Screen, RefusesSizesItCannotHold)
{
    struct Case {
        int width, height, pages, bits;
    };
    for (const Case c : {Case{-1, 4, 1, 32}, Case{4, -1, 1, 32}, Case{4, 4, 0, 32}, Case{4, 4, 1, 16}})
        EXPECT_THROW(Screen(c.width, c.height, c.pages, c.bits), std::invalid_argument)
            << c.width << "x" << c.height << " pages " << c.pages << " bits " << c.bits;
}

struct PresentTest : testing::Test {
    fixtures::SdlVideo sdl;
    SDL_Surface* previous = gVideoSurface;
    ~PresentTest() override { gVideoSurface = previous; }
};

TEST_F(PresentTest, CreateScreenSetsWindowedModeWithCaption)
{
    Screen* screen = createScreen(64, 48, 2, 32, false);
    ASSERT_NE(screen, nullptr) << SDL_GetError();
    ASSERT_NE(gVideoSurface, nullptr);
    EXPECT_EQ(gVideoSurface->w, 64);
    EXPECT_EQ(gVideoSurface->h, 48);
    EXPECT_EQ(gVideoSurface->flags & SDL_FULLSCREEN, 0u);
    char* title = nullptr;
    SDL_WM_GetCaption(&title, nullptr);
    EXPECT_STREQ(title, "Orvane Framework Test");
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    delete screen;
}

TEST_F(PresentTest, CreateScreenInFullScreenHidesTheCursor)
{
    Screen* screen = createScreen(64, 48, 2, 32, true);
    ASSERT_NE(screen, nullptr) << SDL_GetError();
    EXPECT_NE(gVideoSurface->flags & SDL_FULLSCREEN, 0u);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    delete screen;
}

TEST_F(PresentTest, FlipPresentsTheCurrentPageThenAdvances)
{
    Screen* screen = createScreen(64, 48, 2, 32, false);
    ASSERT_NE(screen, nullptr) << SDL_GetError();
    for (int p = 0; p < 2; ++p) {
        for (int i = 0; i < 64 * 48; ++i)
            screen->page()[i] = static_cast<Pixel>(i * 7 + p);
        const std::vector<Pixel> drawn = fixtures::pageWords(*screen);
        screen->flip();
        EXPECT_EQ(screen->currentPage, (p + 1) % 2);
        const auto* shown = static_cast<const Pixel*>(gVideoSurface->pixels);
        EXPECT_EQ(std::memcmp(shown, drawn.data(), drawn.size() * sizeof(Pixel)), 0) << "page " << p;
    }
    delete screen;
}

// A surface whose rows are further apart than the page's, or smaller than the
// page, gets each row at its pitch and never a word beyond its rows.
TEST_F(PresentTest, CopiesRowByRowIntoPaddedOrSmallerSurfaces)
{
    struct Case {
        int surfaceWidth, surfaceHeight, pitchWords;
    };
    for (const Case c : {Case{6, 4, 9}, Case{4, 3, 5}, Case{6, 2, 6}}) {
        std::vector<Pixel> memory(static_cast<std::size_t>(c.pitchWords) * c.surfaceHeight + 8, 0xDEADBEEF);
        SDL_Surface* surface = SDL_CreateRGBSurfaceFrom(memory.data(), c.surfaceWidth, c.surfaceHeight, 32,
                                                        c.pitchWords * 4, 0xFF0000, 0xFF00, 0xFF, 0);
        ASSERT_NE(surface, nullptr);
        gVideoSurface = surface;
        Screen screen(6, 4, 1, 32);
        for (int i = 0; i < 24; ++i)
            screen.page()[i] = static_cast<Pixel>(i + 1);
        present(screen);
        for (int y = 0; y < c.surfaceHeight; ++y)
            for (int x = 0; x < c.pitchWords; ++x) {
                const Pixel expected =
                    x < std::min(6, c.surfaceWidth) && y < 4 ? static_cast<Pixel>(y * 6 + x + 1) : 0xDEADBEEF;
                ASSERT_EQ(memory[static_cast<std::size_t>(y) * c.pitchWords + x], expected)
                    << "surface " << c.surfaceWidth << "x" << c.surfaceHeight << " at (" << x << ", " << y << ")";
            }
        EXPECT_EQ(memory.back(), 0xDEADBEEF);
        SDL_FreeSurface(surface);
    }
}

TEST(Present, WithoutAVideoSurfaceDoesNothing)
{
    SDL_Surface* previous = gVideoSurface;
    gVideoSurface = nullptr;
    Screen screen(4, 4, 2, 32);
    screen.flip();
    EXPECT_EQ(screen.currentPage, 1);
    gVideoSurface = previous;
}

} // namespace
