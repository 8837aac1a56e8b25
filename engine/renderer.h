/// @file
/// Owns the graphics device, the shared sprite batch and the back-buffer
/// surface; frames every frame (clear, scene, fixed camera, present).
#pragma once

#include "platform/core/d3dx9.h"

struct Vector3;

class Renderer {
  public:
    Renderer() {}
    ~Renderer() {}

    HRESULT Init(HWND window, unsigned width, unsigned height, bool fullscreen);
    void BeginFrame();
    void EndFrame();
    void SetupCamera();
    HRESULT SetWorldTransform(const Vector3* position, const Vector3* rotation);
    void Release();

    bool inScene = false;
    IDirect3D9* direct3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    ID3DXSprite* sprite = nullptr;
    IDirect3DSurface9* backBuffer = nullptr;
};
