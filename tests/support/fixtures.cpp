#include "tests/support/fixtures.h"

#include "tools/png_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <unistd.h>

namespace fixtures {

std::unique_ptr<Image> solidImage(int width, int height, Pixel colour)
{
    auto image = std::make_unique<Image>(width, height);
    for (std::size_t i = 0; i < static_cast<std::size_t>(width) * static_cast<std::size_t>(height); ++i)
        image->pixels[i] = colour;
    return image;
}

std::unique_ptr<Image> randomImage(int width, int height, std::mt19937& random)
{
    auto image = std::make_unique<Image>(width, height);
    for (std::size_t i = 0; i < static_cast<std::size_t>(width) * static_cast<std::size_t>(height); ++i)
        image->pixels[i] = static_cast<Pixel>(random());
    return image;
}

Pixel canaryWord(std::size_t index)
{
    return 0xC0DE0000u ^ static_cast<Pixel>(index * 2654435761u);
}

void fillCanary(Screen& screen)
{
    const std::size_t words = static_cast<std::size_t>(screen.width) * static_cast<std::size_t>(screen.height) *
                              static_cast<std::size_t>(screen.pageCount);
    for (std::size_t i = 0; i < words; ++i)
        screen.pageStore[i] = canaryWord(i);
}

std::vector<Pixel> pageWords(const Screen& screen)
{
    const Pixel* page = screen.page();
    return std::vector<Pixel>(page, page + static_cast<std::size_t>(screen.width) * screen.height);
}

std::string firstDifference(const std::vector<Pixel>& actual, const std::vector<Pixel>& expected, int width)
{
    if (actual.size() != expected.size())
        return "sizes differ: " + std::to_string(actual.size()) + " against " + std::to_string(expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (actual[i] != expected[i]) {
            char text[128];
            std::snprintf(text, sizeof text, "pixel (%zu, %zu): 0x%08X, expected 0x%08X", i % width, i / width,
                          actual[i], expected[i]);
            return text;
        }
    }
    return "";
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "orvane-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

ScopedChdir::ScopedChdir(const std::filesystem::path& to) : previous(std::filesystem::current_path())
{
    std::filesystem::current_path(to);
}

ScopedChdir::~ScopedChdir()
{
    std::filesystem::current_path(previous);
}

Pixel textureColour(int index)
{
    static const Pixel colours[4] = {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0};
    return colours[index];
}

void writeImageSet(const std::filesystem::path& root, int textureWidth, int textureHeight, int spriteWidth,
                   int spriteHeight)
{
    const auto images = root / "data" / "images";
    std::filesystem::create_directories(images);
    for (int i = 0; i < 4; ++i) {
        auto texture = solidImage(textureWidth, textureHeight, textureColour(i));
        const auto path = images / ("alumin" + std::to_string(i + 1) + ".jpg");
        ASSERT_TRUE(writePng(path.c_str(), *texture));
    }
    auto sprite = solidImage(spriteWidth, spriteHeight, 0);
    for (int y = 1; y + 1 < spriteHeight; ++y)
        for (int x = 1; x + 1 < spriteWidth; ++x)
            sprite->pixels[y * spriteWidth + x] = kSpriteColour;
    ASSERT_TRUE(writePng((images / "tumblewisp2.png").c_str(), *sprite));
}

SdlVideo::SdlVideo()
{
    if (SDL_Init(SDL_INIT_VIDEO) < 0)
        ADD_FAILURE() << "SDL_Init: " << SDL_GetError();
}

SdlVideo::~SdlVideo()
{
    SDL_Quit();
}

} // namespace fixtures
