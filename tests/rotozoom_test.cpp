#include "fx/rotozoom.h"

#include "tests/support/fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

// The rotozoomer written out plainly from its closed form: each page pixel's
// sample position from its own coordinates (not by stepping), and each blend with
// exact floor division. Holds exactly for textures whose neighbouring alpha bytes
// differ by less than 128, where no product leaves 32 bits.
std::int64_t floorDiv65536(std::int64_t value)
{
    return (value - (((value % 65536) + 65536) % 65536)) / 65536;
}

std::int64_t blend(std::int64_t a, std::int64_t b, std::int64_t weight)
{
    return a + floorDiv65536((b - a) * weight);
}

Pixel expectedPixel(const Image& texture, const RotozoomSteps& steps, int k, int r)
{
    const auto u = static_cast<std::uint32_t>(steps.u0 + std::uint64_t(k + 1) * std::uint32_t(steps.c) -
                                              std::uint64_t(r + 1) * std::uint32_t(steps.s));
    const auto v = static_cast<std::uint32_t>(steps.v0 + std::uint64_t(k + 1) * std::uint32_t(steps.s) +
                                              std::uint64_t(r + 1) * std::uint32_t(steps.c));
    const std::uint32_t x0 = (u / 65536) % 1024, y0 = (v / 65536) % 512;
    const std::uint32_t x1 = (x0 + 1) % 1024, y1 = (y0 + 1) % 512;
    const std::int64_t fx = u % 65536, fy = v % 65536;
    const Pixel p00 = texture.pixels[y0 * 1024 + x0], p10 = texture.pixels[y0 * 1024 + x1];
    const Pixel p01 = texture.pixels[y1 * 1024 + x0], p11 = texture.pixels[y1 * 1024 + x1];
    Pixel result = 0;
    for (const auto& [shift, mask] : {std::pair{16, 0xFFFF}, std::pair{8, 0xFF}, std::pair{0, 0xFF}}) {
        const auto c = [&](Pixel p) { return std::int64_t{(p >> shift) & mask}; };
        const std::int64_t top = blend(c(p00), c(p10), fx);
        const std::int64_t bottom = blend(c(p01), c(p11), fx);
        result += static_cast<Pixel>(blend(top, bottom, fy)) << shift;
    }
    return result;
}

std::vector<Pixel> expectedPage(const Image& texture, const RotozoomSteps& steps, int width, int height)
{
    std::vector<Pixel> page(static_cast<std::size_t>(width) * height);
    for (int r = 0; r < height; ++r)
        for (int k = 0; k < width; ++k)
            page[static_cast<std::size_t>(r) * width + k] = expectedPixel(texture, steps, k, r);
    return page;
}

std::unique_ptr<Image> opaqueTexture(std::mt19937& random)
{
    auto texture = fixtures::randomImage(1024, 512, random);
    for (int i = 0; i < 1024 * 512; ++i)
        texture->pixels[i] |= 0xFF000000;
    return texture;
}

TEST(Rotozoom, StepsFollowTheAngleAndZoomWithinOneUnit)
{
    std::mt19937 random(3);
    std::uniform_real_distribution<float> angles(-5000, 5000), zooms(0.01f, 50);
    for (int i = 0; i < 1000; ++i) {
        const float angle = angles(random), zoom = zooms(random) * (i % 2 ? 1 : -1);
        RotozoomSteps steps;
        ASSERT_TRUE(rotozoomSteps(angle, zoom, 5, -7, &steps)) << "case " << i;
        const long double a = static_cast<long double>(angle) / static_cast<long double>(53.6f);
        EXPECT_NEAR(steps.c, std::trunc(std::cos(a) / zoom * 65536), 1) << "case " << i;
        EXPECT_NEAR(steps.s, std::trunc(std::sin(a) / zoom * 65536), 1) << "case " << i;
        EXPECT_EQ(steps.u0, 5u << 16);
        EXPECT_EQ(steps.v0, static_cast<std::uint32_t>(-7 * 65536));
    }
}

TEST(Rotozoom, MatchesTheClosedFormOnRandomViews)
{
    std::mt19937 textureRandom(11);
    auto texture = opaqueTexture(textureRandom);
    for (int i = 0; i < 300; ++i) {
        std::mt19937 random(i);
        const float angle = std::uniform_real_distribution<float>(-3000, 3000)(random);
        const float zoom = std::uniform_real_distribution<float>(0.02f, 30)(random) * (i % 5 ? 1 : -1);
        const auto originX = static_cast<std::int32_t>(random());
        const auto originY = static_cast<std::int32_t>(random());
        const int width = 1 + static_cast<int>(random() % 70), height = 1 + static_cast<int>(random() % 40);
        Screen screen(width, height, 1, 32);
        drawRotozoom(*texture, angle, zoom, originX, originY, screen);
        RotozoomSteps steps;
        ASSERT_TRUE(rotozoomSteps(angle, zoom, originX, originY, &steps));
        ASSERT_EQ(
            fixtures::firstDifference(fixtures::pageWords(screen), expectedPage(*texture, steps, width, height), width),
            "")
            << "case " << i << ": angle " << angle << ", zoom " << zoom << ", origin " << originX << ", " << originY;
    }
}

