/// @file
/// Image files: size queries, textures and surfaces made from Windows bitmaps.
/// Names are looked up in the working directory; a backslash separates folders
/// and, where no file has the exact name, one differing only in letter case is
/// used. Pixels come out as 32-bit ARGB; the colour key (when not 0) turns
/// every pixel equal to it into transparent black.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/d3d9.h"

constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;
constexpr UINT D3DX_DEFAULT_NONPOW2 = 0xFFFFFFFEu;
constexpr DWORD D3DX_FILTER_NONE = 1;
constexpr DWORD D3DX_FILTER_POINT = 2;

constexpr HRESULT D3DXERR_INVALIDDATA = MakeHResult(0x88760B59u);

enum D3DRESOURCETYPE : std::uint32_t {
    D3DRTYPE_SURFACE = 1,
    D3DRTYPE_TEXTURE = 3,
};

enum D3DXIMAGE_FILEFORMAT : std::uint32_t {
    D3DXIFF_BMP = 0,
};

struct D3DXIMAGE_INFO {
    UINT Width = 0;
    UINT Height = 0;
    UINT Depth = 0;
    UINT MipLevels = 0;
    D3DFORMAT Format = D3DFMT_UNKNOWN;
    D3DRESOURCETYPE ResourceType = D3DRTYPE_SURFACE;
    D3DXIMAGE_FILEFORMAT ImageFileFormat = D3DXIFF_BMP;
};

struct PALETTEENTRY {
    BYTE peRed, peGreen, peBlue, peFlags;
};

/// Size and pixel format of an image file, from its header alone.
/// D3DXERR_INVALIDDATA when the file is missing or its header is refused.
/// Every refusal of a file (here and below) is reported once per name with
/// platform::ReportLoadFailure.
HRESULT D3DXGetImageInfoFromFileA(const char* fileName, D3DXIMAGE_INFO* info);

/// A texture of the file's image. Width and height of 0 or D3DX_DEFAULT take the
/// file's own size; another size scales the image with point sampling. Format,
/// pool, filters and palette are accepted as given; textures are always ARGB.
/// A texture that would not fit the device's texture memory left is refused
/// before the file is decoded.
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, const char* fileName, UINT width,
                                     UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format,
                                     D3DPOOL pool, DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                     D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* palette,
                                     IDirect3DTexture9** texture);

/// Loads the file (or its srcRect) into the surface (or its dstRect), scaling
/// with point sampling where the sizes differ. A surface without alpha
/// (X8R8G8B8) stores every pixel opaque.
HRESULT D3DXLoadSurfaceFromFileA(IDirect3DSurface9* surface, const PALETTEENTRY* palette,
                                 const RECT* dstRect, const char* fileName, const RECT* srcRect,
                                 DWORD filter, D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo);

namespace platform {

/// The largest width or height of an image file or texture.
constexpr std::int64_t kMaxImageSide = 16384;
/// The most an image file may take decoded, at 4 bytes a pixel (4096 x 4096),
/// whatever its own depth and compression: a file past it is refused before
/// any pixel is decoded. Textures made from files also share the device's
/// texture memory (kTextureMemoryBytes).
constexpr std::uint64_t kMaxImageBytes = std::uint64_t{64} << 20;

struct BitmapHeader {
    int width = 0;
    int height = 0;  ///< rows, whichever way they are stored
    unsigned bitCount = 0;
    bool hasAlpha = false;  ///< a 32-bit bitmap whose header gives an alpha mask
    /// The bytes of the file that decoding reads (headers, palette, pixels):
    /// no more than the header's size of the pixels calls for, and no more
    /// than the file holds. What lies past them is never read.
    std::uint64_t fileBytes = 0;
};

/// Checks a bitmap's header (`head`: the file's first bytes, up to 160) against
/// the file's length before anything is decoded: known header, one plane, bit
/// depth and compression, sizes from 1 to kMaxImageSide, kMaxImageBytes
/// decoded, and uncompressed pixels inside the file. False with `why` (one
/// clause for a user) when it fails.
bool CheckBitmapHeader(const std::uint8_t* head, std::size_t size, std::uint64_t fileLength,
                       BitmapHeader* out, std::string* why);

/// The path an image name resolves to (see above); empty when nothing matches,
/// with `whyNot` (when given) saying so or what the name found is instead of a
/// file (a folder, a device, a named pipe).
std::string ResolveImagePath(const char* fileName, std::string* whyNot = nullptr);

}  // namespace platform
