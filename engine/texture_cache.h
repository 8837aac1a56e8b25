// Loads each image once and shares its texture. (Loading arrives with the
// graphics work.)
#pragma once

class IDirect3DDevice9;

class TextureCache {
public:
    int Init(IDirect3DDevice9* d) {
        device = d;
        return 1;
    }
    IDirect3DDevice9* device = nullptr;
};
