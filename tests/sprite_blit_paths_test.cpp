// Every sprite blit fast path against the plain scalar routine, bit for bit.
#include "images/sprite_blit.h"
#include "images/sprite_blit_paths.h"
#include "video/cpu.h"

#include "tests/support/fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using RowsRoutine = void (*)(const Pixel*, int, Pixel*, int, int, int);

struct Variant {
    const char* name;
    CpuLevel level;
    RowsRoutine rows;
};

const Variant kVariants[] = {
    {"sse2", CpuLevel::sse2, blitSpriteRowsSse2},
    {"avx2", CpuLevel::avx2, blitSpriteRowsAvx2},
    {"avx512", CpuLevel::avx512, blitSpriteRowsAvx512},
};

// Names the variant in test output instead of its bytes.
void PrintTo(const Variant& variant, std::ostream* out)
{
    *out << variant.name;
}

int pick(std::mt19937& random, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(random);
}

// A sprite whose transparency comes in runs: each run picks its length (1 to 40
// words) and its kind, so the vector lanes see all-transparent, all-opaque and
// mixed groups. Opaque alphas favour 1 and 255, the extremes of "not 0".
std::unique_ptr<Image> randomSprite(int width, int height, std::mt19937& random)
{
    auto sprite = std::make_unique<Image>(width, height);
    const int transparentPercent = std::array{0, 10, 50, 90, 100}[pick(random, 0, 4)];
    const std::size_t words = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::size_t k = 0;
    while (k < words) {
        const std::size_t run = std::min<std::size_t>(words - k, static_cast<std::size_t>(pick(random, 1, 40)));
        const bool transparent = pick(random, 0, 99) < transparentPercent;
        const bool scattered = pick(random, 0, 3) == 0; // a run of independent coin flips instead
        for (std::size_t i = 0; i < run; ++i, ++k) {
            const Pixel colour = static_cast<Pixel>(random()) & 0x00FFFFFFu;
            const bool clear = scattered ? pick(random, 0, 1) == 0 : transparent;
            const std::array<Pixel, 4> opaqueAlphas{1, 255, 0x80, static_cast<Pixel>(pick(random, 1, 255))};
            const Pixel alpha = clear ? 0 : opaqueAlphas[pick(random, 0, 3)];
            sprite->pixels[k] = alpha << 24 | colour;
        }
    }
    return sprite;
}

std::string firstDifference(const std::vector<Pixel>& actual, const std::vector<Pixel>& expected)
{
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (actual[i] != expected[i]) {
            char text[96];
            std::snprintf(text, sizeof text, "buffer word %zu: 0x%08X, expected 0x%08X", i, actual[i], expected[i]);
            return text;
        }
    }
    return "";
}

class SpriteBlitPaths : public testing::TestWithParam<Variant> {
protected:
    void SetUp() override
    {
        if (cpuLevel() < GetParam().level)
            GTEST_SKIP() << "this processor has no " << GetParam().name;
    }
};

// The row routine alone, on a buffer with guard words around the rectangle: sprites
// of 0 to 260 words a row into targets of any stride, so every vector tail length
// and misalignment occurs. Case i seeds with i; set kFirstCase to replay one.
TEST_P(SpriteBlitPaths, RowRoutineMatchesTheScalarOneOnRandomSprites)
{
    constexpr unsigned kFirstCase = 0;
    constexpr unsigned kCases = 3000;
    for (unsigned number = kFirstCase; number < kFirstCase + kCases; ++number) {
        std::mt19937 random(number);
        const int width = pick(random, 0, 3) == 0 ? pick(random, 0, 20) : pick(random, 0, 260);
        const int rows = pick(random, 0, 12);
        auto sprite = randomSprite(std::max(width, 1) + pick(random, 0, 5), rows, random);
        const int targetStride = width + pick(random, 0, 33);
        const int guard = 17; // words before the first row and after the last
        const std::size_t words = static_cast<std::size_t>(targetStride) * rows + 2 * guard;
        std::vector<Pixel> expected(words);
        for (std::size_t i = 0; i < words; ++i)
            expected[i] = fixtures::canaryWord(i);
        std::vector<Pixel> actual = expected;
        const int skip = pick(random, 0, sprite->width - std::max(width, 1)); // start inside a row

        blitSpriteRowsScalar(sprite->pixels + skip, sprite->width, expected.data() + guard, targetStride, width, rows);
        GetParam().rows(sprite->pixels + skip, sprite->width, actual.data() + guard, targetStride, width, rows);
        const std::string wrong = firstDifference(actual, expected);
        ASSERT_EQ(wrong, "") << "case " << number << ", " << GetParam().name << ", " << width << "x" << rows
                             << " words, target stride " << targetStride;
    }
}

