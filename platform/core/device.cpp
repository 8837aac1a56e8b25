// The graphics device: a 32-bit back buffer, a float depth buffer, its
// images (surfaces and textures), transforms, render states and material,
// drawn through the rasteriser and presented through the video driver.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "base/parse_number.h"
#include "base/point_sample.h"
#include "base/setting.h"
#include "platform/core/d3d9.h"
#include "platform/core/internal.h"
#include "platform/core/platform.h"
#include "platform/driver.h"
#include "platform/soft/banded_target.h"

namespace {

D3DMATRIX Identity() {
    D3DMATRIX m{};
    for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
    return m;
}

// A whole number from the environment within [low, high], or `otherwise`
// when the variable is not set or its value cannot be used (told once).
std::int64_t FromEnvironment(const char* name, std::int64_t low, std::int64_t high,
                             std::int64_t otherwise) {
    const char* env = std::getenv(name);
    std::int64_t n = 0;
    if (!env) return otherwise;
    if (ParseNumber(env, low, high, &n)) return n;
    ReportUnusableSetting(
        name, env, "a whole number from " + std::to_string(low) + " to " + std::to_string(high),
        std::to_string(otherwise));
    return otherwise;
}

// The threads a new device draws with: VELMOR_THREADS when set to 1 ... 64,
// else the processor count.
int DrawingWorkers() {
    const auto cores = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 64u));
    return static_cast<int>(FromEnvironment("VELMOR_THREADS", 1, 64, cores));
}

// Below this many touched pixels a run of calls is drawn by the caller alone:
// waking the workers would cost more than it saves. VELMOR_PARALLEL_MIN_PIXELS
// sets it (0: every call goes to the workers, to check them on small frames).
std::int64_t ParallelMinWork() {
    return FromEnvironment("VELMOR_PARALLEL_MIN_PIXELS", 0, std::int64_t{1} << 50, 4 << 20);
}

// Whether a new device keeps its drawing until someone looks at the
// picture: in headless runs, unless --draw-every-frame or
// VELMOR_DRAW_EVERY_FRAME=1 asks for every frame to be drawn (to compare).
// A window shows every frame, so windowed runs draw each one at Present.
bool DefersDrawing() {
    return platform::IsHeadless() && !platform::detail::DrawEveryFrameAsked() &&
           FromEnvironment("VELMOR_DRAW_EVERY_FRAME", 0, 1, 0) == 0;
}

using platform::detail::Video;

}  // namespace

int platform::PresentedImage::Width() const {
    return surface_ ? static_cast<int>(surface_->Width()) : 0;
}

int platform::PresentedImage::Height() const {
    return surface_ ? static_cast<int>(surface_->Height()) : 0;
}

const std::uint32_t* platform::PresentedImage::Pixels() const {
    return surface_ ? surface_->Pixels() : nullptr;
}

void platform::detail::DeviceLink::Finish() const {
    if (device) device->FinishDrawing();
}

IDirect3DSurface9::IDirect3DSurface9(std::shared_ptr<platform::detail::DeviceLink> owner,
                                     UINT width, UINT height, D3DFORMAT format)
    : owner_(std::move(owner)),
      width_(width),
      height_(height),
      format_(format),
      pixels_(static_cast<std::size_t>(width) * height, 0xFF000000u) {}

IDirect3DSurface9::~IDirect3DSurface9() { owner_->Finish(); }

std::uint32_t* IDirect3DSurface9::Pixels() {
    owner_->Finish();
    return pixels_.data();
}

const std::uint32_t* IDirect3DSurface9::Pixels() const {
    owner_->Finish();
    return pixels_.data();
}

ULONG IDirect3DSurface9::Release() {
    if (!owned_by_device_) delete this;
    return 0;
}

IDirect3DTexture9::IDirect3DTexture9(std::shared_ptr<platform::detail::DeviceLink> owner,
                                     UINT width, UINT height, D3DFORMAT format)
    : owner_(std::move(owner)),
      width_(width),
      height_(height),
      format_(format),
      texels_(static_cast<std::size_t>(width) * height, 0u) {}

