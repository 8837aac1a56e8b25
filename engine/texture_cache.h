/// @file
/// Loads each image file once and shares its texture among every sprite that
/// shows it. Opaque magenta in the file becomes transparent.
#pragma once

#include <set>
#include <string>

#include "platform/core/image.h"

/// One loaded image: file name, image size and the texture made from it.
struct TextureRecord {
    /// Points at the record's own copy of the name, so a caller's buffer may
    /// go away after Load without leaving the record pointing at it.
    const char* fileName = nullptr;
    D3DXIMAGE_INFO info{};
    IDirect3DTexture9* texture = nullptr;
    TextureRecord* next = nullptr;
    std::string nameCopy;
};

class TextureCache {
  public:
    TextureCache() {}
    ~TextureCache() {}
    TextureCache(const TextureCache&) = delete;
    TextureCache& operator=(const TextureCache&) = delete;

    int Init(IDirect3DDevice9* d);
    void Load(const char* fileName);
    TextureRecord* Find(const char* fileName);

    TextureRecord* head = nullptr;
    TextureRecord* tail = nullptr;
    TextureRecord* cursor = nullptr;
    IDirect3DDevice9* device = nullptr;
    std::set<std::string> failed;  ///< names whose load failed
};
