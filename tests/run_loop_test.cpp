#include "app/run_loop.h"

#include "images/image_set.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

void resetRunState()
{
    gQuit = false;
    std::memset(gKeyHeld, 0, sizeof gKeyHeld);
    std::memset(gKeyChanged, 0, sizeof gKeyChanged);
    gFrameCount = 0;
    gLastReportTime = 0;
    gLastFps = 0;
    gFramesAtLastReport = 0;
    gLastFrameTime = 0;
}

struct InputTest : testing::Test {
    fixtures::SdlVideo sdl;
    InputTest() { resetRunState(); }
};

SDL_Event keyEvent(Uint8 type, int sym)
{
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = static_cast<SDLKey>(sym);
    return event;
}

SDL_Event quitEvent()
{
    SDL_Event event{};
    event.type = SDL_QUIT;
    return event;
}

struct PollCase {
    const char* name;
    std::vector<SDL_Event> events;
    std::vector<int> held;    // entries that must be 1 in gKeyHeld afterwards
    std::vector<int> changed; // entries that must be 1 in gKeyChanged afterwards
    bool quit;
};

TEST_F(InputTest, PollFillsTheKeyTablesAndQuitFlag)
{
    const PollCase cases[] = {
        {"letter pressed", {keyEvent(SDL_KEYDOWN, 'a')}, {'a'}, {'a'}, false},
        {"up arrow 273 uses entry 17", {keyEvent(SDL_KEYDOWN, SDLK_UP)}, {17}, {17}, false},
        {"F2 283 shares Escape's entry but does not quit", {keyEvent(SDL_KEYDOWN, SDLK_F2)}, {27}, {27}, false},
        {"Escape pressed quits", {keyEvent(SDL_KEYDOWN, SDLK_ESCAPE)}, {27}, {27}, true},
        {"Escape released only records the change", {keyEvent(SDL_KEYUP, SDLK_ESCAPE)}, {}, {27}, false},
        {"pressed and released in one poll", {keyEvent(SDL_KEYDOWN, 'q'), keyEvent(SDL_KEYUP, 'q')}, {}, {'q'}, false},
        {"close request quits and leaves the tables", {quitEvent()}, {}, {}, true},
        {"queue is drained after a quit",
         {keyEvent(SDL_KEYDOWN, SDLK_ESCAPE), keyEvent(SDL_KEYDOWN, 'b'), quitEvent(), keyEvent(SDL_KEYDOWN, 'c')},
         {27, 'b', 'c'},
         {27, 'b', 'c'},
         true},
        {"no events", {}, {}, {}, false},
    };
    for (const PollCase& c : cases) {
        resetRunState();
        for (SDL_Event event : c.events)
            ASSERT_EQ(SDL_PushEvent(&event), 0) << c.name;
        pollInput();
        for (int i = 0; i < kKeyTableSize; ++i) {
            const bool held = std::find(c.held.begin(), c.held.end(), i) != c.held.end();
            const bool changed = std::find(c.changed.begin(), c.changed.end(), i) != c.changed.end();
            EXPECT_EQ(gKeyHeld[i], held) << c.name << ": held entry " << i;
            EXPECT_EQ(gKeyChanged[i], changed) << c.name << ": changed entry " << i;
        }
        EXPECT_EQ(gQuit, c.quit) << c.name;
        SDL_Event rest;
        EXPECT_EQ(SDL_PollEvent(&rest), 0) << c.name << ": queue not drained";
    }
}

TEST_F(InputTest, HeldKeysPersistAndChangesLastOnePoll)
{
    SDL_Event down = keyEvent(SDL_KEYDOWN, 'x');
    SDL_PushEvent(&down);
    pollInput();
    pollInput();
    EXPECT_TRUE(keyHeld('x'));
    EXPECT_FALSE(keyChanged('x'));
    EXPECT_TRUE(keyHeld('x' + 256)); // codes share entries by their low 8 bits
}

TEST(KeyTables, SettersAndQueriesUseTheLowEightBits)
{
    resetRunState();
    setKeyHeld(SDLK_UP, true);
    setKeyChanged(SDLK_F2, true);
    EXPECT_TRUE(keyHeld(17));
    EXPECT_EQ(gKeyChanged[27], 1);
    EXPECT_TRUE(keyChanged(SDLK_ESCAPE));
    clearKeyChanges();
    EXPECT_FALSE(keyChanged(SDLK_ESCAPE));
    EXPECT_TRUE(keyHeld(SDLK_UP));
    setKeyHeld(-1, true); // any 32-bit code is safe: entry 255
    EXPECT_EQ(gKeyHeld[255], 1);
}

// Each entry: the clock at a frame's count (countFps reads it once more when it
// reports), and the line it must print, if any.
TEST(FrameRate, ReportsOnceMoreThan999MillisecondsHavePassed)
{
    resetRunState();
    struct Frame {
        std::vector<std::uint32_t> readings;
        const char* printed;
        std::int32_t result;
    };
    const Frame frames[] = {
        {{500}, "", 0},           {{999}, "", 0},  {{1000, 1001}, "3\n", 3}, // the first report, all frames so far
        {{1500}, "", 3},          {{2000}, "", 3},                           // 999 ms after the report time of 1001
        {{2001, 2010}, "3\n", 3}, {{3009}, "", 3}, {{3010, 3010}, "2\n", 2},
    };
    for (std::size_t i = 0; i < std::size(frames); ++i) {
        scriptFakeClock(frames[i].readings);
        testing::internal::CaptureStdout();
        EXPECT_EQ(countFps(), frames[i].result) << "frame " << i;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), frames[i].printed) << "frame " << i;
        EXPECT_EQ(gFakeClock.reads, frames[i].readings.size()) << "frame " << i;
    }
    EXPECT_EQ(gLastReportTime, 3010u);
}

