/// @file
/// The graphics device the game draws with: a Direct3D 9-shaped interface
/// drawing through the rasteriser of platform/soft/. Plain C++ objects;
/// Release() deletes. Images are 32-bit ARGB (0xAARRGGBB), row-major, no
/// padding.
///
/// Drawing into the back buffer may be recorded and done later (see
/// platform/soft/banded_target.h), so recorded calls hold pointers into the
/// device's images. Every image therefore knows the device that made it, and
/// every way to change, read or free one from outside the device asks that
/// device to finish its drawing first: callers always see a finished picture.
/// A device draws only its own images.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/matrix.h"
#include "platform/core/types.h"
#include "platform/core/window.h"

constexpr UINT D3D_SDK_VERSION = 32;
constexpr UINT D3DADAPTER_DEFAULT = 0;

enum D3DDEVTYPE : std::uint32_t { D3DDEVTYPE_HAL = 1, D3DDEVTYPE_REF = 2, D3DDEVTYPE_SW = 3 };

enum D3DFORMAT : std::uint32_t {
    D3DFMT_UNKNOWN = 0,
    D3DFMT_R8G8B8 = 20,
    D3DFMT_A8R8G8B8 = 21,
    D3DFMT_X8R8G8B8 = 22,
    D3DFMT_D16 = 80,
};

enum D3DPOOL : std::uint32_t {
    D3DPOOL_DEFAULT = 0,
    D3DPOOL_MANAGED = 1,
    D3DPOOL_SYSTEMMEM = 2,
    D3DPOOL_SCRATCH = 3,
};

enum D3DSWAPEFFECT : std::uint32_t { D3DSWAPEFFECT_DISCARD = 1 };
enum D3DMULTISAMPLE_TYPE : std::uint32_t { D3DMULTISAMPLE_NONE = 0 };
enum D3DBACKBUFFER_TYPE : std::uint32_t { D3DBACKBUFFER_TYPE_MONO = 0 };
enum D3DTEXTUREFILTERTYPE : std::uint32_t { D3DTEXF_NONE = 0, D3DTEXF_POINT = 1 };

enum D3DTRANSFORMSTATETYPE : std::uint32_t {
    D3DTS_VIEW = 2,
    D3DTS_PROJECTION = 3,
    D3DTS_WORLD = 256,
};

enum D3DRENDERSTATETYPE : std::uint32_t {
    D3DRS_ZENABLE = 7,
    D3DRS_LIGHTING = 137,
    D3DRS_AMBIENT = 139,
};

constexpr DWORD D3DZB_TRUE = 1;
constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr DWORD D3DCLEAR_TARGET = 1;
constexpr DWORD D3DCLEAR_ZBUFFER = 2;
constexpr UINT D3DPRESENT_INTERVAL_DEFAULT = 0;

constexpr HRESULT D3D_OK = 0;
constexpr HRESULT D3DERR_INVALIDCALL = MakeHResult(0x8876086Cu);
constexpr HRESULT D3DERR_NOTAVAILABLE = MakeHResult(0x8876086Au);
constexpr HRESULT D3DERR_OUTOFVIDEOMEMORY = MakeHResult(0x8876017Cu);

using D3DCOLOR = std::uint32_t;

struct D3DCOLORVALUE {
    float r, g, b, a;
};

/// A fixed-function material: with no lights, a vertex's colour is
/// saturate(Emissive + ambient light * Ambient), with Diffuse's alpha.
struct D3DMATERIAL9 {
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Ambient;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Emissive;
    float Power;
};

struct D3DPRESENT_PARAMETERS {
    UINT BackBufferWidth = 0;
    UINT BackBufferHeight = 0;
    D3DFORMAT BackBufferFormat = D3DFMT_UNKNOWN;
    UINT BackBufferCount = 0;
    D3DMULTISAMPLE_TYPE MultiSampleType = D3DMULTISAMPLE_NONE;
    DWORD MultiSampleQuality = 0;
    D3DSWAPEFFECT SwapEffect = D3DSWAPEFFECT_DISCARD;
    HWND hDeviceWindow = nullptr;
    BOOL Windowed = 0;
    BOOL EnableAutoDepthStencil = 0;
    D3DFORMAT AutoDepthStencilFormat = D3DFMT_UNKNOWN;
    DWORD Flags = 0;
    UINT FullScreen_RefreshRateInHz = 0;
    UINT PresentationInterval = 0;
};

class IDirect3DDevice9;
class IDirect3DTexture9;
class ID3DXSprite;
class ID3DXMesh;

namespace platform::soft {
class BandedTarget;
}

namespace platform::detail {
/// What a device shares with the images it made: the device, or null once it
/// is gone (an image may outlive its device; it then has nothing to finish).
struct DeviceLink {
    IDirect3DDevice9* device = nullptr;
    /// Bytes of texels held by the device's textures that are still alive.
    std::uint64_t textureBytes = 0;
    /// Has the device, if it is still there, finish its recorded drawing.
    void Finish() const;
};
}  // namespace platform::detail

/// A 32-bit image: off-screen plain surfaces and the back buffer.
class IDirect3DSurface9 {
  public:
    ~IDirect3DSurface9();
    IDirect3DSurface9(const IDirect3DSurface9&) = delete;
    IDirect3DSurface9& operator=(const IDirect3DSurface9&) = delete;
    UINT Width() const { return width_; }
    UINT Height() const { return height_; }
    D3DFORMAT Format() const { return format_; }
    std::uint32_t* Pixels();
    const std::uint32_t* Pixels() const;
    bool MadeBy(const IDirect3DDevice9* device) const { return owner_->device == device; }
    ULONG Release();

