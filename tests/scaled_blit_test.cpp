#include "images/scaled_blit.h"

#include "tests/support/fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kModes[] = {0, 1, 2, 3};
const char* const kModeNames[] = {"doubling", "Scale2x", "Scale3x", "Eagle"};

int blockSize(int mode)
{
    return mode == 2 ? 3 : 2;
}

void blitWithMode(int mode, const Image& image, Screen& screen)
{
    const int previous = gScaleMode;
    gScaleMode = mode;
    blitScaled(image, screen);
    gScaleMode = previous;
}

std::size_t storeWords(const Screen& screen)
{
    return static_cast<std::size_t>(screen.width) * static_cast<std::size_t>(screen.height) *
           static_cast<std::size_t>(screen.pageCount);
}

// The first word of the whole store (every page) that is no longer canary, or "".
std::string firstTouchedWord(const Screen& screen)
{
    for (std::size_t k = 0; k < storeWords(screen); ++k) {
        if (screen.pageStore[k] != fixtures::canaryWord(k))
            return "store word " + std::to_string(k) + " was written";
    }
    return "";
}

// Pictures: rows top to bottom separated by '/', 'X' and 'o' standing for two colours.
struct Colours {
    const char* name;
    Pixel x;
    Pixel o;
};

std::unique_ptr<Image> imageFromPicture(const std::string& picture, const Colours& colours)
{
    const int width = static_cast<int>(picture.find('/') == std::string::npos ? picture.size() : picture.find('/'));
    const int height = static_cast<int>(std::count(picture.begin(), picture.end(), '/')) + 1;
    auto image = std::make_unique<Image>(width, height);
    std::size_t k = 0;
    for (char c : picture) {
        if (c != '/')
            image->pixels[k++] = c == 'X' ? colours.x : colours.o;
    }
    return image;
}

// The current page as a picture; words of neither colour show as '?'.
std::string pictureOfPage(const Screen& screen, const Colours& colours)
{
    std::string picture;
    const Pixel* page = screen.page();
    for (int y = 0; y < screen.height; ++y) {
        if (y > 0)
            picture += '/';
        for (int x = 0; x < screen.width; ++x) {
            const Pixel p = page[static_cast<std::size_t>(y) * screen.width + x];
            picture += p == colours.x ? 'X' : p == colours.o ? 'o' : '?';
        }
    }
    return picture;
}

// The rule tables evaluated afresh for one page word (px, py) of the unclipped
// output, with the neighbours read through a clamping at(); written apart from the
// blit on purpose, sub-pixel by sub-pixel, so that the two can be compared.
Pixel plainEvaluation(const Image& image, int mode, std::int64_t px, std::int64_t py)
{
    const int f = blockSize(mode);
    const std::int64_t x = px / f;
    const std::int64_t y = py / f;
    const std::int64_t i = px % f;
    const std::int64_t j = py % f;
    const auto at = [&](std::int64_t u, std::int64_t v) {
        u = std::clamp<std::int64_t>(u, 0, image.width - 1);
        v = std::clamp<std::int64_t>(v, 0, image.height - 1);
        return image.pixels[v * image.width + u];
    };
    const Pixel A = at(x - 1, y - 1), B = at(x, y - 1), C = at(x + 1, y - 1);
    const Pixel D = at(x - 1, y), E = at(x, y), F = at(x + 1, y);
    const Pixel G = at(x - 1, y + 1), H = at(x, y + 1), I = at(x + 1, y + 1);
    const bool top = j == 0, bottom = j == f - 1, left = i == 0, right = i == f - 1;

    if (mode == 0)
        return E;
    if (mode == 1 || mode == 2) {
        if (B == H || D == F)
            return E;
        if (top && left)
            return D == B ? D : E;
        if (top && right)
            return B == F ? F : E;
        if (bottom && left)
            return D == H ? D : E;
        if (bottom && right)
            return H == F ? F : E;
        // Only Scale3x has middle sub-pixels.
        if (top)
            return (D == B && E != C) || (B == F && E != A) ? B : E;
        if (bottom)
            return (D == H && E != I) || (H == F && E != G) ? H : E;
        if (left)
            return (D == B && E != G) || (D == H && E != A) ? D : E;
        if (right)
            return (B == F && E != I) || (H == F && E != C) ? F : E;
        return E;
    }
    // Eagle: a corner takes its diagonal neighbour when its three neighbours agree.
    if (top && left)
        return D == A && A == B ? A : E;
    if (top && right)
        return B == C && C == F ? C : E;
    if (bottom && left)
        return D == G && G == H ? G : E;
    return F == I && I == H ? I : E;
}

