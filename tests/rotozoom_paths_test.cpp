#include "fx/rotozoom_paths.h"

#include "tests/support/fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

struct Variant {
    const char* name;
    CpuLevel level;
    RotozoomRoutine routine;
};

void PrintTo(const Variant& variant, std::ostream* out)
{
    *out << variant.name;
}

const Variant kVariants[] = {
    {"sse2", CpuLevel::sse2, drawRotozoomSse2},
    {"avx2", CpuLevel::avx2, drawRotozoomAvx2},
    {"avx512", CpuLevel::avx512, drawRotozoomAvx512},
};

// Textures shared by all cases, made once: random words (alpha bytes far apart, so
// the upper channel's products wrap), the same made opaque, and alpha alternating
// between 0 and 255 texel by texel, which wraps at almost every blend.
struct Textures {
    std::unique_ptr<Image> anyAlpha, opaque, alternatingAlpha;
    Textures()
    {
        std::mt19937 random(20240611);
        anyAlpha = fixtures::randomImage(1024, 512, random);
        opaque = fixtures::randomImage(1024, 512, random);
        alternatingAlpha = fixtures::randomImage(1024, 512, random);
        for (int y = 0; y < 512; ++y) {
            for (int x = 0; x < 1024; ++x) {
                opaque->pixels[y * 1024 + x] |= 0xFF000000;
                Pixel& p = alternatingAlpha->pixels[y * 1024 + x];
                p = (p & 0x00FFFFFF) | ((x + y) % 2 ? 0xFF000000 : 0);
            }
        }
    }
    const Image& pick(std::uint32_t which) const
    {
        return which % 3 == 0 ? *anyAlpha : which % 3 == 1 ? *opaque : *alternatingAlpha;
    }
};

const Textures& textures()
{
    static const Textures shared;
    return shared;
}

// One view and page size from case number i alone. Most pages are small, a few
// hundred pixels with widths that are no multiple of any vector width; every 250th
// case is a full demo page. Half the steps come from an angle and a zoom (tiny,
// just above what rotozoomSteps refuses, to huge, either sign), half are arbitrary
// 32-bit words, as are the origins.
struct Case {
    RotozoomSteps steps;
    int width = 0, height = 0;
    std::uint32_t texture = 0;
    std::string view;
};

Case makeCase(int i)
{
    std::mt19937 random(static_cast<std::uint32_t>(i));
    Case c;
    c.texture = random();
    if (i % 250 == 0) {
        c.width = 1024;
        c.height = 768;
    } else if (i % 50 == 0) {
        c.width = 1 + static_cast<int>(random() % 1100);
        c.height = 1 + static_cast<int>(random() % 8);
    } else {
        c.width = 1 + static_cast<int>(random() % 67);
        c.height = 1 + static_cast<int>(random() % 9);
    }
    const auto originX = static_cast<std::int32_t>(random());
    const auto originY = static_cast<std::int32_t>(random());
    if (random() % 2) {
        c.steps.c = static_cast<std::int32_t>(random());
        c.steps.s = static_cast<std::int32_t>(random());
        c.steps.u0 = random();
        c.steps.v0 = random();
        c.view = "raw steps";
    } else {
        const float angle = std::uniform_real_distribution<float>(-4000, 4000)(random);
        // |zoom| from 2^-15 (65536 / zoom just under 2^31) up to 2^20.
        const float magnitude = std::exp2(std::uniform_real_distribution<float>(-14.99f, 20)(random));
        const float zoom = random() % 4 == 0 ? -magnitude : magnitude;
        if (!rotozoomSteps(angle, zoom, originX, originY, &c.steps))
            ADD_FAILURE() << "case " << i << ": steps refused for zoom " << zoom;
        c.view = "angle " + std::to_string(angle) + ", zoom " + std::to_string(zoom);
    }
    return c;
}

class RotozoomPath : public testing::TestWithParam<Variant> {
protected:
    void SetUp() override
    {
        if (cpuLevel() < GetParam().level)
            GTEST_SKIP() << "this processor has no " << GetParam().name;
    }
};