  private:
    IDirect3DSurface9(std::shared_ptr<platform::detail::DeviceLink> owner, UINT width, UINT height,
                      D3DFORMAT format);
    std::shared_ptr<platform::detail::DeviceLink> owner_;
    UINT width_;
    UINT height_;
    D3DFORMAT format_;
    std::vector<std::uint32_t> pixels_;
    bool owned_by_device_ = false;
    friend class IDirect3DDevice9;
};

namespace platform {
/// The texture memory of a device: its textures together may hold this many
/// bytes of texels at once (64 textures of 1024 x 1024).
constexpr std::uint64_t kTextureMemoryBytes = std::uint64_t{256} << 20;
}  // namespace platform

class IDirect3DDevice9 {
  public:
    explicit IDirect3DDevice9(const D3DPRESENT_PARAMETERS& params);
    ~IDirect3DDevice9();
    IDirect3DDevice9(const IDirect3DDevice9&) = delete;
    IDirect3DDevice9& operator=(const IDirect3DDevice9&) = delete;

    HRESULT Clear(DWORD count, const RECT* rects, DWORD flags, D3DCOLOR color, float z,
                  DWORD stencil);
    HRESULT BeginScene();
    HRESULT EndScene();
    HRESULT Present(const RECT* src, const RECT* dst, HWND override, const void* dirty);
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) const;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix);
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) const;
    HRESULT SetMaterial(const D3DMATERIAL9* material);
    HRESULT GetMaterial(D3DMATERIAL9* material) const;
    /// Stage 0 only; null draws untextured. The device does not own the texture.
    HRESULT SetTexture(DWORD stage, IDirect3DTexture9* texture);
    IDirect3DTexture9* GetTexture(DWORD stage) const { return stage == 0 ? texture_ : nullptr; }
    HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                          IDirect3DSurface9** out);
    HRESULT CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                        IDirect3DSurface9** out, void* sharedHandle);
    /// One level of A8R8G8B8 or X8R8G8B8 texels, all zero. A texture that does
    /// not fit the texture memory left fails with D3DERR_OUTOFVIDEOMEMORY,
    /// before anything is allocated.
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DTexture9** out, void* sharedHandle);
    /// Bytes of texture memory left: kTextureMemoryBytes less the texels of
    /// the device's textures that are alive.
    UINT GetAvailableTextureMem() const;
    HRESULT StretchRect(IDirect3DSurface9* src, const RECT* srcRect, IDirect3DSurface9* dst,
                        const RECT* dstRect, D3DTEXTUREFILTERTYPE filter);
    ULONG Release();

    const D3DPRESENT_PARAMETERS& PresentParameters() const { return params_; }
    IDirect3DSurface9* BackBufferSurface() { return &backBuffer_; }
    const float* DepthBuffer() const {
        FinishDrawing();
        return depth_.data();
    }
    float* DepthBuffer() {
        FinishDrawing();
        return depth_.data();
    }
    std::int64_t PresentCount() const { return presentCount_; }
    /// How many threads draw the back buffer.
    int Workers() const;
    /// Does what recorded drawing is pending, so the images hold the result.
    void FinishDrawing() const;

  private:
    friend class ID3DXSprite;
    friend class ID3DXMesh;
    std::shared_ptr<platform::detail::DeviceLink> link_;  ///< first: the images below hold it
    D3DPRESENT_PARAMETERS params_;
    IDirect3DSurface9 backBuffer_;
    std::vector<float> depth_;
    bool inScene_ = false;
    DWORD renderStates_[256] = {};
    D3DMATRIX world_;
    D3DMATRIX view_;
    D3DMATRIX projection_;
    D3DMATERIAL9 material_{};
    IDirect3DTexture9* texture_ = nullptr;
    std::int64_t presentCount_ = 0;
    std::unique_ptr<platform::soft::BandedTarget> target_;  ///< last: draws into the buffers above
};

class IDirect3D9 {
  public:
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** out);
    ULONG Release();
};

IDirect3D9* Direct3DCreate9(UINT sdkVersion);

/// A texture: one level of 32-bit ARGB texels. Textures made from image files
/// carry the colour key already applied (transparent texels have alpha 0).
class IDirect3DTexture9 {
  public:
    ~IDirect3DTexture9();
    IDirect3DTexture9(const IDirect3DTexture9&) = delete;
    IDirect3DTexture9& operator=(const IDirect3DTexture9&) = delete;
    UINT Width() const { return width_; }
    UINT Height() const { return height_; }
    D3DFORMAT Format() const { return format_; }
    /// Changing texels finishes recorded drawing first (it may read them);
    /// reading them does not need to.
    std::uint32_t* Texels();
    const std::uint32_t* Texels() const { return texels_.data(); }
    bool MadeBy(const IDirect3DDevice9* device) const { return owner_->device == device; }
    ULONG Release();

  private:
    IDirect3DTexture9(std::shared_ptr<platform::detail::DeviceLink> owner, UINT width, UINT height,
                      D3DFORMAT format);
    friend class IDirect3DDevice9;
    std::shared_ptr<platform::detail::DeviceLink> owner_;
    UINT width_;
    UINT height_;
    D3DFORMAT format_;
    std::vector<std::uint32_t> texels_;
};
