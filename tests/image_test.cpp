#include "images/image.h"

#include "tests/support/fixtures.h"

#include <gtest/gtest.h>

#include <climits>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const std::string kDimensionMessage = "Error : Invalid Image dimensions. Possibly uninitialized Image object.\n";

std::vector<Pixel> words(const Image& image)
{
    return std::vector<Pixel>(image.pixels, image.pixels + image.width * image.height);
}

TEST(Image, SizingConstructorRefusesNegativeSizes)
{
    EXPECT_THROW(Image(-1, 4), std::length_error);
    EXPECT_THROW(Image(4, -1), std::length_error);
    EXPECT_THROW(Image(INT_MIN, INT_MIN), std::length_error);
}

TEST(Image, SizingConstructorNeverMakesAShortAllocation)
{
    // 2^31-1 squared words is far beyond any heap: the allocation must fail
    // outright rather than wrap to something small.
    EXPECT_THROW(Image(INT_MAX, INT_MAX), std::bad_alloc);
}

TEST(Image, EmptyImagesHaveNoPixels)
{
    EXPECT_EQ(Image().pixels, nullptr);
    EXPECT_EQ(Image(0, 0).pixels, nullptr);
    EXPECT_EQ(Image(5, 0).pixels, nullptr);
}

TEST(ImagePatterns, GradientIsTheProductOfTheCoordinates)
{
    Image image(4, 3);
    EXPECT_TRUE(fillGradient(&image));
    EXPECT_EQ(words(image), (std::vector<Pixel>{0, 0, 0, 0, 0, 1, 2, 3, 0, 2, 4, 6}));
}

TEST(ImagePatterns, PatternCodesZeroAndOneClearAndFillGradient)
{
    Image image(4, 3);
    EXPECT_TRUE(fillImage(&image, 1));
    EXPECT_EQ(image.pixels[2 * 4 + 3], 6u);
    EXPECT_TRUE(fillImage(&image, 0));
    EXPECT_EQ(words(image), std::vector<Pixel>(12, 0));
}

TEST(ImagePatterns, GradientWrapsModulo2To32)
{
    Image image(70000, 2);
    fillGradient(&image);
    EXPECT_EQ(image.pixels[70000 + 69999], 69999u);
    Image tall(1, 1);
    fillGradient(&tall);
    EXPECT_EQ(tall.pixels[0], 0u);
}

TEST(ImagePatterns, UnknownPatternCodesChangeNothingAndPrintNothing)
{
    for (int pattern : {2, -1, 7}) {
        Image image(4, 3);
        fillGradient(&image);
        testing::internal::CaptureStdout();
        EXPECT_FALSE(fillImage(&image, pattern)) << pattern;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(words(image), (std::vector<Pixel>{0, 0, 0, 0, 0, 1, 2, 3, 0, 2, 4, 6})) << pattern;
    }
}

TEST(ImagePatterns, EmptyImagesGetTheMessageFromFillButNotFromClearOrGradient)
{
    struct Case {
        int width, height;
    };
    for (const Case c : {Case{0, 0}, Case{5, 0}, Case{0, 5}}) {
        Image image(c.width, c.height);
        for (int pattern : {0, 1, 7}) {
            testing::internal::CaptureStdout();
            EXPECT_FALSE(fillImage(&image, pattern));
            EXPECT_EQ(testing::internal::GetCapturedStdout(), kDimensionMessage);
        }
        testing::internal::CaptureStdout();
        EXPECT_TRUE(clearImage(&image));
        EXPECT_TRUE(fillGradient(&image));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    }
    Image defaultImage;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(fillImage(&defaultImage, 0));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), kDimensionMessage);
}

} // namespace
