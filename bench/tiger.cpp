// The tiger level's drawing (the engine's device with the default worker
// count; BM_TwoTigersWorkers names its own): a whole frame through the
// engine (ground copy, two tigers of the content's mesh, the text line), and
// the two meshes alone beside the same meshes, matrices and states drawn
// through OpenGL's fixed-function pipeline on whatever Mesa driver the
// machine has (a surfaceless EGL context; skipped when none can be made).
// VELMOR_TIGER_SHOTS=DIR writes both pictures there as soft.png and gl.png.
// Also: a mesh of 5,000 one-triangle subsets (BM_FiveThousandOneTriangleSubsets).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/platform_setup.h"
#include "engine/engine.h"
#include "engine/renderer.h"
#include "entities/base_model.h"
#include "entities/tile_map.h"
#include "game/tiger_level.h"
#include "platform/core/clock.h"
#include "platform/core/d3dx9mesh.h"
#include "platform/core/platform.h"
#include "platform/core/png.h"
#include "platform/core/window.h"
#include "platform/testing/scoped_env.h"

#ifdef VELMOR_BENCH_GL
#define GL_GLEXT_PROTOTYPES 1
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>
#endif

namespace {

constexpr float kQuarterTurn = 1.5707964f;

// A headless engine in the content folder, made once for every benchmark,
// drawing every frame as a window does.
Engine* TheEngine() {
    static Engine* made = [] {
        std::string error;
        if (!StartPlatform(true, platform::kDefaultClockStart, &error, true))
            std::fprintf(stderr, "%s\n", error.c_str());
        std::filesystem::current_path(VELMOR_CONTENT_DIR);
        engine = new Engine();
        engine->Init(GetModuleHandleA(nullptr), SW_SHOWDEFAULT);
        return engine;
    }();
    return made;
}

// One tiger as the model draws it: mesh, materials (ambient = diffuse) and
// textures, and its world matrix.
struct Tiger {
    ID3DXMesh* mesh = nullptr;
    std::vector<D3DMATERIAL9> materials;
    std::vector<IDirect3DTexture9*> textures;
    D3DXMATRIX world;
};

// The level's two tigers after the first was steered left for ten frames.
std::vector<Tiger> LoadTigers(IDirect3DDevice9* device) {
    std::vector<Tiger> tigers(2);
    const float pose[2][2] = {{-2.0000002f, -0.4292037f}, {0.0f, kQuarterTurn}};  // z, yaw
    for (int k = 0; k < 2; ++k) {
        Tiger& t = tigers[k];
        ID3DXBuffer* buffer = nullptr;
        DWORD count = 0;
        if (FAILED(D3DXLoadMeshFromXA("tiger.x", D3DXMESH_SYSTEMMEM, device, nullptr, &buffer,
                                      nullptr, &count, &t.mesh)))
            return {};
        const auto* m = static_cast<const D3DXMATERIAL*>(buffer->GetBufferPointer());
        for (DWORD i = 0; i < count; ++i) {
            D3DMATERIAL9 mat = m[i].MatD3D;
            mat.Ambient = mat.Diffuse;
            t.materials.push_back(mat);
            IDirect3DTexture9* tex = nullptr;
            if (m[i].pTextureFilename)
                D3DXCreateTextureFromFileA(device, m[i].pTextureFilename, &tex);
            t.textures.push_back(tex);
        }
        buffer->Release();
        D3DXMATRIX r, tr;
        D3DXMatrixRotationYawPitchRoll(&r, pose[k][1], 0, 0);
        D3DXMatrixTranslation(&tr, 0, 0, pose[k][0]);
        D3DXMatrixMultiply(&t.world, &r, &tr);
    }
    return tigers;
}

void BM_TigerLevelFrame(benchmark::State& state) {
    Engine* e = TheEngine();
    static TigerLevel* level = [] {
        auto* l = new TigerLevel();
        l->Init();
        l->tiger->SetZ(-2.0000002f);
        l->tiger->SetRotationX(-0.4292037f);
        return l;
    }();
    for (auto _ : state) {
        level->Update();
        e->Frame();
        // Stay on the map: the view returns to the top every 1000 frames.
        if (level->ground->GetPosition()->y > 5000) level->ground->SetPosition(0, 0);
    }
}
BENCHMARK(BM_TigerLevelFrame)->Unit(benchmark::kMillisecond);

void BM_TwoTigersSoftware(benchmark::State& state) {
    Renderer* renderer = TheEngine()->renderer;
    IDirect3DDevice9* device = renderer->device;
    const std::vector<Tiger> tigers = LoadTigers(device);
    if (tigers.empty()) {
        state.SkipWithError("tiger.x did not load");
        return;
    }
    for (auto _ : state) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        renderer->SetupCamera();
        for (const Tiger& t : tigers) {
            device->SetTransform(D3DTS_WORLD, &t.world);
            for (std::size_t i = 0; i < t.materials.size(); ++i) {
                device->SetMaterial(&t.materials[i]);
                device->SetTexture(0, t.textures[i]);
                t.mesh->DrawSubset(static_cast<DWORD>(i));
            }
        }
        benchmark::DoNotOptimize(renderer->backBuffer->Pixels()[384 * 1024 + 512]);
    }
    if (const char* dir = std::getenv("VELMOR_TIGER_SHOTS")) {
        std::string error;
        platform::SavePng(std::string(dir) + "/soft.png", renderer->backBuffer->Pixels(), 1024, 768,
                          false, &error);
    }
}
BENCHMARK(BM_TwoTigersSoftware)->Unit(benchmark::kMillisecond);

