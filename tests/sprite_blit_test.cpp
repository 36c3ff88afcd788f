#include "images/sprite_blit.h"

#include "tests/support/fixtures.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

namespace {

// The blit by its definition, placing each sprite pixel by itself and dropping
// those off the page: what the real blit must match.
std::vector<Pixel> expectedPage(const Screen& screen, const Image& sprite, long long x, long long y)
{
    std::vector<Pixel> page = fixtures::pageWords(screen);
    for (long long r = 0; r < sprite.height; ++r)
        for (long long k = 0; k < sprite.width; ++k) {
            const Pixel p = sprite.pixels[r * sprite.width + k];
            const long long px = x + k, py = y + r;
            if (p >> 24 != 0 && px >= 0 && py >= 0 && px < screen.width && py < screen.height)
                page[py * screen.width + px] = p;
        }
    return page;
}

// Every word of the store outside the current page must keep its canary.
void expectOtherPagesUntouched(const Screen& screen)
{
    const std::size_t pageWords = static_cast<std::size_t>(screen.width) * screen.height;
    const std::size_t first = static_cast<std::size_t>(screen.currentPage) * pageWords;
    for (std::size_t i = 0; i < pageWords * screen.pageCount; ++i) {
        if (i < first || i >= first + pageWords) {
            ASSERT_EQ(screen.pageStore[i], fixtures::canaryWord(i)) << "store word " << i;
        }
    }
}

TEST(SpriteBlit, AlphaDecidesAloneWhetherAPixelIsStored)
{
    struct Case {
        const char* name;
        Pixel source;
        bool stored;
    };
    for (const Case c :
         {Case{"alpha 0 with white colour", 0x00FFFFFF, false}, Case{"alpha 1 with black colour", 0x01000000, true},
          Case{"opaque", 0xFF123456, true}, Case{"half alpha", 0x80ABCDEF, true}}) {
        Screen screen(4, 4, 1, 32);
        fixtures::fillCanary(screen);
        auto sprite = fixtures::solidImage(1, 1, c.source);
        blitSprite(*sprite, 2, 1, screen);
        EXPECT_EQ(screen.page()[1 * 4 + 2], c.stored ? c.source : fixtures::canaryWord(6)) << c.name;
    }
}

TEST(SpriteBlit, OnePixelSpriteChangesOnlyItsWord)
{
    Screen screen(5, 4, 1, 32);
    fixtures::fillCanary(screen);
    auto sprite = fixtures::solidImage(1, 1, 0xFF000001);
    blitSprite(*sprite, 3, 2, screen);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(screen.page()[i], i == 2 * 5 + 3 ? 0xFF000001 : fixtures::canaryWord(i)) << i;
}

TEST(SpriteBlit, EmptySpriteChangesNothing)
{
    Screen screen(4, 4, 1, 32);
    fixtures::fillCanary(screen);
    const std::vector<Pixel> before = fixtures::pageWords(screen);
    Image empty;
    Image noRows(3, 0);
    blitSprite(empty, 0, 0, screen);
    blitSprite(noRows, 1, 1, screen);
    EXPECT_EQ(fixtures::pageWords(screen), before);
}

TEST(SpriteBlit, DrawingTwiceEqualsDrawingOnce)
{
    std::mt19937 random(7);
    auto sprite = fixtures::randomImage(6, 5, random);
    Screen once(16, 16, 1, 32), twice(16, 16, 1, 32);
    fixtures::fillCanary(once);
    fixtures::fillCanary(twice);
    blitSprite(*sprite, 3, 4, once);
    blitSprite(*sprite, 3, 4, twice);
    blitSprite(*sprite, 3, 4, twice);
    EXPECT_EQ(fixtures::pageWords(once), fixtures::pageWords(twice));
}

// Sprites half off each edge, past the corners, wholly off the page, and at
// positions where x + width would overflow: the part on the page is drawn as
// usual and nothing beyond the page is touched.
TEST(SpriteBlit, ClipsToThePageAtEveryEdge)
{
    constexpr int kWidth = 12, kHeight = 9;
    struct Position {
        int x, y;
    };
    const Position positions[] = {
        {0, 0},  {8, 6},  {-3, 2}, {10, 2}, {4, -2},      {4, 7},       {-3, -2},           {10, 7},
        {-5, 0}, {12, 0}, {0, 9},  {0, -4}, {INT_MAX, 0}, {0, INT_MAX}, {INT_MIN, INT_MIN}, {INT_MAX - 2, INT_MAX - 2}};
    std::mt19937 random(1);
    auto sprite = fixtures::randomImage(5, 4, random);
    for (int i = 0; i < 20; i += 3)
        sprite->pixels[i] &= 0x00FFFFFF; // some transparent pixels among the random ones
    for (const Position p : positions) {
        Screen screen(kWidth, kHeight, 3, 32);
        screen.advancePage(); // the middle page, with a page of canaries either side
        fixtures::fillCanary(screen);
        const std::vector<Pixel> expected = expectedPage(screen, *sprite, p.x, p.y);
        blitSprite(*sprite, p.x, p.y, screen);
        EXPECT_EQ(fixtures::firstDifference(fixtures::pageWords(screen), expected, kWidth), "")
            << "at (" << p.x << ", " << p.y << ")";
        expectOtherPagesUntouched(screen);
    }
}

} // namespace