// Requires every word of the store to be what the page would hold after blitting
// image onto a canary-filled store: the plain evaluation inside both the page and
// the output rectangle, the canary everywhere else (other pages included).
std::string firstWrongWord(const Screen& screen, const Image& image, int mode)
{
    const std::int64_t f = blockSize(mode);
    const std::size_t pageWords = static_cast<std::size_t>(screen.width) * static_cast<std::size_t>(screen.height);
    const std::size_t pageStart = pageWords * static_cast<std::size_t>(screen.currentPage);
    for (std::size_t k = 0; k < storeWords(screen); ++k) {
        Pixel expected = fixtures::canaryWord(k);
        std::string where = "store word " + std::to_string(k);
        if (k >= pageStart && k < pageStart + pageWords) {
            const std::int64_t px = static_cast<std::int64_t>((k - pageStart) % screen.width);
            const std::int64_t py = static_cast<std::int64_t>((k - pageStart) / screen.width);
            where = "page (" + std::to_string(px) + ", " + std::to_string(py) + ")";
            if (px < f * image.width && py < f * image.height)
                expected = plainEvaluation(image, mode, px, py);
        }
        if (screen.pageStore[k] != expected) {
            char text[64];
            std::snprintf(text, sizeof text, ": 0x%08X, expected 0x%08X", screen.pageStore[k], expected);
            return where + text;
        }
    }
    return "";
}

struct WorkedExample {
    const char* name;
    const char* source;
    const char* expected[4]; // by mode
};

const WorkedExample kWorkedExamples[] = {
    {"one pixel", "X", {"XX/XX", "XX/XX", "XXX/XXX/XXX", "XX/XX"}},
    {"corner",
     "Xo/oo",
     {"XXoo/XXoo/oooo/oooo", "XXoo/Xooo/oooo/oooo", "XXXooo/XXoooo/Xooooo/oooooo/oooooo/oooooo",
      "XXoo/Xooo/oooo/oooo"}},
    {"isolated pixel",
     "ooo/oXo/ooo",
     {"oooooo/oooooo/ooXXoo/ooXXoo/oooooo/oooooo", "oooooo/oooooo/ooXXoo/ooXXoo/oooooo/oooooo",
      "ooooooooo/ooooooooo/ooooooooo/oooXXXooo/oooXXXooo/oooXXXooo/ooooooooo/ooooooooo/ooooooooo",
      "oooooo/oooooo/oooooo/oooooo/oooooo/oooooo"}},
    {"diagonal",
     "Xoo/oXo/ooX",
     {"XXoooo/XXoooo/ooXXoo/ooXXoo/ooooXX/ooooXX", "XXoooo/XoXooo/oXXXoo/ooXXXo/oooXoX/ooooXX",
      "XXXoooooo/XXoXooooo/XooXooooo/oXXXXXooo/oooXXXooo/oooXXXXXo/oooooXooX/oooooXoXX/ooooooXXX",
      "XXoooo/XXoooo/ooXooo/oooXoo/ooooXX/ooooXX"}},
    {"one row",
     "XoXXo",
     {"XXooXXXXoo/XXooXXXXoo", "XXooXXXXoo/XXooXXXXoo", "XXXoooXXXXXXooo/XXXoooXXXXXXooo/XXXoooXXXXXXooo",
      "XXooXXXXoo/XXooXXXXoo"}},
    {"one column",
     "X/o/o/X",
     {"XX/XX/oo/oo/oo/oo/XX/XX", "XX/XX/oo/oo/oo/oo/XX/XX", "XXX/XXX/XXX/ooo/ooo/ooo/ooo/ooo/ooo/XXX/XXX/XXX",
      "XX/XX/oo/oo/oo/oo/XX/XX"}},
    {"one colour",
     "ooo/ooo",
     {"oooooo/oooooo/oooooo/oooooo", "oooooo/oooooo/oooooo/oooooo",
      "ooooooooo/ooooooooo/ooooooooo/ooooooooo/ooooooooo/ooooooooo", "oooooo/oooooo/oooooo/oooooo"}},
};

