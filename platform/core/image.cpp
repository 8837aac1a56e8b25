// Image files: names taken with backslashes as slashes and, where a
// component is missing, matched ignoring case; bitmap headers read here,
// pixels decoded by the image codec driver, then colour keys, scaling and
// copies into textures and surfaces.
#include "platform/core/image.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "base/byte_order.h"
#include "base/point_sample.h"
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

// Reads the first bytes of a file and its length; false when it cannot be read.
bool ReadHead(const std::string& path, std::vector<unsigned char>* head, std::uint64_t* length) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::error_code ec;
    *length = fs::file_size(path, ec);
    if (ec) return false;
    head->resize(static_cast<std::size_t>(std::min<std::uint64_t>(*length, 160)));
    in.read(reinterpret_cast<char*>(head->data()), static_cast<std::streamsize>(head->size()));
    return static_cast<std::size_t>(in.gcount()) == head->size();
}

// Finds, reads the header of and (with `pixels`) decodes an image file. A
// failure is reported once per name on standard error. A 32-bit bitmap
// carries alpha only when its header gives an alpha mask; otherwise its fourth
// byte is padding and the image is opaque (SDL alone would take that byte as
// alpha).
bool Load(const char* fileName, Image* out, bool pixels) {
    if (!fileName) return false;
    auto refuse = [&](const std::string& why) {
        platform::ReportLoadFailure(fileName, why);
        return false;
    };
    const std::string path = platform::ResolveImagePath(fileName);
    if (path.empty()) return refuse("no such file");
    std::vector<unsigned char> head;
    std::uint64_t length = 0;
    if (!ReadHead(path, &head, &length)) return refuse("cannot read the file");
    platform::BitmapHeader h;
    std::string why;
    if (!platform::CheckBitmapHeader(head.data(), head.size(), length, &h, &why))
        return refuse(why);
    out->width = h.width;
    out->height = h.height;
    out->format = h.hasAlpha         ? D3DFMT_A8R8G8B8
                  : h.bitCount == 32 ? D3DFMT_X8R8G8B8
                  : h.bitCount == 24 ? D3DFMT_R8G8B8
                                     : D3DFMT_X8R8G8B8;
    if (!pixels) return true;

    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
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

std::string ResolveImagePath(const char* fileName) {
    if (!fileName || !*fileName) return {};
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
        if (matches.empty()) return {};
        std::sort(matches.begin(), matches.end());
        at /= matches.front();
    }
    return fs::is_regular_file(at, ec) ? at.string() : std::string();
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
    if (planes != 1 || !KnownLayout(bits, compression))
        return no(std::to_string(bits) + "-bit bitmaps with compression " +
                  std::to_string(compression) + " are not supported");
    if (offset < 14 + headerSize || offset >= fileLength)
        return no("the pixel data offset " + std::to_string(offset) + " lies outside the file");
    // Uncompressed rows are padded to 4 bytes; the last row's padding may be
    // missing. Compressed data is only known to start inside the file.
    if (compression == 0 || compression == 3 || compression == 6) {
        const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
        const std::uint64_t need = offset + rowBytes * static_cast<std::uint64_t>(height - 1) +
                                   (static_cast<std::uint64_t>(width) * bits + 7) / 8;
        if (need > fileLength)
            return no("the file is " + std::to_string(fileLength) + " bytes, too short for " +
                      Dimensions(width, height) + " at " + std::to_string(bits) + " bits");
    }
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
    Image image;
    if (!Load(fileName, &image, true)) return D3DXERR_INVALIDDATA;
    FillInfo(image, D3DRTYPE_TEXTURE, srcInfo);
    const bool fileWidth = width == 0 || width == D3DX_DEFAULT || width == D3DX_DEFAULT_NONPOW2;
    const bool fileHeight = height == 0 || height == D3DX_DEFAULT || height == D3DX_DEFAULT_NONPOW2;
    const UINT w = fileWidth ? static_cast<UINT>(image.width) : width;
    const UINT h = fileHeight ? static_cast<UINT>(image.height) : height;
    if (w > platform::kMaxImageSide || h > platform::kMaxImageSide) return D3DERR_INVALIDCALL;
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