// The same two tigers on a device of its own with `workers` workers (the
// engine's camera), so one run shows 1 and 2 workers beside each other.
void BM_TwoTigersWorkers(benchmark::State& state) {
    Renderer* renderer = TheEngine()->renderer;
    renderer->SetupCamera();
    D3DXMATRIX view, projection;
    renderer->device->GetTransform(D3DTS_VIEW, &view);
    renderer->device->GetTransform(D3DTS_PROJECTION, &projection);
    D3DPRESENT_PARAMETERS pp;
    pp.BackBufferWidth = 1024;
    pp.BackBufferHeight = 768;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.EnableAutoDepthStencil = 1;
    IDirect3DDevice9* device = nullptr;
    {
        const platform::ScopedEnv threads("VELMOR_THREADS", std::to_string(state.range(0)));
        device = new IDirect3DDevice9(pp);
    }
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    DWORD ambient = 0;
    renderer->device->GetRenderState(D3DRS_AMBIENT, &ambient);
    device->SetRenderState(D3DRS_AMBIENT, ambient);
    const std::vector<Tiger> tigers = LoadTigers(device);
    if (tigers.empty()) {
        state.SkipWithError("tiger.x did not load");
        return;
    }
    for (auto _ : state) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        for (const Tiger& t : tigers) {
            device->SetTransform(D3DTS_WORLD, &t.world);
            for (std::size_t i = 0; i < t.materials.size(); ++i) {
                device->SetMaterial(&t.materials[i]);
                device->SetTexture(0, t.textures[i]);
                t.mesh->DrawSubset(static_cast<DWORD>(i));
            }
        }
        benchmark::DoNotOptimize(device->BackBufferSurface()->Pixels()[384 * 1024 + 512]);
    }
    state.SetLabel(std::to_string(device->Workers()) + " workers");
}
BENCHMARK(BM_TwoTigersWorkers)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A mesh of many materials drawn the way the model draws one: material,
// texture and DrawSubset for each of 5,000 subsets of one triangle each (a
// small triangle on the ground in a 100 x 50 grid in front of the camera). A
// draw transforms only the vertices its subset uses; the target is well
// under 10 ms a frame.
void BM_FiveThousandOneTriangleSubsets(benchmark::State& state) {
    constexpr int kColumns = 100, kRows = 50, kSubsets = kColumns * kRows;
    Renderer* renderer = TheEngine()->renderer;
    IDirect3DDevice9* device = renderer->device;
    std::vector<MeshVertex> vertices;
    std::vector<std::uint32_t> indices;
    std::vector<DWORD> subsets;
    for (int i = 0; i < kSubsets; ++i) {
        const float x = -3.0f + 6.0f * (i % kColumns) / kColumns;
        const float z = -1.5f + 3.0f * (i / kColumns) / kRows;
        const auto first = static_cast<std::uint32_t>(vertices.size());
        vertices.push_back({x, 0, z, 0, 0});
        vertices.push_back({x, 0, z + 0.05f, 0, 1});
        vertices.push_back({x + 0.05f, 0, z, 1, 0});
        indices.insert(indices.end(), {first, first + 1, first + 2});
        subsets.push_back(static_cast<DWORD>(i));
    }
    ID3DXMesh mesh(device, vertices, indices, subsets);
    std::vector<D3DMATERIAL9> materials(kSubsets);
    for (int i = 0; i < kSubsets; ++i) {
        const float shade = static_cast<float>(i % 251) / 250.0f;
        materials[i] = {{shade, 1, 1, 1}, {shade, 1, 1, 1}, {}, {0.25f, shade, 0.5f, 1}, 0};
    }
    for (auto _ : state) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        renderer->SetupCamera();
        for (int i = 0; i < kSubsets; ++i) {
            device->SetMaterial(&materials[i]);
            device->SetTexture(0, nullptr);
            mesh.DrawSubset(static_cast<DWORD>(i));
        }
        benchmark::DoNotOptimize(renderer->backBuffer->Pixels()[384 * 1024 + 512]);
    }
    // The triangles are seen: a good share of the screen is drawn.
    int drawn = 0;
    for (int p = 0; p < 1024 * 768; ++p) drawn += renderer->backBuffer->Pixels()[p] != 0xFF000000u;
    if (drawn < 1024 * 768 / 20) state.SkipWithError("the triangles were not drawn");
    state.counters["pixels"] = drawn;
}
BENCHMARK(BM_FiveThousandOneTriangleSubsets)->Unit(benchmark::kMillisecond);

