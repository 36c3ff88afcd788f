// The drawing operations on any image size, position, mode, angle, zoom and
// origin, on a small page with a guard page before and after it: the Screen has
// three pages and draws into the middle one, so a write past either end of the
// page lands in a guard and is caught here (and one past the store is caught by
// AddressSanitizer).
//
// Input: operation (1 byte: sprite, upscaler or rotozoomer), page width and
// height (1 byte each), then per operation:
//   sprite:     image width and height (1 byte each), x, y (4 bytes each)
//   upscaler:   mode (1 byte, signed), image width and height (1 byte each)
//   rotozoomer: texture shape (1 byte), angle, zoom (4-byte floats), origin x, y
//               (4 bytes each)
// and the rest as image words (little-endian, repeated; a pattern when empty).
#include "fuzz/fuzz_input.h"
#include "fx/rotozoom.h"
#include "images/scaled_blit.h"
#include "images/sprite_blit.h"

#include <algorithm>
#include <bit>
#include <iterator>
#include <memory>
#include <vector>

namespace {

constexpr int kPages = 3; // guard, page drawn into, guard

Pixel guardWord(std::size_t index)
{
    return 0xA5C3E10Fu ^ static_cast<Pixel>(index * 0x9E3779B1u);
}

// width x height words from the rest of the input; a fixed pattern when it is empty.
std::unique_ptr<Image> imageFrom(FuzzInput& input, int width, int height)
{
    auto image = std::make_unique<Image>(width, height);
    const std::size_t words = std::size_t(width) * std::size_t(height);
    const std::size_t available = input.remaining() / 4;
    const std::uint8_t* rest = input.rest();
    for (std::size_t i = 0; i < words; ++i) {
        if (available == 0) {
            image->pixels[i] = static_cast<Pixel>(i * 0x01000193u);
            continue;
        }
        const std::uint8_t* b = rest + (i % available) * 4;
        image->pixels[i] = b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t{b[3]} << 24;
    }
    return image;
}

std::vector<Pixel> pageCopy(const Screen& screen)
{
    const Pixel* page = screen.page();
    return {page, page + std::size_t(screen.width) * std::size_t(screen.height)};
}

void checkGuards(const Screen& screen)
{
    const std::size_t pageWords = std::size_t(screen.width) * std::size_t(screen.height);
    for (std::size_t i = 0; i < pageWords; ++i) {
        FUZZ_CHECK(screen.pageStore[i] == guardWord(i), "guard before the page hit at word %zu", i);
        const std::size_t after = 2 * pageWords + i;
        FUZZ_CHECK(screen.pageStore[after] == guardWord(after), "guard after the page hit at word %zu", i);
    }
}

// The sprite blit against its definition, clipped in 64 bits.
void sprite(FuzzInput& input, Screen& screen)
{
    const int width = input.byte() % 80;
    const int height = input.byte() % 80;
    const auto x = static_cast<std::int32_t>(input.word());
    const auto y = static_cast<std::int32_t>(input.word());
    const std::unique_ptr<Image> image = imageFrom(input, width, height);
    std::vector<Pixel> expected = pageCopy(screen);
    for (std::int64_t j = 0; j < height; ++j) {
        for (std::int64_t i = 0; i < width; ++i) {
            const std::int64_t px = x + i, py = y + j;
            const Pixel p = image->pixels[j * width + i];
            if (px >= 0 && px < screen.width && py >= 0 && py < screen.height && p >> 24 != 0)
                expected[std::size_t(py * screen.width + px)] = p;
        }
    }
    blitSprite(*image, x, y, screen);
    const std::vector<Pixel> actual = pageCopy(screen);
    for (std::size_t i = 0; i < actual.size(); ++i)
        FUZZ_CHECK(actual[i] == expected[i], "sprite %dx%d at (%d, %d): page word %zu is %08x, not %08x", width, height,
                   x, y, i, actual[i], expected[i]);
}

// The upscaler writes only inside the f*w x f*h corner, and nothing for an unknown mode.
void upscaler(FuzzInput& input, Screen& screen)
{
    const int mode = static_cast<std::int8_t>(input.byte());
    const int width = input.byte() % 80;
    const int height = input.byte() % 80;
    const std::unique_ptr<Image> image = imageFrom(input, width, height);
    const std::vector<Pixel> before = pageCopy(screen);
    const int savedMode = gScaleMode;
    gScaleMode = mode;
    blitScaled(*image, screen);
    gScaleMode = savedMode;
    const std::int64_t f = mode == 2 ? 3 : 2;
    const bool draws = mode >= 0 && mode <= 3;
    const std::vector<Pixel> after = pageCopy(screen);
    for (std::int64_t r = 0; r < screen.height; ++r) {
        for (std::int64_t k = 0; k < screen.width; ++k) {
            const std::size_t i = std::size_t(r * screen.width + k);
            if (!draws || k >= f * width || r >= f * height)
                FUZZ_CHECK(after[i] == before[i], "mode %d, %dx%d image: page pixel (%lld, %lld) changed", mode, width,
                           height, static_cast<long long>(k), static_cast<long long>(r));
        }
    }
}

// The rotozoomer, whatever path the CPU takes, equals its plain definition.
void rotozoomer(FuzzInput& input, Screen& screen)
{
    struct Shape {
        int width, height;
    };
    // Enough texels, too few, and the same count in other shapes.
    static constexpr Shape kShapes[] = {{1024, 512}, {1024, 511}, {1023, 512}, {2048, 256}, {0, 0}, {1024, 513}};
    const std::size_t shapeIndex = input.byte() % std::size(kShapes);
    const Shape shape = kShapes[shapeIndex];
    const float angle = std::bit_cast<float>(input.word());
    const float zoom = std::bit_cast<float>(input.word());
    const auto originX = static_cast<std::int32_t>(input.word());
    const auto originY = static_cast<std::int32_t>(input.word());

    // Textures are big: each shape's is made once with a pattern, and only its
    // first words come from the input, put back afterwards so every run is alike.
    static std::unique_ptr<Image> textures[std::size(kShapes)];
    std::unique_ptr<Image>& texture = textures[shapeIndex];
    if (!texture) {
        FuzzInput none;
        texture = imageFrom(none, shape.width, shape.height);
    }
    const std::size_t texels = std::size_t(shape.width) * std::size_t(shape.height);
    const std::size_t fromInput = std::min(texels, std::min<std::size_t>(input.remaining() / 4, 4096));
    const std::vector<Pixel> saved(texture->pixels, texture->pixels + fromInput);
    for (std::size_t i = 0; i < fromInput; ++i) {
        const std::uint8_t* b = input.rest() + i * 4;
        texture->pixels[i] = b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t{b[3]} << 24;
    }

    const std::vector<Pixel> before = pageCopy(screen);
    drawRotozoom(*texture, angle, zoom, originX, originY, screen);
    const std::vector<Pixel> actual = pageCopy(screen);
    RotozoomSteps steps;
    const bool drawable = texels >= 1024 * 512 && rotozoomSteps(angle, zoom, originX, originY, &steps);
    if (!drawable) {
        FUZZ_CHECK(actual == before, "a texture of %dx%d or angle %g, zoom %g drew", shape.width, shape.height,
                   double(angle), double(zoom));
    } else {
        drawRotozoomScalar(texture->pixels, steps, screen);
        const std::vector<Pixel> expected = pageCopy(screen);
        for (std::size_t i = 0; i < actual.size(); ++i)
            FUZZ_CHECK(actual[i] == expected[i], "angle %g, zoom %g, origin (%d, %d): page word %zu is %08x, not %08x",
                       double(angle), double(zoom), originX, originY, i, actual[i], expected[i]);
    }
    std::copy(saved.begin(), saved.end(), texture->pixels);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input{data, size};
    const int operation = input.byte() % 3;
    const int width = 1 + input.byte() % 64;
    const int height = 1 + input.byte() % 48;
    Screen screen(width, height, kPages, 32);
    const std::size_t storeWords = std::size_t(width) * std::size_t(height) * kPages;
    for (std::size_t i = 0; i < storeWords; ++i)
        screen.pageStore[i] = guardWord(i);
    screen.currentPage = 1;

    switch (operation) {
    case 0: sprite(input, screen); break;
    case 1: upscaler(input, screen); break;
    default: rotozoomer(input, screen); break;
    }
    checkGuards(screen);
    return 0;
}