IDirect3DTexture9::~IDirect3DTexture9() {
    owner_->Finish();
    owner_->textureBytes -= static_cast<std::uint64_t>(texels_.size()) * 4;
}

std::uint32_t* IDirect3DTexture9::Texels() {
    owner_->Finish();
    return texels_.data();
}

ULONG IDirect3DTexture9::Release() {
    delete this;
    return 0;
}

// A video driver that cannot make graphics devices fails here.
IDirect3D9* Direct3DCreate9(UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION) return nullptr;
    if (Video() && Video()->graphicsAvailable && !Video()->graphicsAvailable()) return nullptr;
    return new IDirect3D9();
}

ULONG IDirect3D9::Release() {
    delete this;
    return 0;
}

HRESULT IDirect3D9::CreateDevice(UINT adapter, D3DDEVTYPE, HWND focusWindow, DWORD,
                                 D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** out) {
    if (!out || !params) return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    if (!params->hDeviceWindow) params->hDeviceWindow = focusWindow;
    // Windowed with an unknown format means the display's format: ours is X8R8G8B8.
    if (params->BackBufferFormat == D3DFMT_UNKNOWN) params->BackBufferFormat = D3DFMT_X8R8G8B8;
    if (params->BackBufferWidth == 0 || params->BackBufferHeight == 0) {
        int w = 0, h = 0;
        platform::GetWindowSize(params->hDeviceWindow, &w, &h);
        if (params->BackBufferWidth == 0) params->BackBufferWidth = static_cast<UINT>(w);
        if (params->BackBufferHeight == 0) params->BackBufferHeight = static_cast<UINT>(h);
    }
    if (params->BackBufferWidth == 0 || params->BackBufferHeight == 0 ||
        params->BackBufferWidth > 8192 || params->BackBufferHeight > 8192)
        return D3DERR_INVALIDCALL;
    // The driver readies the window to show the device's frames, or says it cannot.
    if (Video() && Video()->openDevice &&
        !Video()->openDevice(platform::detail::NativeWindowOf(params->hDeviceWindow),
                             static_cast<int>(params->BackBufferWidth),
                             static_cast<int>(params->BackBufferHeight)))
        return D3DERR_NOTAVAILABLE;
    *out = new IDirect3DDevice9(*params);
    return D3D_OK;
}

IDirect3DDevice9::IDirect3DDevice9(const D3DPRESENT_PARAMETERS& params)
    : link_(std::make_shared<platform::detail::DeviceLink>(platform::detail::DeviceLink{this})),
      params_(params),
      backBuffer_(link_, params.BackBufferWidth, params.BackBufferHeight, params.BackBufferFormat),
      depth_(static_cast<std::size_t>(params.BackBufferWidth) * params.BackBufferHeight, 1.0f),
      world_(Identity()),
      view_(Identity()),
      projection_(Identity()) {
    backBuffer_.owned_by_device_ = true;
    renderStates_[D3DRS_ZENABLE] = params.EnableAutoDepthStencil ? D3DZB_TRUE : 0;
    renderStates_[D3DRS_LIGHTING] = 1;
    target_ = std::make_unique<platform::soft::BandedTarget>(
        backBuffer_.pixels_.data(), depth_.data(), static_cast<int>(params.BackBufferWidth),
        static_cast<int>(params.BackBufferHeight), DrawingWorkers(), ParallelMinWork(),
        DefersDrawing());
}

int IDirect3DDevice9::Workers() const { return target_->Workers(); }

void IDirect3DDevice9::FinishDrawing() const {
    if (target_ && target_->Pending()) target_->Flush();
}

// Images that outlive the device have nothing left to finish.
IDirect3DDevice9::~IDirect3DDevice9() {
    FinishDrawing();
    link_->device = nullptr;
}

ULONG IDirect3DDevice9::Release() {
    delete this;
    return 0;
}