#ifdef VELMOR_BENCH_GL

// A surfaceless EGL context with a 1024 x 768 colour and depth framebuffer.
bool MakeGlContext(std::string* why) {
    auto getDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getDisplay) return *why = "no eglGetPlatformDisplayEXT", false;
    EGLDisplay dpy = getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (dpy == EGL_NO_DISPLAY || !eglInitialize(dpy, nullptr, nullptr))
        return *why = "no surfaceless EGL display", false;
    if (!eglBindAPI(EGL_OPENGL_API)) return *why = "EGL has no desktop OpenGL", false;
    const EGLint attrs[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint n = 0;
    eglChooseConfig(dpy, attrs, &config, 1, &n);
    EGLContext ctx =
        eglCreateContext(dpy, n > 0 ? config : EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, nullptr);
    if (ctx == EGL_NO_CONTEXT) return *why = "no OpenGL context", false;
    if (!eglMakeCurrent(dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, ctx))
        return *why = "cannot make the context current", false;
    GLuint fbo = 0, rb[2] = {0, 0};
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glGenRenderbuffers(2, rb);
    glBindRenderbuffer(GL_RENDERBUFFER, rb[0]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, 1024, 768);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, rb[0]);
    glBindRenderbuffer(GL_RENDERBUFFER, rb[1]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, 1024, 768);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, rb[1]);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        return *why = "framebuffer incomplete", false;
    std::fprintf(stderr, "OpenGL peer: %s, %s\n", glGetString(GL_RENDERER),
                 glGetString(GL_VERSION));
    return true;
}