TEST(Rotozoom, UnturnedUnzoomedViewCopiesTheTextureOneTexelOn)
{
    std::mt19937 random(5);
    auto texture = fixtures::randomImage(1024, 512, random); // any alpha: no blend happens
    Screen screen(1024, 768, 1, 32);
    drawRotozoom(*texture, 0, 1, 0, 0, screen);
    for (int r = 0; r < 768; ++r)
        for (int k = 0; k < 1024; ++k)
            ASSERT_EQ(screen.page()[r * 1024 + k], texture->pixels[((r + 1) % 512) * 1024 + (k + 1) % 1024])
                << "page pixel (" << k << ", " << r << ")";
}

TEST(Rotozoom, NegativeOriginsWrapLikeTheirTexelRowAndColumn)
{
    std::mt19937 random(9);
    auto texture = opaqueTexture(random);
    Screen a(40, 30, 1, 32), b(40, 30, 1, 32);
    drawRotozoom(*texture, 17.5f, 1.3f, -1, -1, a);
    drawRotozoom(*texture, 17.5f, 1.3f, 1023, 511, b);
    EXPECT_EQ(fixtures::pageWords(a), fixtures::pageWords(b));
}

// Blends of two texel columns at page pixel (0, 0), whose sample point is (C, C)
// in 16.16 at angle 0: C = 65536 / zoom.
TEST(Rotozoom, BlendsRoundDownAtEachStage)
{
    struct Case {
        const char* name;
        float zoom;        // sets fx = fy at page pixel (0, 0)
        Pixel left, right; // texel columns 0 and 1
        Pixel expected;
    };
    const Case cases[] = {
        {"black to white at one half gives 127", 2, 0xFF000000, 0xFFFFFFFF, 0xFF7F7F7F},
        {"255 toward 0 with weight 1 gives 254", 65536, 0xFFFFFFFF, 0xFF000000, 0xFFFEFEFE},
        {"0 toward 255 with weight 1 stays 0", 65536, 0xFF000000, 0xFFFFFFFF, 0xFF000000},
        {"half zoom blends texels at one half each way", 2, 0xFF204060, 0xFF406080, 0xFF305070},
    };
    for (const Case& c : cases) {
        Image texture(1024, 512);
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 1024; ++x)
                texture.pixels[y * 1024 + x] = x % 2 == 0 ? c.left : c.right;
        Screen screen(1, 1, 1, 32);
        drawRotozoom(texture, 0, c.zoom, 0, 0, screen);
        EXPECT_EQ(screen.page()[0], c.expected) << c.name;
    }
}

// Texels whose alpha bytes are far apart overflow the blend's 32-bit products;
// the result is then merely defined, but must never fault (the sanitizer build
// checks that) and must not depend on anything but the texture and view.
TEST(Rotozoom, TexturesWithAnyAlphaDrawDeterministically)
{
    std::mt19937 random(13);
    auto texture = fixtures::randomImage(1024, 512, random);
    Screen a(64, 48, 1, 32), b(64, 48, 1, 32);
    drawRotozoom(*texture, 3.7f, 0.31f, 100, -200, a);
    drawRotozoom(*texture, 3.7f, 0.31f, 100, -200, b);
    EXPECT_EQ(fixtures::pageWords(a), fixtures::pageWords(b));
}

TEST(Rotozoom, RefusedCallsLeaveThePageAlone)
{
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* name;
        int textureWidth, textureHeight;
        float angle, zoom;
    };
    const Case cases[] = {
        {"texture one row short", 1024, 511, 0, 1},
        {"texture narrower with too few texels", 512, 512, 0, 1},
        {"empty texture", 0, 0, 0, 1},
        {"zoom 0", 1024, 512, 0, 0},
        {"tiny zoom", 1024, 512, 0, 1e-30f},
        {"zoom just too small for 32 bits", 1024, 512, 0, 65536.0f / 2147483648.0f},
        {"infinite zoom gives steps of 0", 1024, 512, 0, kInfinity},
        {"NaN zoom", 1024, 512, 0, kNan},
        {"infinite angle", 1024, 512, kInfinity, 1},
        {"NaN angle", 1024, 512, kNan, 1},
    };
    for (const Case& c : cases) {
        Image texture(c.textureWidth, c.textureHeight);
        clearImage(&texture);
        Screen screen(8, 6, 1, 32);
        fixtures::fillCanary(screen);
        const std::vector<Pixel> before = fixtures::pageWords(screen);
        drawRotozoom(texture, c.angle, c.zoom, 0, 0, screen);
        const bool drawn = fixtures::pageWords(screen) != before;
        // An infinite zoom is a valid (if dull) view: steps of 0 show one texel.
        EXPECT_EQ(drawn, c.zoom == kInfinity) << c.name;
    }
}

TEST(Rotozoom, EmptyPageIsLeftUntouched)
{
    std::mt19937 random(2);
    auto texture = opaqueTexture(random);
    Screen noRows(16, 0, 1, 32), noColumns(0, 16, 1, 32);
    drawRotozoom(*texture, 1, 1, 0, 0, noRows);
    drawRotozoom(*texture, 1, 1, 0, 0, noColumns);
    SUCCEED();
}

} // namespace