// Colour pairs that must all behave as two different colours: equality is on the
// whole word, so a difference in the alpha byte alone counts.
const Colours kColourPairs[] = {
    {"two opaque colours", 0xFF2040A0, 0xFFF0E0D0},
    {"transparent X, opaque o of the same red, green, blue", 0x00336699, 0xFF336699},
    {"opaque X, transparent o of the same red, green, blue", 0xFF336699, 0x00336699},
    {"alphas 0x80 and 0x7F, same red, green, blue", 0x80ABCDEF, 0x7FABCDEF},
};

TEST(ScaledBlit, WorkedExamplesComeOutAsDrawnInEveryMode)
{
    for (const Colours& colours : kColourPairs) {
        for (const WorkedExample& example : kWorkedExamples) {
            const auto image = imageFromPicture(example.source, colours);
            for (int mode : kModes) {
                SCOPED_TRACE(std::string(example.name) + ", " + kModeNames[mode] + ", " + colours.name);
                const int f = blockSize(mode);
                Screen screen(f * image->width, f * image->height, 1, 32);
                fixtures::fillCanary(screen);
                blitWithMode(mode, *image, screen);
                EXPECT_EQ(pictureOfPage(screen, colours), example.expected[mode]);
            }
        }
    }
}

TEST(ScaledBlit, OutOfRangeModeWritesNothing)
{
    std::mt19937 random(1);
    const auto image = fixtures::randomImage(3, 3, random);
    for (int mode : {4, -1, 5, INT_MAX, INT_MIN}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        Screen screen(9, 9, 2, 32);
        fixtures::fillCanary(screen);
        blitWithMode(mode, *image, screen);
        EXPECT_EQ(firstTouchedWord(screen), "");
    }
}

TEST(ScaledBlit, ImageWithoutPixelsWritesNothing)
{
    const struct {
        int width, height;
    } sizes[] = {{0, 0}, {0, 3}, {3, 0}, {-1, 3}, {3, -1}, {-2, -2}, {INT_MIN, 4}, {4, INT_MIN}};
    for (const auto& size : sizes) {
        Image image; // no pixels: nothing may be read
        image.width = size.width;
        image.height = size.height;
        for (int mode : kModes) {
            SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height) + ", " + kModeNames[mode]);
            Screen screen(9, 9, 2, 32);
            fixtures::fillCanary(screen);
            blitWithMode(mode, image, screen);
            EXPECT_EQ(firstTouchedWord(screen), "");
        }
    }
}

TEST(ScaledBlit, LargerPageChangesOnlyTheTopLeftRectangle)
{
    std::mt19937 random(2);
    const auto image = fixtures::randomImage(3, 2, random);
    for (int mode : kModes) {
        SCOPED_TRACE(kModeNames[mode]);
        Screen screen(13, 11, 1, 32);
        fixtures::fillCanary(screen);
        blitWithMode(mode, *image, screen);
        EXPECT_EQ(firstWrongWord(screen, *image, mode), "");
    }
}

TEST(ScaledBlit, WritesOnlyTheCurrentPage)
{
    std::mt19937 random(3);
    const auto image = fixtures::randomImage(3, 3, random);
    for (int currentPage : {0, 1}) {
        for (int mode : kModes) {
            SCOPED_TRACE("current page " + std::to_string(currentPage) + ", " + kModeNames[mode]);
            Screen screen(9, 9, 2, 32);
            screen.currentPage = currentPage;
            fixtures::fillCanary(screen);
            blitWithMode(mode, *image, screen);
            EXPECT_EQ(firstWrongWord(screen, *image, mode), "");
        }
    }
}