TEST_P(RotozoomPath, MatchesTheScalarLoopOnRandomViewsAndTextures)
{
    const Variant& variant = GetParam();
    for (int i = 0; i < 3000; ++i) {
        const Case c = makeCase(i);
        const Image& texture = textures().pick(c.texture);
        // The page between two others, all three filled with a canary, so a store
        // past either end of the page shows.
        Screen expected(c.width, c.height, 1, 32), actual(c.width, c.height, 3, 32);
        actual.currentPage = 1;
        fixtures::fillCanary(actual);
        drawRotozoomScalar(texture.pixels, c.steps, expected);
        variant.routine(texture.pixels, c.steps, actual);
        ASSERT_EQ(fixtures::firstDifference(fixtures::pageWords(actual), fixtures::pageWords(expected), c.width), "")
            << "case " << i << ", " << variant.name << ": " << c.view << ", texture " << c.texture % 3 << ", page "
            << c.width << "x" << c.height;
        const std::size_t pageWords = static_cast<std::size_t>(c.width) * static_cast<std::size_t>(c.height);
        for (std::size_t w = 0; w < pageWords; ++w) {
            ASSERT_EQ(actual.pageStore[w], fixtures::canaryWord(w)) << "case " << i << ": word before the page";
            ASSERT_EQ(actual.pageStore[2 * pageWords + w], fixtures::canaryWord(2 * pageWords + w))
                << "case " << i << ": word after the page";
        }
    }
}

// Views that keep a whole page on a few texels: the last column and row, where
// x1 and y1 wrap to 0, and steps of 0 or of exactly one texel.
TEST_P(RotozoomPath, MatchesTheScalarLoopAtTheTextureEdges)
{
    const Variant& variant = GetParam();
    const RotozoomSteps cases[] = {
        {0, 0, 1023u << 16 | 0x8000, 511u << 16 | 0x8000},
        {1, -1, 0xFFFFFFFFu, 0xFFFFFFFFu},
        {65536, 0, 1022u << 16, 510u << 16},
        {0, 65536, 1023u << 16 | 1, 0},
        {-65536, -65536, 0, 0},
        {INT32_MIN, INT32_MAX, 0x80000000u, 0x7FFFFFFFu},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        for (std::uint32_t t = 0; t < 3; ++t) {
            const Image& texture = textures().pick(t);
            Screen expected(37, 5, 1, 32), actual(37, 5, 1, 32);
            drawRotozoomScalar(texture.pixels, cases[i], expected);
            variant.routine(texture.pixels, cases[i], actual);
            ASSERT_EQ(fixtures::firstDifference(fixtures::pageWords(actual), fixtures::pageWords(expected), 37), "")
                << "edge case " << i << ", texture " << t << ", " << variant.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFastPath, RotozoomPath, testing::ValuesIn(kVariants),
                         [](const testing::TestParamInfo<Variant>& info) { return std::string(info.param.name); });

struct LevelLimit {
    CpuLevel previous;
    explicit LevelLimit(CpuLevel limit) : previous(setCpuLevelLimit(limit)) {}
    ~LevelLimit() { setCpuLevelLimit(previous); }
};

TEST(RotozoomDispatch, EachLevelRunsItsOwnVariant)
{
    EXPECT_EQ(rotozoomRoutine(CpuLevel::scalar), drawRotozoomScalar);
    EXPECT_EQ(rotozoomRoutine(CpuLevel::sse2), drawRotozoomSse2);
    EXPECT_EQ(rotozoomRoutine(CpuLevel::avx2), drawRotozoomAvx2);
    EXPECT_EQ(rotozoomRoutine(CpuLevel::avx512), drawRotozoomAvx512);
}

TEST(RotozoomDispatch, DrawsTheScalarPageUnderEveryLevelLimit)
{
    const Image& texture = textures().pick(0);
    Screen expected(203, 77, 1, 32);
    RotozoomSteps steps;
    ASSERT_TRUE(rotozoomSteps(123.4f, 0.7f, -5, 9, &steps));
    drawRotozoomScalar(texture.pixels, steps, expected);
    for (CpuLevel level : {CpuLevel::scalar, CpuLevel::sse2, CpuLevel::avx2, CpuLevel::avx512}) {
        const LevelLimit limit(level);
        Screen actual(203, 77, 1, 32);
        drawRotozoom(texture, 123.4f, 0.7f, -5, 9, actual);
        EXPECT_EQ(fixtures::firstDifference(fixtures::pageWords(actual), fixtures::pageWords(expected), 203), "")
            << "limit " << cpuLevelName(level) << ", active " << cpuLevelName(activeCpuLevel());
    }
}

} // namespace
