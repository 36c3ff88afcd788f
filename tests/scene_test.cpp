#include "fx/scene.h"

#include "fx/rotozoom.h"
#include "images/image_set.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr Pixel kMarker = 0xFF00FF01; // the one-pixel sprite's colour; no texture holds it

// Textures of four solid colours and a one-pixel sprite, so the page shows which
// texture was drawn and where each sprite landed.
struct SceneTest : testing::Test {
    Screen screen{1024, 768, 1, 32};

    SceneTest()
    {
        for (int i = 0; i < 4; ++i)
            gImages[i] = fixtures::solidImage(1024, 512, fixtures::textureColour(i));
        gImages[kSpriteIndex] = fixtures::solidImage(1, 1, kMarker);
    }
    ~SceneTest() override
    {
        for (auto& slot : gImages)
            slot.reset();
        gFakeClock = FakeClock{};
    }

    std::vector<std::pair<int, int>> markers() const
    {
        std::vector<std::pair<int, int>> found;
        for (int i = 0; i < 1024 * 768; ++i)
            if (screen.page()[i] == kMarker)
                found.emplace_back(i % 1024, i / 1024);
        return found;
    }
};

TEST_F(SceneTest, SpriteCountGrowsEvery500MillisecondsFrom3Seconds)
{
    struct Case {
        std::uint32_t tA;
        std::size_t sprites;
    };
    for (const Case c : {Case{0, 0}, Case{2000, 0}, Case{2999, 0}, Case{3000, 1}, Case{3499, 1}, Case{3500, 2},
                         Case{28999, 52}, Case{29000, 53}}) {
        scriptFakeClock({c.tA, 0, 0});
        drawScene(screen);
        // Three readings to start with, then four for each sprite.
        EXPECT_EQ(gFakeClock.reads, 3 + 4 * c.sprites) << "at " << c.tA << " ms";
    }
}

TEST_F(SceneTest, TextureChangesEvery4096MillisecondsInFileOrder)
{
    struct Case {
        std::uint32_t tB;
        int texture;
    };
    for (const Case c : {Case{0, 0}, Case{4095, 0}, Case{4096, 1}, Case{8191, 1}, Case{8192, 2}, Case{12288, 3},
                         Case{16383, 3}, Case{16384, 0}, Case{0xFFFFFFFFu, 3}}) {
        scriptFakeClock({0, c.tB, 0});
        drawScene(screen);
        EXPECT_EQ(screen.page()[0], fixtures::textureColour(c.texture)) << "at " << c.tB << " ms";
        EXPECT_EQ(screen.page()[1024 * 768 - 1], fixtures::textureColour(c.texture)) << "at " << c.tB << " ms";
    }
}

// The three opening readings have separate jobs: the first counts sprites, the
// second picks the texture, the third turns it.
TEST_F(SceneTest, OpeningClockReadingsCountPickAndTurn)
{
    std::mt19937 random(4);
    gImages[1] = fixtures::randomImage(1024, 512, random);
    const std::uint32_t tC = 12345;
    scriptFakeClock({0, 4096 + 5, tC});
    drawScene(screen);
    EXPECT_EQ(gFakeClock.reads, 3u);

    Screen expected(1024, 768, 1, 32);
    drawRotozoom(*gImages[1], static_cast<float>(tC / 64.0), 1, 0, 0, expected);
    EXPECT_EQ(fixtures::firstDifference(fixtures::pageWords(screen), fixtures::pageWords(expected), 1024), "");
}

TEST_F(SceneTest, SpritesLandWhereTheirSineTermsPutThem)
{
    struct Case {
        const char* name;
        std::vector<std::uint32_t> script;
        std::pair<int, int> expected; // the last sprite's position
    };
    const Case cases[] = {
        {"sprite 0 at 3 s", {3000, 0, 0, 3000, 3000, 3000, 3000}, {510, 344}},
        {"sprite 1 at 3.5 s", {3500, 0, 0, 0, 0, 0, 0, 3500, 3500, 3500, 3500}, {197, 331}},
    };
    for (const Case& c : cases) {
        scriptFakeClock(c.script);
        drawScene(screen);
        EXPECT_NE(std::find(markers().begin(), markers().end(), c.expected), markers().end())
            << c.name << ": no sprite at (" << c.expected.first << ", " << c.expected.second << ")";
    }
}

// Each of a sprite's four readings feeds its own sine term, in the order X1, X2,
// Y1, Y2: distinct readings place the sprite by the formula only in that order.
TEST_F(SceneTest, EachSpriteReadsTheClockOncePerSineTerm)
{
    const std::uint32_t t1 = 1000, t2 = 2500, t3 = 4000, t4 = 7300;
    scriptFakeClock({3000, 0, 0, t1, t2, t3, t4});
    drawScene(screen);
    const double x = 180 * std::sin(double{0.001f} * t1) + 200 * std::sin(double{0.0009f} * t2) + 400;
    const double y = 100 * std::sin(double{0.0007f} * t3) + 150 * std::sin(double{0.002f} * t4) + 300;
    const std::vector<std::pair<int, int>> expected = {{static_cast<int>(x), static_cast<int>(y)}};
    EXPECT_EQ(markers(), expected);
}

TEST_F(SceneTest, UnturnedBackgroundAtClockZeroShowsTexelsOneOn)
{
    std::mt19937 random(8);
    gImages[0] = fixtures::randomImage(1024, 512, random);
    scriptFakeClock({0, 0, 0});
    drawScene(screen);
    EXPECT_EQ(screen.page()[0], gImages[0]->pixels[1 * 1024 + 1]);
    EXPECT_EQ(screen.page()[767 * 1024 + 1023], gImages[0]->pixels[(768 % 512) * 1024 + 0]);
}

} // namespace
