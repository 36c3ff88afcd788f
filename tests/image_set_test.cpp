#include "images/image_set.h"

#include "tests/support/fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace {

struct ImageSetTest : testing::Test {
    fixtures::TempDir dir;

    ~ImageSetTest() override
    {
        for (auto& slot : gImages)
            slot.reset();
    }

    struct Outcome {
        bool result;
        std::string out, err;
    };
    Outcome load()
    {
        fixtures::ScopedChdir inside(dir.path);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const bool result = loadImages();
        return {result, testing::internal::GetCapturedStdout(), testing::internal::GetCapturedStderr()};
    }
};

TEST_F(ImageSetTest, EmptyBeforeLoading)
{
    for (int i = 0; i < kImageCount; ++i)
        EXPECT_EQ(getImage(i), nullptr) << i;
}

TEST_F(ImageSetTest, LoadsTexturesInFileOrderAndTheSprite)
{
    fixtures::writeImageSet(dir.path);
    const Outcome outcome = load();
    EXPECT_TRUE(outcome.result);
    EXPECT_EQ(outcome.out, "Loading the images..\n");
    EXPECT_EQ(outcome.err, "");
    for (int i = 0; i < 4; ++i) {
        ASSERT_NE(getImage(i), nullptr) << i;
        EXPECT_EQ(getImage(i)->pixels[0], fixtures::textureColour(i)) << i;
    }
    ASSERT_NE(getImage(kSpriteIndex), nullptr);
    EXPECT_EQ(getImage(kSpriteIndex)->pixels[17], fixtures::kSpriteColour);
}

// A file that is absent, undecodable or of a size the drawing code cannot take
// leaves its slot empty, is named on standard error, and the rest still load.
TEST_F(ImageSetTest, BadFilesLeaveTheirSlotEmptyAndAreNamed)
{
    struct Case {
        const char* name;
        int slot;
        void (*spoil)(const std::filesystem::path& images);
        const char* fault;
    };
    const Case cases[] = {
        {"third texture missing", 2, [](const auto& images) { std::filesystem::remove(images / "alumin3.jpg"); },
         "cannot load image"},
        {"sprite not an image", 4,
         [](const auto& images) {
             FILE* f = std::fopen((images / "tumblewisp2.png").c_str(), "wb");
             std::fputs("garbage", f);
             std::fclose(f);
         },
         "cannot load image"},
    };
    for (const Case& c : cases) {
        fixtures::writeImageSet(dir.path);
        c.spoil(dir.path / "data" / "images");
        const Outcome outcome = load();
        EXPECT_FALSE(outcome.result) << c.name;
        EXPECT_EQ(outcome.out, "Loading the images..\nSomething went wrong with image loading\n") << c.name;
        EXPECT_NE(outcome.err.find(std::string(imagePath(c.slot)) + ": " + c.fault), std::string::npos)
            << c.name << ": " << outcome.err;
        EXPECT_EQ(getImage(c.slot), nullptr) << c.name;
        for (int i = 0; i < kImageCount; ++i) {
            if (i != c.slot) {
                EXPECT_NE(getImage(i), nullptr) << c.name << ", slot " << i;
            }
        }
    }
}

TEST_F(ImageSetTest, SizesTheDrawingCannotTakeAreRefused)
{
    struct Case {
        const char* name;
        int textureWidth, textureHeight, spriteWidth, spriteHeight;
        int badSlot; // -1: all fit
    };
    const Case cases[] = {
        {"texture narrower than 1024", 1000, 512, 16, 8, 0}, {"texture wider than 1024", 1025, 512, 16, 8, 0},
        {"texture lower than 512", 1024, 511, 16, 8, 0},     {"texture taller than 512 fits", 1024, 600, 16, 8, -1},
        {"largest sprite fits", 1024, 512, 244, 218, -1},    {"sprite too wide", 1024, 512, 245, 8, 4},
        {"sprite too high", 1024, 512, 16, 219, 4},
    };
    for (const Case& c : cases) {
        fixtures::writeImageSet(dir.path, c.textureWidth, c.textureHeight, c.spriteWidth, c.spriteHeight);
        const Outcome outcome = load();
        EXPECT_EQ(outcome.result, c.badSlot < 0) << c.name;
        if (c.badSlot < 0)
            continue;
        EXPECT_EQ(getImage(c.badSlot), nullptr) << c.name;
        const int lines = static_cast<int>(std::count(outcome.err.begin(), outcome.err.end(), '\n'));
        EXPECT_EQ(lines, c.badSlot == 4 ? 1 : 4) << c.name << ": " << outcome.err;
        EXPECT_NE(outcome.err.find(std::string(imagePath(c.badSlot)) + ": "), std::string::npos)
            << c.name << ": " << outcome.err;
    }
}

} // namespace