HRESULT IDirect3DDevice9::Clear(DWORD count, const RECT* rects, DWORD flags, D3DCOLOR color,
                                float z, DWORD) {
    const int w = static_cast<int>(backBuffer_.Width());
    const int h = static_cast<int>(backBuffer_.Height());
    auto clearRect = [&](RECT r) {
        const platform::soft::PixelRect c{static_cast<int>(std::clamp<LONG>(r.left, 0, w)),
                                          static_cast<int>(std::clamp<LONG>(r.top, 0, h)),
                                          static_cast<int>(std::clamp<LONG>(r.right, 0, w)),
                                          static_cast<int>(std::clamp<LONG>(r.bottom, 0, h))};
        const bool target = flags & D3DCLEAR_TARGET, depth = flags & D3DCLEAR_ZBUFFER;
        if (c.left < c.right && c.top < c.bottom && (target || depth))
            target_->Clear(c, target, depth, color, z);
    };
    if (count == 0 || !rects) {
        clearRect(RECT{0, 0, w, h});
    } else {
        for (DWORD i = 0; i < count; ++i) clearRect(rects[i]);
    }
    return D3D_OK;
}

// A driver that cannot show a frame in the window now (a lost device) refuses the scene.
HRESULT IDirect3DDevice9::BeginScene() {
    if (inScene_) return D3DERR_INVALIDCALL;
    if (Video() && Video()->beginFrame &&
        !Video()->beginFrame(platform::detail::NativeWindowOf(params_.hDeviceWindow)))
        return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::EndScene() {
    if (!inScene_) return D3DERR_INVALIDCALL;
    inScene_ = false;
    if (!target_->Deferred()) target_->Flush();
    return D3D_OK;
}

// Deferred, the frame is drawn only when a window or a listener asks for its pixels.
HRESULT IDirect3DDevice9::Present(const RECT*, const RECT*, HWND override, const void*) {
    if (!target_->Deferred()) target_->Flush();
    const platform::PresentedImage image(&backBuffer_);
    platform::detail::ShowFrame(override ? override : params_.hDeviceWindow, image);
    ++presentCount_;
    platform::NotifyPresented(image);
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (state >= 256) return D3DERR_INVALIDCALL;
    renderStates_[state] = value;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) const {
    if (state >= 256 || !value) return D3DERR_INVALIDCALL;
    *value = renderStates_[state];
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    if (!matrix) return D3DERR_INVALIDCALL;
    switch (state) {
        case D3DTS_WORLD:
            world_ = *matrix;
            return D3D_OK;
        case D3DTS_VIEW:
            view_ = *matrix;
            return D3D_OK;
        case D3DTS_PROJECTION:
            projection_ = *matrix;
            return D3D_OK;
    }
    return D3DERR_INVALIDCALL;
}

HRESULT IDirect3DDevice9::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) const {
    if (!matrix) return D3DERR_INVALIDCALL;
    switch (state) {
        case D3DTS_WORLD:
            *matrix = world_;
            return D3D_OK;
        case D3DTS_VIEW:
            *matrix = view_;
            return D3D_OK;
        case D3DTS_PROJECTION:
            *matrix = projection_;
            return D3D_OK;
    }
    return D3DERR_INVALIDCALL;
}

HRESULT IDirect3DDevice9::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE,
                                        IDirect3DSurface9** out) {
    if (!out) return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (swapChain != 0 || index != 0) return D3DERR_INVALIDCALL;
    *out = &backBuffer_;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format,
                                                      D3DPOOL, IDirect3DSurface9** out, void*) {
    if (!out) return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (width == 0 || height == 0 || width > 16384 || height > 16384) return D3DERR_INVALIDCALL;
    if (format != D3DFMT_X8R8G8B8 && format != D3DFMT_A8R8G8B8) return D3DERR_INVALIDCALL;
    *out = new IDirect3DSurface9(link_, width, height, format);
    return D3D_OK;
}

HRESULT IDirect3DDevice9::CreateTexture(UINT width, UINT height, UINT levels, DWORD,
                                        D3DFORMAT format, D3DPOOL, IDirect3DTexture9** out, void*) {
    if (!out) return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (width == 0 || height == 0 || width > 16384 || height > 16384 || levels > 1)
        return D3DERR_INVALIDCALL;
    if (format != D3DFMT_X8R8G8B8 && format != D3DFMT_A8R8G8B8) return D3DERR_INVALIDCALL;
    const std::uint64_t bytes = std::uint64_t{width} * height * 4;
    if (bytes > GetAvailableTextureMem()) return D3DERR_OUTOFVIDEOMEMORY;
    *out = new IDirect3DTexture9(link_, width, height, format);
    link_->textureBytes += bytes;
    return D3D_OK;
}

