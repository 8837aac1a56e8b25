// The X mesh loader from memory: any bytes either load into a consistent
// mesh or fail with the output left empty.
//
// Assimp's X reader sizes its arrays from counts in the file before it
// checks that the file holds that many values; the loader refuses a file
// whose counts do not fit in it, so an input that still asks for more than
// kBudget bytes in all is a finding. Deep nesting (frames in frames) is one
// stack frame of Assimp's a level: the seeds nest past the loader's limit,
// and scripts/fuzz.sh lets this harness's inputs grow to 512 KB. A mesh that fails half read is
// never freed by Assimp: whatever an input leaves allocated is freed after it.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <unordered_set>

#include "platform/assimp/assimp_driver.h"
#include "platform/core/x_mesh_data.h"

namespace {

constexpr std::size_t kBudget = 64u << 20;

template <typename T>
struct MallocAllocator {
    using value_type = T;
    MallocAllocator() = default;
    template <typename U>
    MallocAllocator(const MallocAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(std::malloc(n * sizeof(T))); }
    void deallocate(T* p, std::size_t) { std::free(p); }
    bool operator==(const MallocAllocator&) const { return true; }
};

// While an input runs: what it allocated and has not freed, and its total.
bool tracking = false;
std::size_t spent = 0;
std::unordered_set<void*, std::hash<void*>, std::equal_to<void*>, MallocAllocator<void*>> live;

void* Allocate(std::size_t size) {
    if (!tracking) return std::malloc(size ? size : 1);
    if (size > kBudget - spent) __builtin_trap();
    spent += size;
    void* p = std::malloc(size ? size : 1);
    if (p) live.insert(p);
    return p;
}

void Free(void* p) {
    if (tracking && p) live.erase(p);
    std::free(p);
}

void Load(const std::uint8_t* data, std::size_t size) {
    XMeshData mesh;
    const HRESULT hr = platform::assimp::LoadXMeshMemory(data, size, &mesh);
    if (FAILED(hr)) {
        if (!mesh.vertices.empty() || !mesh.indices.empty() || !mesh.materials.empty())
            __builtin_trap();
        return;
    }
    if (mesh.indices.size() != mesh.faceMaterial.size() * 3) __builtin_trap();
    for (std::uint32_t i : mesh.indices)
        if (i >= mesh.vertices.size()) __builtin_trap();
    // A file without materials has its faces in subset 0.
    for (std::uint32_t m : mesh.faceMaterial)
        if (m >= std::max<std::size_t>(mesh.materials.size(), 1)) __builtin_trap();
}

}  // namespace

void* operator new(std::size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, std::size_t) noexcept { Free(p); }
void operator delete[](void* p, std::size_t) noexcept { Free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Free(p); }

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Whatever Assimp sets up once for good is made here, untracked.
    static const char kText[] =
        "xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }";
    Load(reinterpret_cast<const std::uint8_t*>(kText), sizeof kText - 1);
    Load(reinterpret_cast<const std::uint8_t*>(kText), 20);
    live.reserve(1 << 16);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    spent = 0;
    tracking = true;
    Load(data, size);
    tracking = false;
    for (void* p : live) std::free(p);
    live.clear();
    return 0;
}
