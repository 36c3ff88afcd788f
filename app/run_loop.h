// The run loop, keyboard state, frame-rate report and frame limiter.
#pragma once

#include "video/screen.h"

#include <cstdint>

constexpr std::uint32_t kRunTimeLimitMs = 29000; // measured from the end of image loading
constexpr int kKeyTableSize = 256;

// A quit was requested (Escape, the window's close request, or the time limit);
// set once and never cleared.
extern bool gQuit;
// Indexed by the low 8 bits of the SDL key code (so the up arrow, 273, is entry
// 17): 1 while the key is down.
extern std::uint8_t gKeyHeld[kKeyTableSize];
// 1 when the key went down or up during the latest pollInput.
extern std::uint8_t gKeyChanged[kKeyTableSize];

// Frame counters of countFps and the limiter's clock; all start at 0.
extern std::int32_t gFrameCount;
extern std::uint32_t gLastReportTime;
extern std::int32_t gLastFps;
extern std::int32_t gFramesAtLastReport;
extern std::uint32_t gLastFrameTime;

// Loads the image set, then runs frames until gQuit: a frame starting more than
// 29000 ms after loading ended sets it, and is still polled, drawn, presented and
// counted. Returns false without drawing anything when the images cannot be loaded.
bool runDemo(Screen& screen);

// drawScene into the current page, then screen.flip().
void renderFrame(Screen& screen);

// loadImages' result; the demo itself loads through runDemo.
bool initDemo();

// Clears gKeyChanged, then drains the SDL event queue: key down and up set the
// key's entries, Escape (the whole code 27) and the close request call requestQuit.
void pollInput();

void requestQuit();

bool keyHeld(std::int32_t keyCode);
bool keyChanged(std::int32_t keyCode);
void setKeyHeld(std::int32_t keyCode, bool value);
void setKeyChanged(std::int32_t keyCode, bool value);
void clearKeyChanges();

// Counts a frame. When more than 999 ms have passed since the previous report,
// prints the frames since then, this one included, as one line "%d\n" on
// standard output. Returns the latest report's count (0 before the first).
std::int32_t countFps();

// Spins on the clock until milliseconds have passed since the previous call (the
// first call measures from clock value 0), then records the time.
void waitFrame(std::uint32_t milliseconds);
