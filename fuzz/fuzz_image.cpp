// The bitmap header check, then (for images it passes, up to a million
// pixels so one input cannot take seconds) the decoder the game uses, on the
// bytes the header calls for.
#include <cstdint>
#include <string>

#include "app/platform_setup.h"
#include "platform/core/image.h"
#include "platform/driver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool installed = InstallDrivers(true, nullptr);
    (void)installed;
    platform::BitmapHeader header;
    std::string why;
    const std::size_t head = size < 160 ? size : 160;
    if (!platform::CheckBitmapHeader(data, head, size, &header, &why)) {
        if (why.empty()) __builtin_trap();  // a refusal always says why
        return 0;
    }
    if (header.width <= 0 || header.height <= 0 || header.width > platform::kMaxImageSide ||
        header.height > platform::kMaxImageSide ||
        static_cast<std::uint64_t>(header.width) * header.height * 4 > platform::kMaxImageBytes ||
        header.fileBytes > size)
        __builtin_trap();
    if (static_cast<std::int64_t>(header.width) * header.height > (1 << 20)) return 0;
    platform::ArgbImage image;
    const platform::ImageCodec* codec = platform::InstalledDrivers().image;
    // What the game hands the decoder: the bytes the header calls for.
    if (codec->decodeBitmap(data, static_cast<std::size_t>(header.fileBytes), &image) &&
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height)
        __builtin_trap();
    return 0;
}