UINT IDirect3DDevice9::GetAvailableTextureMem() const {
    return static_cast<UINT>(platform::kTextureMemoryBytes -
                             std::min(link_->textureBytes, platform::kTextureMemoryBytes));
}

HRESULT IDirect3DDevice9::SetMaterial(const D3DMATERIAL9* material) {
    if (!material) return D3DERR_INVALIDCALL;
    material_ = *material;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetMaterial(D3DMATERIAL9* material) const {
    if (!material) return D3DERR_INVALIDCALL;
    *material = material_;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetTexture(DWORD stage, IDirect3DTexture9* texture) {
    if (stage != 0 || (texture && !texture->MadeBy(this))) return D3DERR_INVALIDCALL;
    texture_ = texture;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::StretchRect(IDirect3DSurface9* src, const RECT* srcRect,
                                      IDirect3DSurface9* dst, const RECT* dstRect,
                                      D3DTEXTUREFILTERTYPE) {
    if (!src || !dst || !src->MadeBy(this) || !dst->MadeBy(this)) return D3DERR_INVALIDCALL;
    const LONG sw = static_cast<LONG>(src->Width()), sh = static_cast<LONG>(src->Height());
    const LONG dw = static_cast<LONG>(dst->Width()), dh = static_cast<LONG>(dst->Height());
    const RECT s = srcRect ? *srcRect : RECT{0, 0, sw, sh};
    const RECT d = dstRect ? *dstRect : RECT{0, 0, dw, dh};
    // A rectangle not inside its surface is refused and nothing is copied.
    if (!platform::detail::RectInside(s, sw, sh) || !platform::detail::RectInside(d, dw, dh))
        return D3DERR_INVALIDCALL;
    if (dst == &backBuffer_ && src != &backBuffer_) {
        // Into the back buffer: drawn with the frame's other calls, in order.
        target_->Stretch(src->pixels_.data(), static_cast<int>(sw),
                         {static_cast<int>(s.left), static_cast<int>(s.top),
                          static_cast<int>(s.right), static_cast<int>(s.bottom)},
                         {static_cast<int>(d.left), static_cast<int>(d.top),
                          static_cast<int>(d.right), static_cast<int>(d.bottom)});
        return D3D_OK;
    }
    // Out of the back buffer, or between other surfaces (which recorded
    // drawing may read): finish the recorded drawing, then copy at once.
    FinishDrawing();
    const LONG cw = s.right - s.left, ch = s.bottom - s.top;
    const LONG ow = d.right - d.left, oh = d.bottom - d.top;
    const std::uint32_t* sp = src->Pixels();
    std::uint32_t* dp = dst->Pixels();
    if (cw == ow && ch == oh) {
        // A copy within one surface may overlap: rows go in the order that
        // reads each source row before it is overwritten.
        const bool upward = src == dst && d.top > s.top;
        for (LONG i = 0; i < oh; ++i) {
            const LONG y = upward ? oh - 1 - i : i;
            std::memmove(dp + (d.top + y) * dw + d.left, sp + (s.top + y) * sw + s.left,
                         static_cast<std::size_t>(ow) * 4);
        }
        return D3D_OK;
    }
    // Scaling within one surface: work from a copy of the source.
    std::vector<std::uint32_t> copy;
    if (src == dst) {
        copy.assign(sp, sp + static_cast<std::size_t>(sw) * sh);
        sp = copy.data();
    }
    // Point filtering: each target pixel takes the source texel under its centre.
    for (LONG y = 0; y < oh; ++y) {
        const LONG sy = s.top + static_cast<LONG>(PointSample(y, ch, oh));
        for (LONG x = 0; x < ow; ++x) {
            const LONG sx = s.left + static_cast<LONG>(PointSample(x, cw, ow));
            dp[(d.top + y) * dw + d.left + x] = sp[sy * sw + sx];
        }
    }
    return D3D_OK;
}