// The same meshes through fixed-function OpenGL: the device's defaults as
// GL states (lighting with white model ambient and no lights, modulate,
// nearest, repeat, depth LEQUAL, clockwise front faces), the same matrices
// with the projection's depth range [0, 1] mapped to GL's [-1, 1].
void BM_TwoTigersOpenGL(benchmark::State& state) {
    static std::string why;
    static const bool ok = MakeGlContext(&why);
    if (!ok) {
        state.SkipWithError(("skipped, no OpenGL context: " + why).c_str());
        return;
    }
    Renderer* renderer = TheEngine()->renderer;
    IDirect3DDevice9* device = renderer->device;
    const std::vector<Tiger> tigers = LoadTigers(device);
    if (tigers.empty()) {
        state.SkipWithError("tiger.x did not load");
        return;
    }
    renderer->SetupCamera();
    D3DXMATRIX view, projection, depthFix, proj;
    device->GetTransform(D3DTS_VIEW, &view);
    device->GetTransform(D3DTS_PROJECTION, &projection);
    D3DXMatrixIdentity(&depthFix);
    depthFix.m[2][2] = 2.0f;
    depthFix.m[3][2] = -1.0f;
    D3DXMatrixMultiply(&proj, &projection, &depthFix);

    struct GlMesh {
        GLuint vbo = 0, ibo = 0;
        std::vector<GLuint> textures;
        std::vector<std::pair<GLsizei, std::size_t>> subsets;  // count, first index
    };
    std::vector<GlMesh> meshes;
    for (const Tiger& t : tigers) {
        GlMesh g;
        glGenBuffers(1, &g.vbo);
        glBindBuffer(GL_ARRAY_BUFFER, g.vbo);
        glBufferData(GL_ARRAY_BUFFER, t.mesh->Vertices().size() * sizeof(MeshVertex),
                     t.mesh->Vertices().data(), GL_STATIC_DRAW);
        glGenBuffers(1, &g.ibo);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, g.ibo);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, t.mesh->Indices().size() * 4,
                     t.mesh->Indices().data(), GL_STATIC_DRAW);
        const auto& attr = t.mesh->Attributes();
        for (std::size_t i = 0; i < t.materials.size(); ++i) {
            std::size_t first = 0, count = 0;
            for (std::size_t f = 0; f < attr.size(); ++f)
                if (attr[f] == i) {
                    if (count == 0) first = f;
                    ++count;
                }
            g.subsets.push_back({static_cast<GLsizei>(3 * count), 3 * first});
            GLuint tex = 0;
            if (IDirect3DTexture9* src = t.textures[i]) {
                glGenTextures(1, &tex);
                glBindTexture(GL_TEXTURE_2D, tex);
                glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, src->Width(), src->Height(), 0, GL_BGRA,
                             GL_UNSIGNED_BYTE, src->Texels());
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
            }
            g.textures.push_back(tex);
        }
        meshes.push_back(g);
    }
    glViewport(0, 0, 1024, 768);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    glCullFace(GL_BACK);
    glEnable(GL_LIGHTING);
    const GLfloat white[4] = {1, 1, 1, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, white);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(&proj.m[0][0]);  // row vectors, row-major = GL's column-major
    glClearColor(0, 0, 0, 1);
    glClearDepth(1.0);
    std::vector<std::uint32_t> probe(1);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (std::size_t k = 0; k < tigers.size(); ++k) {
            D3DXMATRIX wv;
            D3DXMatrixMultiply(&wv, &tigers[k].world, &view);
            glMatrixMode(GL_MODELVIEW);
            glLoadMatrixf(&wv.m[0][0]);
            glBindBuffer(GL_ARRAY_BUFFER, meshes[k].vbo);
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, meshes[k].ibo);
            glVertexPointer(3, GL_FLOAT, sizeof(MeshVertex), nullptr);
            glTexCoordPointer(2, GL_FLOAT, sizeof(MeshVertex),
                              reinterpret_cast<const void*>(3 * sizeof(float)));
            for (std::size_t i = 0; i < tigers[k].materials.size(); ++i) {
                const D3DMATERIAL9& m = tigers[k].materials[i];
                glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, &m.Diffuse.r);
                glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, &m.Ambient.r);
                glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, &m.Emissive.r);
                if (meshes[k].textures[i]) {
                    glEnable(GL_TEXTURE_2D);
                    glBindTexture(GL_TEXTURE_2D, meshes[k].textures[i]);
                } else {
                    glDisable(GL_TEXTURE_2D);
                }
                const auto [count, first] = meshes[k].subsets[i];
                if (count > 0)
                    glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT,
                                   reinterpret_cast<const void*>(first * 4));
            }
        }
        // Wait for the driver to finish the frame, as the software device has.
        glReadPixels(512, 384, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, probe.data());
        benchmark::DoNotOptimize(probe[0]);
    }
    // For comparing by eye: VELMOR_TIGER_SHOTS=DIR writes DIR/gl.png.
    if (const char* dir = std::getenv("VELMOR_TIGER_SHOTS")) {
        std::vector<std::uint32_t> px(1024 * 768), flipped(1024 * 768);
        glReadPixels(0, 0, 1024, 768, GL_BGRA, GL_UNSIGNED_BYTE, px.data());
        for (int y = 0; y < 768; ++y) std::copy_n(&px[(767 - y) * 1024], 1024, &flipped[y * 1024]);
        std::string error;
        platform::SavePng(std::string(dir) + "/gl.png", flipped.data(), 1024, 768, false, &error);
    }
}
BENCHMARK(BM_TwoTigersOpenGL)->Unit(benchmark::kMillisecond);

#endif

}  // namespace
BENCHMARK_MAIN();
