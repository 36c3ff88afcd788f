#include "app/run_loop.h"

#include "fx/scene.h"
#include "images/image_set.h"
#include "video/clock.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

bool gQuit = false;
std::uint8_t gKeyHeld[kKeyTableSize] = {};
std::uint8_t gKeyChanged[kKeyTableSize] = {};
std::int32_t gFrameCount = 0;
std::uint32_t gLastReportTime = 0;
std::int32_t gLastFps = 0;
std::int32_t gFramesAtLastReport = 0;
std::uint32_t gLastFrameTime = 0;

namespace {

constexpr std::uint32_t kReportIntervalMs = 999; // a report once more than this has passed

std::uint8_t keyIndex(std::int32_t keyCode)
{
    return static_cast<std::uint8_t>(keyCode & 0xFF);
}

} // namespace

bool runDemo(Screen& screen)
{
    if (!loadImages())
        return false;
    const std::uint32_t start = ticks();
    while (!gQuit) {
        if (static_cast<std::int32_t>(ticks() - start) > static_cast<std::int32_t>(kRunTimeLimitMs))
            gQuit = true;
        pollInput();
        renderFrame(screen);
        countFps();
    }
    return true;
}

void renderFrame(Screen& screen)
{
    drawScene(screen);
    screen.flip();
}

bool initDemo()
{
    return loadImages();
}

void pollInput()
{
    clearKeyChanges();
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_KEYDOWN:
            setKeyHeld(event.key.keysym.sym, true);
            setKeyChanged(event.key.keysym.sym, true);
            if (event.key.keysym.sym == SDLK_ESCAPE)
                requestQuit();
            break;
        case SDL_KEYUP:
            setKeyHeld(event.key.keysym.sym, false);
            setKeyChanged(event.key.keysym.sym, true);
            break;
        case SDL_QUIT: requestQuit(); break;
        default: break;
        }
    }
}

void requestQuit()
{
    gQuit = true;
}

bool keyHeld(std::int32_t keyCode)
{
    return gKeyHeld[keyIndex(keyCode)] != 0;
}
bool keyChanged(std::int32_t keyCode)
{
    return gKeyChanged[keyIndex(keyCode)] != 0;
}
void setKeyHeld(std::int32_t keyCode, bool value)
{
    gKeyHeld[keyIndex(keyCode)] = value;
}
void setKeyChanged(std::int32_t keyCode, bool value)
{
    gKeyChanged[keyIndex(keyCode)] = value;
}
void clearKeyChanges()
{
    std::memset(gKeyChanged, 0, sizeof gKeyChanged);
}

std::int32_t countFps()
{
    // Counted in wrapping arithmetic: a program may run for years.
    gFrameCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(gFrameCount) + 1);
    if (ticks() - gLastReportTime <= kReportIntervalMs)
        return gLastFps;
    gLastReportTime = ticks();
    gLastFps = static_cast<std::int32_t>(static_cast<std::uint32_t>(gFrameCount) -
                                         static_cast<std::uint32_t>(gFramesAtLastReport));
    gFramesAtLastReport = gFrameCount;
    std::printf("%d\n", gLastFps);
    std::fflush(stdout);
    return gLastFps;
}

void waitFrame(std::uint32_t milliseconds)
{
    while (ticks() - gLastFrameTime < milliseconds) {
    }
    gLastFrameTime = ticks();
}
