// The rasteriser's one way in: a colour and depth target that draws clears,
// sprites, stretched copies and triangles, in bands. With one worker every
// call draws at once. With more, a run of calls following a small one is
// drawn at once too, until it grows past the parallel minimum (see DrawNow);
// other calls are recorded and drawn when the result is needed (Flush): the
// target is cut into horizontal bands of about kBandRows rows, one task per
// band, taken by the workers as they come free. Each call is copied when
// recorded into the list of every band its rows touch, and each task draws
// its band's calls in submission order clipped to its rows. Every pixel sees
// the same writes in the same order as with one worker, so the picture is
// byte-identical for any worker count. Bands much smaller than the target
// keep a task's pixels in the worker's own cache.
//
// Triangles are set up once when recorded (transform, clip, cull) and binned
// to the bands their pixel box touches. Recorded calls keep pointers to
// texels, images and vertices: whoever changes, reads or frees one while
// calls are pending (Pending) flushes first.
//
// A deferred target (made so for headless runs) keeps every call as it was
// made, with any worker count, and draws none of them until Flush, which may
// come frames later: a frame nobody looks at is never drawn. The calls kept
// are handed to the bands at Flush in the order they were made, so the
// picture is the same bytes. A clear of the whole target that overwrites
// everything the kept calls wrote (colour and depth, or colour when none of
// them wrote depth) drops them; past kMaxDeferredCalls they are drawn, so a
// frame sequence that never clears keeps a bounded list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/soft/blend.h"
#include "platform/soft/raster3d.h"

namespace platform::soft {

class WorkerPool;

struct PixelRect {
    int left, top, right, bottom;
};

class BandedTarget {
  public:
    // The pixels and depth outlive the target. `workers` below 1 counts as 1.
    // Runs of calls touching fewer than `parallelMinWork` pixels are drawn by
    // the caller alone (0: every call goes to the workers).
    BandedTarget(std::uint32_t* pixels, float* depth, int width, int height, int workers,
                 std::int64_t parallelMinWork, bool deferred = false);
    ~BandedTarget();
    BandedTarget(const BandedTarget&) = delete;
    BandedTarget& operator=(const BandedTarget&) = delete;

    int Workers() const { return workers_; }
    bool Deferred() const { return deferred_; }
    // Calls were made since the last Flush (some may be recorded, not drawn).
    bool Pending() const { return pending_ || !kept_.empty(); }

    // Every rectangle is inside the target and not empty.
    void Clear(const PixelRect& r, bool target, bool depth, std::uint32_t color, float z);
    // Texels of the rectangle's top-left pixel at `src`, rows `srcStride` apart.
    void Sprite(PixelRect r, const std::uint32_t* src, std::ptrdiff_t srcStride, bool blend);
    // Copies (same size) or point-samples `s` of an image `srcWidth` wide,
    // other than the target, into `d`.
    void Stretch(const std::uint32_t* src, int srcWidth, const PixelRect& s, const PixelRect& d);
    // Deferred, the vertices and indices are read at Flush.
    void Triangles(const RasterState& state, const RasterVertex* vertices, std::size_t vertexCount,
                   const std::uint32_t* indices, std::size_t triangleCount);

    // Draws everything recorded; afterwards the target holds the result.
    void Flush();

    // Deferred calls kept before they are drawn (at most about 10 MB of them).
    static constexpr std::size_t kMaxDeferredCalls = std::size_t{1} << 16;

  private:
    enum class Kind : std::uint8_t { Clear, Sprite, Stretch, Mesh };
    // One call as each band keeps it: 32 bytes, so a band's list streams.
    struct Op {
        Kind kind;
        bool blend;       // sprite: blended, not copied
        bool clearColor;  // clear: the colour target
        bool clearDepth;  // clear: the depth buffer
        PixelRect r;      // the target rectangle
        union {
            std::uint32_t stride;  // sprite: texels between source rows
            std::uint32_t color;   // clear
            std::uint32_t index;   // stretch, mesh: into stretches_, meshes_
        };
        union {
            const std::uint32_t* src;  // sprite
            float z;                   // clear
        };
    };
    struct StretchOp {
        const std::uint32_t* src;
        int srcWidth;
        PixelRect s;
    };
    struct MeshOp {
        RasterState state;
        std::size_t first;  // its bin ranges: binRanges_[first + 2 * band], [.. + 1]
    };
    // A mesh call as made, kept by a deferred target.
    struct KeptMesh {
        RasterState state;
        const RasterVertex* vertices;
        std::size_t vertexCount;
        const std::uint32_t* indices;
        std::size_t triangleCount;
    };

    // Counts a call touching `area` pixels; true when it is to be drawn at
    // once. A run of calls (up to a Flush) starts drawn at once when the
    // last run was small, and turns to recording once the calls before have
    // grown past the parallel minimum: calls drawn earlier come first
    // anyway, so the bytes do not change, and small frames skip the
    // recording.
    bool DrawNow(std::int64_t area);
    void Record(const Op& op, std::int64_t area);
    // Band b holds rows [b * h / n, (b + 1) * h / n), rounded down.
    int BandOf(int y) const { return bandOfRow_[y]; }
    void Run(const Op& op, int yBegin, int yEnd, RowKernel blend);
    void DrawBand(int band);
    static void BandTask(void* target, int task);
    // Deferred: keeps a call (its stretch or mesh already in kept*_).
    void Keep(const Op& op);
    // Hands the kept calls to the bands, in order.
    void DrawKept();
    void DropKept();

    RasterTarget target_;
    int workers_;
    std::int64_t parallelMinWork_;
    int bands_;
    std::unique_ptr<WorkerPool> pool_;
    std::vector<StretchOp> stretches_;
    std::vector<MeshOp> meshes_;
    std::vector<TriangleSetup> triangles_;
    // Per band: a copy of each call touching it, so a band reads its calls
    // in one sequential stream rather than hopping through a shared list.
    std::vector<std::vector<Op>> opBins_;
    std::vector<std::vector<std::uint32_t>> bins_;  // per band: indices into triangles_
    // Task i draws band order_[i]: tasks taken one after another go to bands
    // far apart (see the constructor).
    std::vector<int> order_;
    // Looked up: two divisions per recorded call cost about 1 ms a frame at
    // 100,000 sprites.
    std::vector<int> bandOfRow_;
    std::vector<std::uint32_t> binRanges_;
    std::int64_t work_ = 0;  // pixels this run's calls may touch
    bool direct_ = true;     // this run's calls are drawn at once so far
    bool pending_ = false;
    std::size_t recorded_ = 0;
    std::int64_t recordedWork_ = 0;
    RowKernel blend_ = nullptr;
    // Deferred: the calls kept since the last Flush, in order, and whether
    // any of them writes depth.
    bool deferred_;
    std::vector<Op> kept_;
    std::vector<StretchOp> keptStretches_;
    std::vector<KeptMesh> keptMeshes_;
    bool keptDepth_ = false;
};

}  // namespace platform::soft
