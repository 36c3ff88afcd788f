#include "video/screen.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

namespace {

constexpr std::size_t kPageAlignment = 64; // one cache line, and the widest vector store

std::size_t storeWords(int width, int height, int pageCount, int bitsPerPixel)
{
    if (width < 0 || height < 0 || pageCount < 1 || bitsPerPixel != 32)
        throw std::invalid_argument("Screen: needs width, height >= 0, pageCount >= 1 and 32 bits per pixel");
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * static_cast<std::size_t>(pageCount);
}

bool mustLock(const SDL_Surface* surface)
{
    return SDL_MUSTLOCK(surface);
}

} // namespace

SDL_Surface* gVideoSurface = nullptr;

Screen::Screen(int width, int height, int pageCount, int bitsPerPixel)
    : width(width), height(height), bitsPerPixel(bitsPerPixel), pageCount(pageCount), currentPage(0)
{
    const std::size_t words = storeWords(width, height, pageCount, bitsPerPixel);
    if (words > 0)
        pageStore = static_cast<Pixel*>(::operator new[](words * sizeof(Pixel), std::align_val_t(kPageAlignment)));
}

Screen::~Screen()
{
    if (pageStore)
        ::operator delete[](pageStore, std::align_val_t(kPageAlignment));
}

Pixel* Screen::page() const
{
    if (!pageStore)
        return nullptr;
    return pageStore +
           static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * static_cast<std::size_t>(currentPage);
}

void Screen::advancePage()
{
    currentPage = (currentPage + 1) % pageCount;
}

void Screen::flip()
{
    present(*this);
    advancePage();
}

Screen* createScreen(int width, int height, int pageCount, int bitsPerPixel, bool fullScreen)
{
    Screen* screen = new Screen(width, height, pageCount, bitsPerPixel);
    SDL_Surface* surface = SDL_SetVideoMode(width, height, bitsPerPixel, fullScreen ? SDL_FULLSCREEN : 0);
    if (!surface) {
        delete screen;
        return nullptr;
    }
    if (surface->format->BytesPerPixel != 4) {
        SDL_SetError("the video surface has %d bits per pixel, not 32", surface->format->BitsPerPixel);
        delete screen;
        return nullptr;
    }
    gVideoSurface = surface;
    SDL_WM_SetCaption("Orvane Framework Test", nullptr);
    if (fullScreen)
        SDL_ShowCursor(SDL_DISABLE);
    return screen;
}

void present(const Screen& screen)
{
    SDL_Surface* surface = gVideoSurface;
    const Pixel* page = screen.page();
    if (!surface || !surface->pixels || !page)
        return;
    if (mustLock(surface) && SDL_LockSurface(surface) < 0)
        return;

    const std::size_t rowBytes = static_cast<std::size_t>(screen.width) * sizeof(Pixel);
    if (surface->pitch == rowBytes && surface->w == screen.width && surface->h == screen.height) {
        std::memcpy(surface->pixels, page, rowBytes * static_cast<std::size_t>(screen.height));
    } else {
        const int columns = std::min(screen.width, surface->w);
        const int rows = std::min(screen.height, surface->h);
        auto* target = static_cast<std::uint8_t*>(surface->pixels);
        for (int y = 0; y < rows; ++y)
            std::memcpy(target + static_cast<std::size_t>(y) * surface->pitch,
                        page + static_cast<std::size_t>(y) * static_cast<std::size_t>(screen.width),
                        static_cast<std::size_t>(columns) * sizeof(Pixel));
    }

    if (mustLock(surface))
        SDL_UnlockSurface(surface);
    SDL_Flip(surface);
}