// Through blitSprite with the level capped at this variant and at scalar: pages from
// 1x1 to 1024x768 whose widths are rarely a multiple of a vector, sprites placed
// across every edge and corner and wholly off the page. The page drawn is the middle
// of three, so the pages either side are the canaries.
TEST_P(SpriteBlitPaths, PublicBlitMatchesTheScalarLevelAtEveryPlacement)
{
    constexpr unsigned kFirstCase = 0;
    constexpr unsigned kCases = 1500;
    struct LevelCap {
        CpuLevel previous;
        ~LevelCap() { setCpuLevelLimit(previous); }
    } cap{setCpuLevelLimit(CpuLevel::avx512)};

    for (unsigned number = kFirstCase; number < kFirstCase + kCases; ++number) {
        std::mt19937 random(number);
        const bool large = number % 100 == 99;
        const int pageWidth = large ? pick(random, 500, 1024) : pick(random, 1, 70);
        const int pageHeight = large ? pick(random, 300, 768) : pick(random, 1, 40);
        auto sprite = randomSprite(pick(random, 0, large ? 260 : 90), pick(random, 0, large ? 220 : 30), random);
        // Edges: left, right, top and bottom, each straddled, just inside or just beyond.
        const auto place = [&](int page, int size) {
            switch (pick(random, 0, 6)) {
            case 0: return -pick(random, 0, size + 2);
            case 1: return page - pick(random, 0, size + 2);
            case 2: return pick(random, 0, std::max(0, page - size));
            case 3: return pick(random, -3, 3);
            case 4: return page + pick(random, -3, 3);
            case 5: return pick(random, 0, 1) ? INT_MIN + pick(random, 0, 5) : INT_MAX - pick(random, 0, 5);
            default: return pick(random, -size, page);
            }
        };
        const int x = place(pageWidth, sprite->width);
        const int y = place(pageHeight, sprite->height);

        Screen expected(pageWidth, pageHeight, 3, 32), actual(pageWidth, pageHeight, 3, 32);
        for (Screen* screen : {&expected, &actual}) {
            screen->advancePage();
            fixtures::fillCanary(*screen);
        }
        setCpuLevelLimit(CpuLevel::scalar);
        blitSprite(*sprite, x, y, expected);
        setCpuLevelLimit(GetParam().level);
        blitSprite(*sprite, x, y, actual);

        const std::size_t storeWords = static_cast<std::size_t>(pageWidth) * pageHeight * 3;
        const std::vector<Pixel> want(expected.pageStore, expected.pageStore + storeWords);
        const std::vector<Pixel> got(actual.pageStore, actual.pageStore + storeWords);
        const std::string wrong = firstDifference(got, want);
        ASSERT_EQ(wrong, "") << "case " << number << ", " << GetParam().name << ", sprite " << sprite->width << "x"
                             << sprite->height << " at (" << x << ", " << y << ") on a " << pageWidth << "x"
                             << pageHeight << " page (the middle page starts at word "
                             << static_cast<std::size_t>(pageWidth) * pageHeight << ")";
    }
}

INSTANTIATE_TEST_SUITE_P(EachFastPath, SpriteBlitPaths, testing::ValuesIn(kVariants),
                         [](const testing::TestParamInfo<Variant>& info) { return std::string(info.param.name); });

} // namespace
