// Image loading end to end on any file bytes: loadImage decodes them through
// SDL_image from a file, as the demo does, and the image set's size limits then
// decide whether the result may serve in a slot. An image that passes is drawn
// the way the demo draws it, so a size the limits let through but the drawing
// cannot take shows up here.
//
// Input: the slot (1 byte, 0 to 3 a texture ".jpg", 4 the sprite ".png"), then the
// file's bytes.
#include "fuzz/fuzz_input.h"
#include "fx/rotozoom.h"
#include "images/image_loader.h"
#include "images/image_set.h"
#include "images/sprite_blit.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// Scratch files for the two slot extensions, in memory-backed storage when there
// is one, removed when the process ends.
struct ScratchFiles {
    std::string texture, sprite;

    ScratchFiles()
    {
        const char* folder = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        const std::string base = std::string(folder) + "/orvane-fuzz-" + std::to_string(getpid());
        texture = base + ".jpg";
        sprite = base + ".png";
    }
    ~ScratchFiles()
    {
        std::remove(texture.c_str());
        std::remove(sprite.c_str());
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const ScratchFiles scratch;
    FuzzInput input{data, size};
    const int slot = input.byte() % kImageCount;
    const std::string& path = slot == kSpriteIndex ? scratch.sprite : scratch.texture;
    FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file, "cannot write %s", path.c_str());
    std::fwrite(input.rest(), 1, input.remaining(), file);
    std::fclose(file);

    const std::unique_ptr<Image> image = loadImage(path.c_str());
    if (!image || !imageFitsSlot(*image, slot))
        return 0;
    FUZZ_CHECK(image->width >= 0 && image->height >= 0, "%dx%d", image->width, image->height);
    if (slot == kSpriteIndex) {
        // The swarm puts sprites anywhere on the 1024x768 page; its corners are the
        // worst places.
        static Screen page(1024, 768, 1, 32);
        blitSprite(*image, 0, 0, page);
        blitSprite(*image, 1024 - image->width, 768 - image->height, page);
    } else {
        static Screen page(64, 48, 1, 32);
        drawRotozoom(*image, 1.0f, 0.5f, 3, 7, page);
    }
    return 0;
}
