// Image files: names taken with backslashes as slashes and, where a
// component is missing, matched ignoring case; bitmap headers read here,
// pixels decoded by the image codec driver, then colour keys, scaling and
// copies into textures and surfaces.
#include "platform/core/image.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <system_error>
#include <vector>

#include "base/byte_order.h"
#include "base/point_sample.h"
#include "platform/core/content_file.h"
#include "platform/core/debug.h"
#include "platform/core/internal.h"
#include "platform/core/png.h"
#include "platform/driver.h"

namespace fs = std::filesystem;

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

struct Image {
    int width = 0;
    int height = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    std::vector<std::uint32_t> pixels;  // ARGB, top row first
};

// The bitmap formats the decoder is handed: every header size, bit depth and
// compression of the Windows bitmap family except embedded JPEG/PNG.
bool KnownLayout(unsigned bits, std::uint32_t compression) {
    switch (compression) {
        case 0:
            return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
        case 1:
            return bits == 8;  // RLE8
        case 2:
            return bits == 4;  // RLE4
        case 3:                // bit fields
        case 6:
            return bits == 16 || bits == 32;
        default:
            return false;
    }
}

std::string Dimensions(std::int64_t w, std::int64_t h) {
    return std::to_string(w) + " \u00d7 " + std::to_string(h);
}

// A size in whole MiB: rounded up for what is asked, down for what is left.
std::string Mebibytes(std::uint64_t bytes, bool up = true) {
    return std::to_string((bytes + (up ? (1u << 20) - 1 : 0)) >> 20) + " MiB";
}

struct CloseFile {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Reads `count` bytes at the end of `bytes`; false when the file ends first.
bool ReadMore(std::FILE* file, std::size_t count, std::vector<unsigned char>* bytes) {
    const std::size_t at = bytes->size();
    bytes->resize(at + count);
    return std::fread(bytes->data() + at, 1, count, file) == count;
}

// Finds, reads the header of and (with `pixels`) decodes an image file. A
// failure is reported once per name on standard error. `admit`, when given,
// sees the image's size before any pixel is decoded and gives the reason it
// must not be (empty: go on). A 32-bit bitmap carries alpha only when its
// header gives an alpha mask; otherwise its fourth byte is padding and the
// image is opaque (SDL alone would take that byte as alpha).
bool Load(const char* fileName, Image* out, bool pixels,
          const std::function<std::string(const Image&)>& admit = {}) {
    if (!fileName) return false;
    auto refuse = [&](const std::string& why) {
        platform::ReportLoadFailure(fileName, why);
        return false;
    };
    std::string why;
    const std::string path = platform::ResolveImagePath(fileName, &why);
    if (path.empty()) return refuse(why);
    std::uint64_t length = 0;
    const std::unique_ptr<std::FILE, CloseFile> file(
        platform::OpenRegularFile(path, &why, &length));
    if (!file) return refuse(why);
    std::vector<unsigned char> bytes;
    if (!ReadMore(file.get(), static_cast<std::size_t>(std::min<std::uint64_t>(length, 160)),
                  &bytes))
        return refuse("cannot read the file");
    platform::BitmapHeader h;
    if (!platform::CheckBitmapHeader(bytes.data(), bytes.size(), length, &h, &why))
        return refuse(why);
    out->width = h.width;
    out->height = h.height;
    out->format = h.hasAlpha         ? D3DFMT_A8R8G8B8
                  : h.bitCount == 32 ? D3DFMT_X8R8G8B8
                  : h.bitCount == 24 ? D3DFMT_R8G8B8
                                     : D3DFMT_X8R8G8B8;
    if (admit)
        if (why = admit(*out); !why.empty()) return refuse(why);
    if (!pixels) return true;

    // Only what the header calls for: the file may go on far beyond it.
    if (h.fileBytes > bytes.size()) {
        if (!ReadMore(file.get(), static_cast<std::size_t>(h.fileBytes - bytes.size()), &bytes))
            return refuse("cannot read the file");
    } else {
        bytes.resize(static_cast<std::size_t>(h.fileBytes));
    }
    const platform::ImageCodec* codec = platform::InstalledDrivers().image;
    platform::ArgbImage decoded;
    if (!codec || !codec->decodeBitmap ||
        !codec->decodeBitmap(bytes.data(), bytes.size(), &decoded) || decoded.width != h.width ||
        decoded.height != h.height)
        return refuse("the bitmap's pixels cannot be decoded");
    out->pixels = std::move(decoded.pixels);
    if (!h.hasAlpha)
        for (auto& p : out->pixels) p |= 0xFF000000u;
    return true;
}

void FillInfo(const Image& image, D3DRESOURCETYPE type, D3DXIMAGE_INFO* info) {
    if (!info) return;
    info->Width = static_cast<UINT>(image.width);
    info->Height = static_cast<UINT>(image.height);
    info->Depth = 1;
    info->MipLevels = 1;
    info->Format = image.format;
    info->ResourceType = type;
    info->ImageFileFormat = D3DXIFF_BMP;
}

void ApplyColorKey(std::vector<std::uint32_t>* pixels, D3DCOLOR key) {
    if (key == 0) return;
    for (auto& p : *pixels)
        if (p == key) p = 0;
}

// Copies src rectangle s of a (sw wide) image onto rectangle d of a (dw wide)
// image, point-sampling where the sizes differ.
void CopyScaled(const std::uint32_t* sp, LONG sw, const RECT& s, std::uint32_t* dp, LONG dw,
                const RECT& d, std::uint32_t orMask) {
    const LONG cw = s.right - s.left, ch = s.bottom - s.top;
    const LONG ow = d.right - d.left, oh = d.bottom - d.top;
    for (LONG y = 0; y < oh; ++y) {
        const LONG sy = s.top + static_cast<LONG>(PointSample(y, ch, oh));
        for (LONG x = 0; x < ow; ++x) {
            const LONG sx = s.left + static_cast<LONG>(PointSample(x, cw, ow));
            dp[static_cast<std::size_t>(d.top + y) * dw + d.left + x] =
                sp[static_cast<std::size_t>(sy) * sw + sx] | orMask;
        }
    }
}

}  // namespace