TEST(FrameRate, ReportTimeSurvivesTheClockWrapping)
{
    resetRunState();
    gLastReportTime = 0xFFFFFF00u;
    scriptFakeClock({0x000002F0u, 0x000002F0u}); // 1008 ms later, across the wrap
    testing::internal::CaptureStdout();
    countFps();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "1\n");
}

TEST(FrameLimiter, SpinsUntilTheIntervalHasPassed)
{
    struct Case {
        std::uint32_t lastFrame, start, interval;
        std::size_t reads; // clock readings, counting on by 1 ms each
        std::uint32_t recorded;
    };
    const Case cases[] = {
        {0, 0, 0, 2, 1},                     // returns at once, then records
        {0, 3, 5, 4, 6},                     // reads 3, 4, 5; records 6
        {100, 50, 10, 2, 51},                // a clock behind the last frame counts as long past
        {0xFFFFFFFEu, 0xFFFFFFFEu, 3, 5, 2}, // across the wrap
    };
    for (const Case& c : cases) {
        resetRunState();
        gLastFrameTime = c.lastFrame;
        setFakeClock(c.start, 1);
        waitFrame(c.interval);
        EXPECT_EQ(gFakeClock.reads, c.reads) << "start " << c.start << ", interval " << c.interval;
        EXPECT_EQ(gLastFrameTime, c.recorded) << "start " << c.start << ", interval " << c.interval;
    }
}

struct RunDemoTest : testing::Test {
    fixtures::SdlVideo sdl;
    fixtures::TempDir dir;
    Screen* screen = nullptr;

    RunDemoTest()
    {
        resetRunState();
        screen = createScreen(1024, 768, 2, 32, false);
    }
    ~RunDemoTest() override
    {
        delete screen;
        gFakeClock = FakeClock{};
        for (auto& slot : gImages)
            slot.reset();
    }

    struct Outcome {
        bool result;
        std::string out;
    };
    Outcome run()
    {
        fixtures::ScopedChdir inside(dir.path);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const bool result = runDemo(*screen);
        testing::internal::GetCapturedStderr();
        return {result, testing::internal::GetCapturedStdout()};
    }
};

// The clock moves on by a fixed time per frame: frame f starts at 100 + f * step.
// The limit check sees f * step; the first frame beyond 29000 ms is the last.
TEST_F(RunDemoTest, FramePassingTheLimitIsDrawnAndIsTheLast)
{
    ASSERT_NE(screen, nullptr);
    fixtures::writeImageSet(dir.path);
    struct Case {
        std::uint32_t step;
        std::int32_t frames;
    };
    for (const Case c : {Case{7250, 6}, Case{29000, 3}, Case{29001, 2}, Case{100000, 2}}) {
        resetRunState();
        gFakeClock = FakeClock{};
        gFakeClock.source = [step = c.step] { return 100 + static_cast<std::uint32_t>(gFrameCount) * step; };
        const int pageBefore = screen->currentPage;
        const Outcome outcome = run();
        EXPECT_TRUE(outcome.result);
        EXPECT_TRUE(gQuit);
        EXPECT_EQ(gFrameCount, c.frames) << "step " << c.step;
        EXPECT_EQ(outcome.out.rfind("Loading the images..\n", 0), 0u) << outcome.out;
        EXPECT_EQ(screen->currentPage, (pageBefore + c.frames) % 2) << "step " << c.step;
    }
}

TEST_F(RunDemoTest, PresentsEachFrameItDraws)
{
    ASSERT_NE(screen, nullptr);
    fixtures::writeImageSet(dir.path);
    gFakeClock.source = [] { return 5000 + static_cast<std::uint32_t>(gFrameCount) * 20000; };
    run();
    ASSERT_EQ(gFrameCount, 3);
    // The background of the last frame (clock 45000: texture (45000 >> 12) & 3 = 2)
    // is on the video surface.
    const auto* shown = static_cast<const Pixel*>(gVideoSurface->pixels);
    EXPECT_EQ(shown[1023] & 0xFFFFFF, fixtures::textureColour(2) & 0xFFFFFF);
}

TEST_F(RunDemoTest, QuitBeforeStartingLoadsButDrawsNothing)
{
    ASSERT_NE(screen, nullptr);
    fixtures::writeImageSet(dir.path);
    gQuit = true;
    setFakeClock(1000, 1);
    const Outcome outcome = run();
    EXPECT_TRUE(outcome.result);
    EXPECT_EQ(outcome.out, "Loading the images..\n");
    EXPECT_EQ(gFrameCount, 0);
    EXPECT_NE(getImage(kSpriteIndex), nullptr);
}

TEST_F(RunDemoTest, MissingImagesStopTheDemoBeforeAnyFrame)
{
    ASSERT_NE(screen, nullptr);
    setFakeClock(1000, 1);
    const Outcome outcome = run();
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.out, "Loading the images..\nSomething went wrong with image loading\n");
    EXPECT_EQ(gFrameCount, 0);
    EXPECT_EQ(screen->currentPage, 0);
}

} // namespace
