#include "images/image_loader.h"

#include "tests/support/fixtures.h"
#include "tools/png_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Masks {
    Uint32 r, g, b, a;
};
constexpr Masks kRedFirst24{0x0000FF, 0x00FF00, 0xFF0000, 0};
constexpr Masks kRedFirst32{0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
constexpr Masks kBlueFirst24{0xFF0000, 0x00FF00, 0x0000FF, 0};
constexpr Masks kBlueFirst32{0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
constexpr Masks kRgb565{0xF800, 0x07E0, 0x001F, 0};
constexpr Masks kArgb1555{0x7C00, 0x03E0, 0x001F, 0x8000};
constexpr Masks kNone{0, 0, 0, 0};

struct ConversionCase {
    const char* name;
    int depth;
    Masks masks;
    int width, height, pitch;
    std::vector<Uint8> bytes; // the surface's memory, pitch bytes a row
    std::vector<Pixel> expected;
};

// Each case lays out surface memory byte by byte and names the words it must give.
const ConversionCase kConversions[] = {
    {"8-bit byte becomes grey level and alpha",
     8,
     kNone,
     3,
     1,
     4,
     {0x5A, 0x00, 0xFF, 0x77},
     {0x5A5A5A5A, 0x00000000, 0xFFFFFFFF}},
    {"24-bit red-first is opaque, bytes in order", 24, kRedFirst24, 1, 1, 4, {0x12, 0x34, 0x56, 0x99}, {0xFF123456}},
    {"24-bit padded pitch skips the row tail",
     24,
     kRedFirst24,
     2,
     2,
     8,
     {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0xEE, 0xEE, 0x77, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xEE, 0xEE},
     {0xFF112233, 0xFF445566, 0xFF778899, 0xFFAABBCC}},
    {"32-bit red-first takes alpha from the fourth byte",
     32,
     kRedFirst32,
     2,
     1,
     8,
     {0x12, 0x34, 0x56, 0x78, 0x00, 0x00, 0x00, 0x00},
     {0x78123456, 0x00000000}},
    {"24-bit blue-first is read by its masks", 24, kBlueFirst24, 1, 1, 4, {0x56, 0x34, 0x12, 0x00}, {0xFF123456}},
    {"32-bit blue-first keeps its alpha", 32, kBlueFirst32, 1, 1, 4, {0x56, 0x34, 0x12, 0x80}, {0x80123456}},
    {"16-bit 565 widens each channel to full scale",
     16,
     kRgb565,
     3,
     1,
     6,
     {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00},
     {0xFFFF0000, 0xFF00FF00, 0xFF0000FF}},
    {"15-bit with a one-bit alpha", 16, kArgb1555, 2, 1, 4, {0xFF, 0xFF, 0xFF, 0x7F}, {0xFFFFFFFF, 0x00FFFFFF}},
    {"a surface of width 0 reads nothing", 24, kRedFirst24, 0, 3, 0, {}, {}},
    {"a surface of height 0 reads nothing", 32, kRedFirst32, 3, 0, 12, {}, {}},
};

TEST(ImageConversion, EachDepthAndLayoutGivesItsWords)
{
    for (const ConversionCase& c : kConversions) {
        std::vector<Uint8> memory = c.bytes;
        memory.resize(memory.size() + 16, 0xEE); // room SDL may assume; never read
        SDL_Surface* surface = SDL_CreateRGBSurfaceFrom(memory.data(), c.width, c.height, c.depth, c.pitch, c.masks.r,
                                                        c.masks.g, c.masks.b, c.masks.a);
        ASSERT_NE(surface, nullptr) << c.name;
        std::unique_ptr<Image> image = imageFromSurface(*surface);
        ASSERT_NE(image, nullptr) << c.name << ": " << SDL_GetError();
        EXPECT_EQ(image->width, c.width) << c.name;
        EXPECT_EQ(image->height, c.height) << c.name;
        const std::vector<Pixel> actual(image->pixels, image->pixels + c.expected.size());
        EXPECT_EQ(actual, c.expected) << c.name;
        SDL_FreeSurface(surface);
    }
}

TEST(ImageConversion, RefusesSurfacesItCannotRead)
{
    Uint8 memory[64] = {};
    // Rows shorter than their pixels: reading them would run past the memory. (Made
    // from a sound surface, since some SDL builds refuse to create such a one.)
    SDL_Surface* shortRows = SDL_CreateRGBSurfaceFrom(memory, 4, 2, 32, 16, 0xFF, 0xFF00, 0xFF0000, 0);
    ASSERT_NE(shortRows, nullptr);
    shortRows->pitch = 8;
    EXPECT_EQ(imageFromSurface(*shortRows), nullptr);
    EXPECT_NE(std::string(SDL_GetError()).find("rows"), std::string::npos) << SDL_GetError();
    shortRows->pitch = 16;
    SDL_FreeSurface(shortRows);

    SDL_Surface* packedBits = SDL_CreateRGBSurfaceFrom(memory, 8, 2, 1, 1, 0, 0, 0, 0);
    ASSERT_NE(packedBits, nullptr);
    EXPECT_EQ(imageFromSurface(*packedBits), nullptr);
    EXPECT_NE(std::string(SDL_GetError()).find("depth"), std::string::npos) << SDL_GetError();
    SDL_FreeSurface(packedBits);
}

struct LoadImageTest : testing::Test {
    fixtures::TempDir dir;
};

TEST_F(LoadImageTest, MissingFileGivesNullAndPrintsNothing)
{
    const std::string path = (dir.path / "absent.png").string();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(loadImage(path.c_str()), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(std::string(SDL_GetError()), "");
}

TEST_F(LoadImageTest, UndecodableFileGivesNull)
{
    const auto path = dir.path / "noise.jpg";
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("this is not an image at all", file);
    std::fclose(file);
    EXPECT_EQ(loadImage(path.c_str()), nullptr);
}

TEST_F(LoadImageTest, PngKeepsColoursAndAlpha)
{
    Image source(3, 2);
    const Pixel words[6] = {0xFF112233, 0x00FFFFFF, 0x01000000, 0x80ABCDEF, 0xFF000000, 0x7F7F7F7F};
    std::memcpy(source.pixels, words, sizeof words);
    const auto path = dir.path / "fixture.png";
    ASSERT_TRUE(writePng(path.c_str(), source));
    std::unique_ptr<Image> image = loadImage(path.c_str());
    ASSERT_NE(image, nullptr) << SDL_GetError();
    ASSERT_EQ(image->width, 3);
    ASSERT_EQ(image->height, 2);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(image->pixels[i], words[i]) << "pixel " << i;
}

TEST_F(LoadImageTest, BlueFirstBmpComesOutWithTheRightColours)
{
    fixtures::SdlVideo sdl;
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 2, 1, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    ASSERT_NE(surface, nullptr);
    Uint8* row = static_cast<Uint8*>(surface->pixels);
    const Uint8 layout[6] = {0x56, 0x34, 0x12, 0x00, 0x00, 0xFF}; // blue, green, red in memory
    std::memcpy(row, layout, 6);
    const auto path = dir.path / "fixture.bmp";
    ASSERT_EQ(SDL_SaveBMP(surface, path.c_str()), 0) << SDL_GetError();
    SDL_FreeSurface(surface);

    std::unique_ptr<Image> image = loadImage(path.c_str());
    ASSERT_NE(image, nullptr) << SDL_GetError();
    EXPECT_EQ(image->pixels[0], 0xFF123456u);
    EXPECT_EQ(image->pixels[1], 0xFFFF0000u);
}

} // namespace