namespace platform {

std::string ResolveImagePath(const char* fileName, std::string* whyNot) {
    auto none = [&](const std::string& why) {
        if (whyNot) *whyNot = why;
        return std::string();
    };
    if (!fileName || !*fileName) return none("no such file");
    std::string name(fileName);
    std::replace(name.begin(), name.end(), '\\', '/');
    std::error_code ec;
    if (fs::is_regular_file(name, ec)) return name;
    // Walk the components, taking a case-insensitive match where the exact
    // one is missing (the first in name order, so the choice is stable).
    const fs::path wanted(name);
    fs::path at = wanted.has_root_path() ? wanted.root_path() : fs::path(".");
    for (const auto& part : wanted.relative_path()) {
        const std::string p = part.string();
        if (p.empty() || p == ".") continue;
        if (fs::exists(at / part, ec)) {
            at /= part;
            continue;
        }
        std::vector<std::string> matches;
        for (fs::directory_iterator it(at, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string candidate = it->path().filename().string();
            if (SameIgnoringCase(candidate, p)) matches.push_back(candidate);
        }
        if (matches.empty()) return none("no such file");
        std::sort(matches.begin(), matches.end());
        at /= matches.front();
    }
    if (fs::is_regular_file(at, ec)) return at.string();
    return none(NotARegularFile(at.string()));
}

bool CheckBitmapHeader(const std::uint8_t* head, std::size_t size, std::uint64_t fileLength,
                       BitmapHeader* out, std::string* why) {
    auto no = [&](const std::string& text) {
        if (why) *why = text;
        return false;
    };
    if (fileLength == 0) return no("the file is empty");
    if (size < 2 || head[0] != 'B' || head[1] != 'M') return no("not a Windows bitmap");
    if (size < 26) return no("the bitmap header is cut short");
    const std::uint32_t offset = ReadLe32(&head[10]);
    const std::uint32_t headerSize = ReadLe32(&head[14]);
    std::int64_t width = 0, height = 0;
    unsigned planes = 0, bits = 0;
    std::uint32_t compression = 0;
    if (headerSize == 12) {
        width = ReadLe16(&head[18]);
        height = ReadLe16(&head[20]);
        planes = ReadLe16(&head[22]);
        bits = ReadLe16(&head[24]);
    } else if (headerSize >= 40 && headerSize <= 124) {
        if (size < 54) return no("the bitmap header is cut short");
        width = static_cast<std::int32_t>(ReadLe32(&head[18]));
        height = static_cast<std::int32_t>(ReadLe32(&head[22]));
        planes = ReadLe16(&head[26]);
        bits = ReadLe16(&head[28]);
        compression = ReadLe32(&head[30]);
    } else {
        return no("unknown bitmap header size " + std::to_string(headerSize));
    }
    if (height < 0) height = -height;  // top row first
    if (width <= 0 || height <= 0) return no("image is " + Dimensions(width, height) + ", empty");
    if (width > kMaxImageSide || height > kMaxImageSide)
        return no("image is " + Dimensions(width, height) + ", larger than " +
                  std::to_string(kMaxImageSide));
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * height;
    if (pixels * 4 > kMaxImageBytes)
        return no("image is " + Dimensions(width, height) + ", " + Mebibytes(pixels * 4) +
                  " decoded, more than the " + Mebibytes(kMaxImageBytes) + " an image may take");
    if (planes != 1)
        return no("the bitmap has " + std::to_string(planes) + " colour planes, not 1");
    if (!KnownLayout(bits, compression))
        return no(std::to_string(bits) + "-bit bitmaps with compression " +
                  std::to_string(compression) + " are not supported");
    if (offset < 14 + headerSize || offset >= fileLength)
        return no("the pixel data offset " + std::to_string(offset) + " lies outside the file");
    // Uncompressed rows are padded to 4 bytes; the last row's padding may be
    // missing. Compressed data is only known to start inside the file; run
    // length coding takes at most 2 bytes a pixel, with an end-of-line mark
    // for each row and one end-of-bitmap mark.
    std::uint64_t pixelBytes = 2 * pixels + 2 * static_cast<std::uint64_t>(height) + 2;
    if (compression == 0 || compression == 3 || compression == 6) {
        const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
        const std::uint64_t need = offset + rowBytes * static_cast<std::uint64_t>(height - 1) +
                                   (static_cast<std::uint64_t>(width) * bits + 7) / 8;
        if (need > fileLength)
            return no("the file is " + std::to_string(fileLength) + " bytes, too short for " +
                      Dimensions(width, height) + " at " + std::to_string(bits) + " bits");
        pixelBytes = rowBytes * static_cast<std::uint64_t>(height);
    }
    out->fileBytes = std::min(fileLength, offset + pixelBytes);
    out->width = static_cast<int>(width);
    out->height = static_cast<int>(height);
    out->bitCount = bits;
    out->hasAlpha = false;
    if (bits == 32 && (compression == 3 || compression == 6) &&
        (headerSize >= 56 || compression == 6) && size >= 70)
        out->hasAlpha = ReadLe32(&head[66]) != 0;
    return true;
}

bool ReadImageFile(const std::string& path, std::vector<std::uint32_t>* pixels, int* width,
                   int* height, std::string* error) {
    const ImageCodec* codec = InstalledDrivers().image;
    if (!codec || !codec->readFile) {
        if (error) *error = "no image codec to read '" + path + "'";
        return false;
    }
    ArgbImage image;
    if (!codec->readFile(path, &image, error)) return false;
    *width = image.width;
    *height = image.height;
    *pixels = std::move(image.pixels);
    return true;
}

bool SaveBmp(const std::string& path, const std::uint32_t* pixels, int width, int height,
             std::string* error) {
    if (!pixels || width <= 0 || height <= 0 || width > 65536 || height > 65536) {
        if (error) *error = "no image to write";
        return false;
    }
    const auto w = static_cast<std::uint32_t>(width), h = static_cast<std::uint32_t>(height);
    const std::uint32_t stride = (w * 3 + 3) & ~3u;  // rows are padded to 4 bytes
    const std::uint32_t imageSize = stride * h;
    // File header ("BM", size, reserved, pixel offset), then the info header:
    // bottom-up, 1 plane, 24 bits, no compression, 72 dpi, no palette.
    std::vector<std::uint8_t> b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    const std::uint32_t fields[][2] = {
        {2, 54 + imageSize},  {10, 54},        {14, 40},   {18, w},   {22, h},
        {26, 1 | (24 << 16)}, {34, imageSize}, {38, 2835}, {42, 2835}};
    for (const auto& [at, value] : fields) WriteLe32(&b[at], value);
    b.reserve(54 + imageSize);
    for (std::uint32_t y = h; y-- > 0;) {
        for (std::uint32_t x = 0; x < w; ++x) {
            const std::uint32_t p = pixels[std::size_t(y) * w + x];
            b.insert(b.end(), {static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 8),
                               static_cast<std::uint8_t>(p >> 16)});
        }
        b.resize(b.size() + (stride - w * 3), 0);
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f && std::fwrite(b.data(), 1, b.size(), f) == b.size();
    const int err = errno;
    if (f && std::fclose(f) != 0) ok = false;
    if (!ok && error) *error = "cannot write '" + path + "': " + std::strerror(f ? errno : err);
    return ok;
}

bool SavePng(const std::string& path, const std::uint32_t* pixels, int width, int height,
             bool keepAlpha, std::string* error) {
    if (!pixels || width <= 0 || height <= 0) {
        if (error) *error = "no image to write";
        return false;
    }
    const ImageCodec* codec = InstalledDrivers().image;
    if (!codec || !codec->savePng) {
        if (error) *error = "no image codec to write '" + path + "'";
        return false;
    }
    ArgbImage image{width, height,
                    std::vector<std::uint32_t>(pixels, pixels + std::size_t(width) * height)};
    if (!keepAlpha)
        for (auto& p : image.pixels) p |= 0xFF000000u;
    return codec->savePng(path, image, error);
}

}  // namespace platform

HRESULT D3DXGetImageInfoFromFileA(const char* fileName, D3DXIMAGE_INFO* info) {
    if (!fileName || !info) return D3DERR_INVALIDCALL;
    Image image;
    if (!Load(fileName, &image, false)) return D3DXERR_INVALIDDATA;
    FillInfo(image, D3DRTYPE_TEXTURE, info);
    return D3D_OK;
}

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, const char* fileName, UINT width,
                                     UINT height, UINT, DWORD, D3DFORMAT, D3DPOOL, DWORD, DWORD,
                                     D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo, PALETTEENTRY*,
                                     IDirect3DTexture9** texture) {
    if (!texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (!device || !fileName) return D3DERR_INVALIDCALL;
    const bool fileWidth = width == 0 || width == D3DX_DEFAULT || width == D3DX_DEFAULT_NONPOW2;
    const bool fileHeight = height == 0 || height == D3DX_DEFAULT || height == D3DX_DEFAULT_NONPOW2;
    if ((!fileWidth && width > platform::kMaxImageSide) ||
        (!fileHeight && height > platform::kMaxImageSide))
        return D3DERR_INVALIDCALL;
    UINT w = 0, h = 0;
    // The texture must fit the device's texture memory left, which is known
    // before the file is decoded.
    auto fits = [&](const Image& header) {
        w = fileWidth ? static_cast<UINT>(header.width) : width;
        h = fileHeight ? static_cast<UINT>(header.height) : height;
        const std::uint64_t bytes = std::uint64_t{w} * h * 4;
        if (bytes <= device->GetAvailableTextureMem()) return std::string();
        return "image is " + Dimensions(header.width, header.height) + ", a " + Mebibytes(bytes) +
               " texture, more than the " + Mebibytes(device->GetAvailableTextureMem(), false) +
               " of texture memory left of " + Mebibytes(platform::kTextureMemoryBytes);
    };
    Image image;
    if (!Load(fileName, &image, true, fits)) return D3DXERR_INVALIDDATA;
    FillInfo(image, D3DRTYPE_TEXTURE, srcInfo);
    ApplyColorKey(&image.pixels, colorKey);
    IDirect3DTexture9* made = nullptr;
    const HRESULT hr =
        device->CreateTexture(w, h, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &made, nullptr);
    if (FAILED(hr)) return hr;
    CopyScaled(image.pixels.data(), image.width, RECT{0, 0, image.width, image.height},
               made->Texels(), static_cast<LONG>(w),
               RECT{0, 0, static_cast<LONG>(w), static_cast<LONG>(h)}, 0);
    *texture = made;
    return D3D_OK;
}

HRESULT D3DXLoadSurfaceFromFileA(IDirect3DSurface9* surface, const PALETTEENTRY*,
                                 const RECT* dstRect, const char* fileName, const RECT* srcRect,
                                 DWORD, D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo) {
    if (!surface || !fileName) return D3DERR_INVALIDCALL;
    Image image;
    if (!Load(fileName, &image, true)) return D3DXERR_INVALIDDATA;
    FillInfo(image, D3DRTYPE_SURFACE, srcInfo);
    const LONG sw = static_cast<LONG>(surface->Width()), sh = static_cast<LONG>(surface->Height());
    const RECT s = srcRect ? *srcRect : RECT{0, 0, image.width, image.height};
    const RECT d = dstRect ? *dstRect : RECT{0, 0, sw, sh};
    if (!platform::detail::RectInside(s, image.width, image.height) ||
        !platform::detail::RectInside(d, sw, sh))
        return D3DERR_INVALIDCALL;
    ApplyColorKey(&image.pixels, colorKey);
    const std::uint32_t orMask = surface->Format() == D3DFMT_A8R8G8B8 ? 0u : 0xFF000000u;
    CopyScaled(image.pixels.data(), image.width, s, surface->Pixels(), sw, d, orMask);
    return D3D_OK;
}
