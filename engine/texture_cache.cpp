#include "engine/texture_cache.h"

#include <cstring>
#include <memory>

namespace {
constexpr D3DCOLOR kColorKey = 0xFFFF00FF;  // opaque magenta
}

int TextureCache::Init(IDirect3DDevice9* d) {
    device = d;
    return 1;
}

void TextureCache::Load(const char* fileName) {
    if (!fileName || Find(fileName) || failed.count(fileName)) return;
    auto record = std::make_unique<TextureRecord>();
    // A file that failed once is not read again for the rest of the run (fifty
    // flowers must not retry a broken flower.bmp fifty times).
    if (D3DXGetImageInfoFromFileA(fileName, &record->info) != D3D_OK ||
        D3DXCreateTextureFromFileExA(device, fileName, record->info.Width, record->info.Height, 1,
                                     0, D3DFMT_UNKNOWN, D3DPOOL_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT,
                                     kColorKey, &record->info, nullptr,
                                     &record->texture) != D3D_OK) {
        failed.insert(fileName);
        return;
    }
    record->nameCopy = fileName;
    record->fileName = record->nameCopy.c_str();
    // Linked only once its texture exists, at the end: records keep load order.
    TextureRecord* r = record.release();
    if (!head && !tail) {
        head = r;
        tail = r;
    } else {
        tail->next = r;
        tail = r;
    }
}

// Names are compared by their characters: the same name given from two
// buffers finds the one record.
TextureRecord* TextureCache::Find(const char* fileName) {
    cursor = head;
    while (cursor && cursor->texture) {
        if (fileName && std::strcmp(cursor->fileName, fileName) == 0) return cursor;
        cursor = cursor->next;
    }
    return nullptr;
}
