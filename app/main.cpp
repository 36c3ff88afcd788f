// framework_test and framework_test_fullscreen: the same program, built with
// ORVANE_FULL_SCREEN 0 or 1.
#include "app/run_loop.h"
#include "video/screen.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <csignal>
#include <cstdio>

#include <fcntl.h>

#ifndef ORVANE_FULL_SCREEN
#define ORVANE_FULL_SCREEN 0
#endif

namespace {

constexpr bool kFullScreen = ORVANE_FULL_SCREEN != 0;
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr int kScreenPages = 2;
constexpr int kBitsPerPixel = 32;
constexpr int kAudioFrequency = 22050;
constexpr int kAudioChannels = 2;
constexpr int kAudioChunkSize = 4096;
constexpr const char* kMusicPath = "./data/music/hollowmere2.mp3";

} // namespace

Screen* gScreen = nullptr;

int main(int, char**)
{
    // Started with a standard stream closed, the next file SDL opens (the X
    // server's socket) would take its number and receive our report lines.
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) < 0)
            open("/dev/null", O_RDWR);
    }
    // Report lines go to a reader that may have gone; a failed write must not kill us.
    std::signal(SIGPIPE, SIG_IGN);

    // Without a sound device the demo still runs, silently. SDL gives up on both
    // subsystems when either fails to start (on a busy display even video may fail
    // once), so after a failure video is started alone and audio tried again by
    // itself; only a fault that remains is reported.
    bool haveAudio = true;
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO) < 0) {
        if (SDL_Init(SDL_INIT_VIDEO) < 0) {
            std::fprintf(stderr, "cannot initialise SDL video: %s\n", SDL_GetError());
            SDL_Quit();
            return 1;
        }
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
            std::fprintf(stderr, "no sound: cannot initialise SDL audio: %s\n", SDL_GetError());
            haveAudio = false;
        }
    }

    gScreen = createScreen(kScreenWidth, kScreenHeight, kScreenPages, kBitsPerPixel, kFullScreen);
    if (!gScreen) {
        std::fprintf(stderr, "cannot set the %dx%d %d-bit video mode: %s\n", kScreenWidth, kScreenHeight, kBitsPerPixel,
                     SDL_GetError());
        SDL_Quit();
        return 1;
    }

    if (haveAudio && Mix_OpenAudio(kAudioFrequency, AUDIO_S16LSB, kAudioChannels, kAudioChunkSize) < 0) {
        std::fprintf(stderr, "no sound: cannot open the audio device: %s\n", Mix_GetError());
        haveAudio = false;
    }
    Mix_Music* music = nullptr;
    if (haveAudio) {
        music = Mix_LoadMUS(kMusicPath);
        if (!music)
            std::fprintf(stderr, "no sound: cannot load %s: %s\n", kMusicPath, Mix_GetError());
        else if (Mix_PlayMusic(music, 0) < 0)
            std::fprintf(stderr, "no sound: cannot play %s: %s\n", kMusicPath, Mix_GetError());
    }

    const bool ran = runDemo(*gScreen);

    if (haveAudio) {
        Mix_HaltMusic();
        Mix_FreeMusic(music);
        Mix_CloseAudio();
    }
    SDL_Quit();
    return ran ? 0 : 1;
}
