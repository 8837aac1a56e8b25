#include "engine/renderer.h"

#include "base/vector3.h"
#include "platform/core/debug.h"

HRESULT Renderer::Init(HWND window, unsigned width, unsigned height, bool fullscreen) {
    direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!direct3d) {
        MessageBoxA(window, "Error initializing Direct3D", "Error", MB_OK);
        return E_FAIL;
    }
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = width;
    pp.BackBufferHeight = height;
    pp.BackBufferFormat = D3DFMT_UNKNOWN;
    pp.BackBufferCount = 1;
    pp.MultiSampleType = D3DMULTISAMPLE_NONE;
    pp.MultiSampleQuality = 0;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = window;
    pp.Windowed = fullscreen ? 0 : 1;
    pp.EnableAutoDepthStencil = 1;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    pp.Flags = 0;
    pp.FullScreen_RefreshRateInHz = 0;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
    if (FAILED(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                      D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device))) {
        MessageBoxA(window, "Error creating Direct3D device", "Error", MB_OK);
        return E_FAIL;
    }
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFF);
    if (FAILED(D3DXCreateSprite(device, &sprite))) return E_FAIL;
    device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
    return S_OK;
}

void Renderer::BeginFrame() {
    if (!device) return;
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    if (SUCCEEDED(device->BeginScene())) {
        inScene = true;
        SetupCamera();
    } else {
        inScene = false;
    }
}

void Renderer::EndFrame() {
    if (!inScene || !device) return;
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

void Renderer::SetupCamera() {
    D3DXMATRIX rotation, translation, world, view, projection;
    D3DXMatrixRotationYawPitchRoll(&rotation, 0.0f, 0.0f, 0.0f);
    D3DXMatrixTranslation(&translation, 0.0f, 0.0f, 0.0f);
    D3DXMatrixMultiply(&world, &rotation, &translation);
    device->SetTransform(D3DTS_WORLD, &world);
    const D3DXVECTOR3 eye(1.0f, 10.0f, 0.0f), at(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    device->SetTransform(D3DTS_VIEW, &view);
    D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 1.0f, 1.0f, 100.0f);
    device->SetTransform(D3DTS_PROJECTION, &projection);
}

HRESULT Renderer::SetWorldTransform(const Vector3* position, const Vector3* rotation) {
    if (!device) return E_FAIL;
    D3DXMATRIX t, r, world;
    D3DXMatrixTranslation(&t, position->x, position->y, position->z);
    D3DXMatrixRotationYawPitchRoll(&r, rotation->x, rotation->y, rotation->z);
    D3DXMatrixMultiply(&world, &r, &t);
    return device->SetTransform(D3DTS_WORLD, &world);
}

// Releases the device first, then Direct3D. The fields are cleared as well, so
// a frame after a release draws nothing instead of using freed objects.
void Renderer::Release() {
    if (sprite) sprite->Release();
    if (device) device->Release();
    if (direct3d) direct3d->Release();
    sprite = nullptr;
    backBuffer = nullptr;
    device = nullptr;
    direct3d = nullptr;
    inScene = false;
}
