// Every upscaler fast path against the plain scalar code, bit for bit, through
// blitScaled with the processor level capped at the path's level and at scalar.
#include "images/scaled_blit.h"
#include "video/cpu.h"

#include "tests/support/fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

struct Variant {
    const char* name;
    CpuLevel level;
};

const Variant kVariants[] = {{"sse2", CpuLevel::sse2}, {"avx2", CpuLevel::avx2}, {"avx512", CpuLevel::avx512}};
const char* const kModeNames[] = {"doubling", "Scale2x", "Scale3x", "Eagle"};

// Names the variant in test output instead of its bytes.
void PrintTo(const Variant& variant, std::ostream* out)
{
    *out << variant.name;
}

int pick(std::mt19937& random, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(random);
}

// An image of two or three colours, two of which differ only in alpha, laid out
// either as independent random pixels or as random rectangles and diagonals, the
// shapes that make the rules fire.
void paintImage(Image& image, std::mt19937& random)
{
    Pixel palette[3];
    palette[0] = static_cast<Pixel>(random());
    palette[1] = palette[0] ^ (static_cast<Pixel>(pick(random, 1, 255)) << 24);
    palette[2] = static_cast<Pixel>(random());
    std::shuffle(std::begin(palette), std::end(palette), random);
    const int colours = pick(random, 2, 3);
    const auto at = [&](int x, int y) -> Pixel& { return image.pixels[static_cast<std::size_t>(y) * image.width + x]; };
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            at(x, y) = palette[pick(random, 0, colours - 1)];
    if (pick(random, 0, 1) == 0)
        return;
    for (int shape = pick(random, 1, 12); shape > 0; --shape) {
        const Pixel colour = palette[pick(random, 0, colours - 1)];
        const int x0 = pick(random, 0, image.width - 1), y0 = pick(random, 0, image.height - 1);
        const int size = pick(random, 1, std::max(image.width, image.height));
        const bool diagonal = pick(random, 0, 1) == 0;
        for (int d = 0; d < size; ++d)
            for (int e = 0; e < (diagonal ? 1 : size); ++e) {
                const int x = diagonal ? x0 + d : x0 + e;
                const int y = diagonal ? y0 + (pick(random, 0, 3) ? d : d + 1) : y0 + d;
                if (x < image.width && y < image.height)
                    at(x, y) = colour;
            }
    }
}

std::string firstDifference(const Screen& actual, const Screen& expected)
{
    const std::size_t words = static_cast<std::size_t>(actual.width) * actual.height * actual.pageCount;
    for (std::size_t i = 0; i < words; ++i) {
        if (actual.pageStore[i] != expected.pageStore[i]) {
            char text[96];
            std::snprintf(text, sizeof text, "store word %zu: 0x%08X, expected 0x%08X", i, actual.pageStore[i],
                          expected.pageStore[i]);
            return text;
        }
    }
    return "";
}

class ScaledBlitPaths : public testing::TestWithParam<Variant> {
protected:
    void SetUp() override
    {
        if (cpuLevel() < GetParam().level)
            GTEST_SKIP() << "this processor has no " << GetParam().name;
    }
    void TearDown() override
    {
        setCpuLevelLimit(CpuLevel::avx512);
        gScaleMode = 3;
    }
};

// Case i seeds with i: an image from 1x1 to 40x40 (every twentieth case up to
// 300x120, so rows span many vectors), every mode, on a page from a few blocks
// narrower and shorter than the output to a few wider and taller, drawn on the
// middle of three canary-filled pages. Set kFirstCase to replay one case.
TEST_P(ScaledBlitPaths, MatchesTheScalarCodeOnRandomImagesAndPages)
{
    constexpr unsigned kFirstCase = 0;
    constexpr unsigned kCases = 2000;
    for (unsigned number = kFirstCase; number < kFirstCase + kCases; ++number) {
        std::mt19937 random(number);
        const bool large = number % 20 == 19;
        Image image(pick(random, 1, large ? 300 : 40), pick(random, 1, large ? 120 : 40));
        paintImage(image, random);
        const int widthChange = pick(random, 0, 3) == 0 ? -pick(random, 0, 3 * image.width) : pick(random, -7, 9);
        const int heightChange = pick(random, 0, 3) == 0 ? -pick(random, 0, 3 * image.height) : pick(random, -4, 4);

        for (int mode = 0; mode < 4; ++mode) {
            const int f = mode == 2 ? 3 : 2;
            const int pageWidth = std::max(1, f * image.width + widthChange);
            const int pageHeight = std::max(1, f * image.height + heightChange);
            Screen expected(pageWidth, pageHeight, 3, 32), actual(pageWidth, pageHeight, 3, 32);
            for (Screen* screen : {&expected, &actual}) {
                screen->advancePage();
                fixtures::fillCanary(*screen);
            }
            gScaleMode = mode;
            setCpuLevelLimit(CpuLevel::scalar);
            blitScaled(image, expected);
            setCpuLevelLimit(GetParam().level);
            blitScaled(image, actual);
            const std::string wrong = firstDifference(actual, expected);
            ASSERT_EQ(wrong, "") << "case " << number << ", " << GetParam().name << ", " << kModeNames[mode]
                                 << ", image " << image.width << "x" << image.height << ", page " << pageWidth << "x"
                                 << pageHeight << " (the middle page starts at word "
                                 << static_cast<std::size_t>(pageWidth) * pageHeight << ")";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EachFastPath, ScaledBlitPaths, testing::ValuesIn(kVariants),
                         [](const testing::TestParamInfo<Variant>& info) { return std::string(info.param.name); });

} // namespace
