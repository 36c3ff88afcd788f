#include "fx/scene.h"

#include "fx/rotozoom.h"
#include "images/image_set.h"
#include "images/sprite_blit.h"
#include "video/clock.h"

#include <cmath>

namespace {

// The scene's constants are single-precision values, widened for the double
// arithmetic.
constexpr double kAngleScale = 0.015625f;
constexpr float kZoom = 1.0f;
constexpr double kSpritesPerMs = 0.002f;
constexpr double kSpriteDelay = 5.0f;
constexpr double kRateX1 = 0.001f;
constexpr double kRateX2 = 0.0009f;
constexpr double kRateY1 = 0.0007f;
constexpr double kRateY2 = 0.002f;
constexpr double kAmplitudeX1 = 180.0f;
constexpr double kAmplitudeX2 = 200.0f;
constexpr double kCentreX = 400.0f;
constexpr double kAmplitudeY1 = 100.0f;
constexpr double kAmplitudeY2 = 150.0f;
constexpr double kCentreY = 300.0f;

} // namespace

void drawScene(Screen& screen)
{
    const std::uint32_t tA = ticks();
    const std::uint32_t tB = ticks();
    const std::uint32_t tC = ticks();

    const int textureIndex = static_cast<int>((tB >> 12) & 3);
    const auto angle = static_cast<float>(tC * kAngleScale);
    drawRotozoom(*getImage(textureIndex), angle, kZoom, 0, 0, screen);

    const auto count = static_cast<std::int32_t>(tA * kSpritesPerMs - kSpriteDelay);
    const Image& sprite = *getImage(kSpriteIndex);
    for (std::int32_t i = 0; i < count; ++i) {
        const double id = i;
        const double x1 = std::sin(kRateX1 * ticks() + id);
        const double x2 = std::sin(kRateX2 * ticks() + id + id + id);
        const double y1 = std::sin(kRateY1 * ticks() + id);
        const double y2 = std::sin(kRateY2 * ticks() + id + id);
        const auto x = static_cast<std::int32_t>(kAmplitudeX1 * x1 + kAmplitudeX2 * x2 + kCentreX);
        const auto y = static_cast<std::int32_t>(kAmplitudeY1 * y1 + kAmplitudeY2 * y2 + kCentreY);
        blitSprite(sprite, x, y, screen);
    }
}