// The page is the first of two, so a block row that spills past the bottom lands in
// the second page and one that spills past the right edge lands in the next row.
TEST(ScaledBlit, OutputLargerThanThePageIsClippedToIt)
{
    std::mt19937 random(4);
    const auto image = fixtures::randomImage(5, 4, random);
    const struct {
        int width, height;
    } pages[] = {
        {9, 8},           // one column short of doubling's 10: the last blocks lose their right half
        {10, 7},          // one row short of doubling's 8
        {14, 11},         // fits doubling, one column and one row short of Scale3x's 15 x 12
        {7, 5},           // short both ways, and not a whole number of blocks
        {20, 3},          // wider than any output, but short
        {3, 20},          // tall, but narrow
        {1, 1},   {0, 6}, // an empty page: no store at all
        {6, 0},
    };
    for (const auto& size : pages) {
        for (int mode : kModes) {
            SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height) + " page, " + kModeNames[mode]);
            Screen screen(size.width, size.height, 2, 32);
            fixtures::fillCanary(screen);
            blitWithMode(mode, *image, screen);
            EXPECT_EQ(firstWrongWord(screen, *image, mode), "");
        }
    }
}

// An Image whose size claims far more than its small store holds. On a small page
// only the first few pixels of its one row or column are in reach, so a clipped blit
// reads inside the store; one that works out f * width in 32 bits, or walks the whole
// image, does not.
struct ClaimedImage {
    std::vector<Pixel> store;
    Image image;
    ClaimedImage(int width, int height, std::mt19937& random) : store(16)
    {
        for (Pixel& p : store)
            p = random() % 2 ? 0xFF000000u : 0x00FFFFFFu;
        image.width = width;
        image.height = height;
        image.pixels = store.data();
    }
    ~ClaimedImage() { image.pixels = nullptr; } // the store is not the Image's to free
};

TEST(ScaledBlit, HugeImageIsClippedWithoutOverflow)
{
    std::mt19937 random(5);
    for (const bool wide : {true, false}) {
        ClaimedImage claimed(wide ? INT_MAX : 1, wide ? 1 : INT_MAX, random);
        for (int mode : kModes) {
            SCOPED_TRACE(std::string(wide ? "INT_MAX x 1, " : "1 x INT_MAX, ") + kModeNames[mode]);
            Screen screen(7, 5, 2, 32);
            fixtures::fillCanary(screen);
            blitWithMode(mode, claimed.image, screen);
            EXPECT_EQ(firstWrongWord(screen, claimed.image, mode), "");
        }
    }
}

// Case i draws with seed i: an image of 1 to 9 by 1 to 9 pixels in two or three
// colours, two of which differ only in alpha, on a page from a little smaller to a
// little larger than the output. To replay one case, set kFirstCase to its number.
TEST(ScaledBlit, AgreesWithPlainEvaluationOnRandomImages)
{
    constexpr unsigned kFirstCase = 0;
    constexpr unsigned kCases = 2000;
    bool reported[4] = {};
    for (unsigned number = kFirstCase; number < kFirstCase + kCases; ++number) {
        std::mt19937 random(number);
        const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };

        Pixel palette[3];
        palette[0] = static_cast<Pixel>(random());
        palette[1] = palette[0] ^ (static_cast<Pixel>(pick(1, 255)) << 24);
        palette[2] = static_cast<Pixel>(random());
        std::shuffle(std::begin(palette), std::end(palette), random);
        const int colours = pick(2, 3);
        Image image(pick(1, 9), pick(1, 9));
        for (std::size_t k = 0; k < static_cast<std::size_t>(image.width) * image.height; ++k)
            image.pixels[k] = palette[pick(0, colours - 1)];
        const int widthChange = pick(-3, 2);
        const int heightChange = pick(-3, 2);

        for (int mode : kModes) {
            if (reported[mode])
                continue;
            const int f = blockSize(mode);
            Screen screen(std::max(0, f * image.width + widthChange), std::max(0, f * image.height + heightChange), 2,
                          32);
            fixtures::fillCanary(screen);
            blitWithMode(mode, image, screen);
            const std::string wrong = firstWrongWord(screen, image, mode);
            if (!wrong.empty()) {
                ADD_FAILURE() << "case " << number << ", " << kModeNames[mode] << ", image " << image.width << "x"
                              << image.height << ", page " << screen.width << "x" << screen.height << ": " << wrong;
                reported[mode] = true; // one report per mode is enough to replay it
            }
        }
    }
}

} // namespace
