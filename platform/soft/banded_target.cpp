#include "platform/soft/banded_target.h"

#include <algorithm>
#include <cstring>

#include "base/point_sample.h"
#include "platform/soft/worker_pool.h"

namespace platform::soft {

namespace {

// Rows per band when drawing with several workers: a band of a 1024-wide
// target is then 256 KB of colour, which stays in a core's own cache. Half
// that cut more 32-row sprites in two, and recorded and drew them twice:
// 100,000 sprites took about a tenth longer.
constexpr int kBandRows = 64;

void FillRows(std::uint32_t* pixels, int stride, const PixelRect& r, int y0, int y1,
              std::uint32_t color) {
    for (int y = y0; y < y1; ++y)
        std::fill_n(pixels + static_cast<std::ptrdiff_t>(y) * stride + r.left, r.right - r.left,
                    color);
}

// Rows y0 <= y < y1 of the target rectangle `d`, from `s` of another image.
void StretchRows(const std::uint32_t* sp, int sw, const PixelRect& s, std::uint32_t* dp, int dw,
                 const PixelRect& d, int y0, int y1) {
    const long long cw = s.right - s.left, ch = s.bottom - s.top;
    const long long ow = d.right - d.left, oh = d.bottom - d.top;
    for (int ty = y0; ty < y1; ++ty) {
        const long long y = ty - d.top;
        std::uint32_t* out = dp + static_cast<std::ptrdiff_t>(ty) * dw + d.left;
        if (cw == ow && ch == oh) {
            std::memcpy(out, sp + (s.top + y) * sw + s.left, static_cast<std::size_t>(ow) * 4);
            continue;
        }
        // Point filtering: each target pixel takes the source texel under its centre.
        const std::uint32_t* in = sp + (s.top + PointSample(y, ch, oh)) * sw;
        for (long long x = 0; x < ow; ++x) out[x] = in[s.left + PointSample(x, cw, ow)];
    }
}

}  // namespace

BandedTarget::BandedTarget(std::uint32_t* pixels, float* depth, int width, int height, int workers,
                           std::int64_t parallelMinWork, bool deferred)
    : workers_(std::clamp(workers, 1, std::max(1, height))),
      parallelMinWork_(parallelMinWork),
      bands_(1),
      // VELMOR_SIMD is read (a bad value told) now, as the other settings
      // are, even if nothing is ever drawn.
      blend_(BlendRow()),
      deferred_(deferred) {
    target_.pixels = pixels;
    target_.depth = depth;
    target_.width = width;
    target_.height = height;
    if (workers_ > 1) {
        bands_ = std::clamp((height + kBandRows - 1) / kBandRows, workers_, height);
        pool_ = std::make_unique<WorkerPool>(workers_);
        opBins_.resize(bands_);
        bins_.resize(bands_);
        // Row y is in the last band starting at or above it.
        for (int y = 0; y < height; ++y)
            bandOfRow_.push_back(static_cast<int>((std::int64_t{y + 1} * bands_ - 1) / height));
        // The target is cut into one run of bands per worker, and tasks are
        // dealt from the runs in turn, so bands drawn at the same time are
        // about a run apart. Neighbouring bands drawn at once ran a third
        // slower: a sprite crossing their edge is drawn by both cores at
        // about the same moment, and each core's prefetcher pulls in rows
        // the other is writing.
        const int run = (bands_ + workers_ - 1) / workers_;
        for (int i = 0; i < run; ++i)
            for (int w = 0; w < workers_; ++w)
                if (w * run + i < bands_) order_.push_back(w * run + i);
    }
}

BandedTarget::~BandedTarget() { Flush(); }

bool BandedTarget::DrawNow(std::int64_t area) {
    if (bands_ == 1) return true;
    pending_ = true;
    direct_ = direct_ && work_ < parallelMinWork_;
    work_ += area;
    return direct_;
}

void BandedTarget::Record(const Op& op, std::int64_t area) {
    ++recorded_;
    recordedWork_ += area;
    const int last = BandOf(op.r.bottom - 1);
    for (int b = BandOf(op.r.top); b <= last; ++b) opBins_[b].push_back(op);
}

void BandedTarget::Keep(const Op& op) {
    kept_.push_back(op);
    if (kept_.size() >= kMaxDeferredCalls) Flush();
}

void BandedTarget::DrawKept() {
    deferred_ = false;
    for (const Op& op : kept_) {
        switch (op.kind) {
            case Kind::Clear:
                Clear(op.r, op.clearColor, op.clearDepth, op.color, op.z);
                break;
            case Kind::Sprite:
                Sprite(op.r, op.src, op.stride, op.blend);
                break;
            case Kind::Stretch: {
                const StretchOp& s = keptStretches_[op.index];
                Stretch(s.src, s.srcWidth, s.s, op.r);
                break;
            }
            case Kind::Mesh: {
                const KeptMesh& m = keptMeshes_[op.index];
                Triangles(m.state, m.vertices, m.vertexCount, m.indices, m.triangleCount);
                break;
            }
        }
    }
    deferred_ = true;
    DropKept();
}

void BandedTarget::DropKept() {
    kept_.clear();
    keptStretches_.clear();
    keptMeshes_.clear();
    keptDepth_ = false;
}

void BandedTarget::Clear(const PixelRect& r, bool target, bool depth, std::uint32_t color,
                         float z) {
    Op op{};
    op.kind = Kind::Clear;
    op.clearColor = target;
    op.clearDepth = depth;
    op.r = r;
    op.color = color;
    op.z = z;
    if (deferred_) {
        const bool whole =
            r.left == 0 && r.top == 0 && r.right == target_.width && r.bottom == target_.height;
        // Nothing the kept calls wrote survives this clear.
        if (whole && target && (depth || !keptDepth_)) DropKept();
        keptDepth_ = keptDepth_ || depth;
        return Keep(op);
    }
    const std::int64_t area =
        static_cast<std::int64_t>(r.right - r.left) * (r.bottom - r.top) * (target + depth);
    if (DrawNow(area)) return Run(op, r.top, r.bottom, nullptr);
    Record(op, area);
}

void BandedTarget::Sprite(PixelRect r, const std::uint32_t* src, std::ptrdiff_t srcStride,
                          bool blend) {
    Op op{};
    op.kind = Kind::Sprite;
    op.blend = blend;
    op.r = r;
    op.stride = static_cast<std::uint32_t>(srcStride);
    op.src = src;
    if (deferred_) return Keep(op);
    const std::int64_t area = static_cast<std::int64_t>(r.right - r.left) * (r.bottom - r.top);
    if (DrawNow(area)) return Run(op, r.top, r.bottom, BlendRow());
    Record(op, area);
}

void BandedTarget::Stretch(const std::uint32_t* src, int srcWidth, const PixelRect& s,
                           const PixelRect& d) {
    if (deferred_) {
        keptStretches_.push_back({src, srcWidth, s});
        Op op{};
        op.kind = Kind::Stretch;
        op.r = d;
        op.index = static_cast<std::uint32_t>(keptStretches_.size() - 1);
        return Keep(op);
    }
    const std::int64_t area = static_cast<std::int64_t>(d.right - d.left) * (d.bottom - d.top);
    if (DrawNow(area))
        return StretchRows(src, srcWidth, s, target_.pixels, target_.width, d, d.top, d.bottom);
    stretches_.push_back({src, srcWidth, s});
    Op op{};
    op.kind = Kind::Stretch;
    op.r = d;
    op.index = static_cast<std::uint32_t>(stretches_.size() - 1);
    Record(op, area);
}

void BandedTarget::Triangles(const RasterState& state, const RasterVertex* vertices,
                             std::size_t vertexCount, const std::uint32_t* indices,
                             std::size_t triangleCount) {
    if (deferred_) {
        keptMeshes_.push_back({state, vertices, vertexCount, indices, triangleCount});
        keptDepth_ = keptDepth_ || state.depthTest;
        Op op{};
        op.kind = Kind::Mesh;
        op.index = static_cast<std::uint32_t>(keptMeshes_.size() - 1);
        return Keep(op);
    }
    // A mesh's pixels are known once it is set up: counted as it is drawn.
    if (DrawNow(0)) {
        work_ += DrawTriangles(target_, state, vertices, vertexCount, indices, triangleCount);
        return;
    }
    const std::size_t first = triangles_.size();
    SetUpTriangles(target_, state, vertices, vertexCount, indices, triangleCount, &triangles_);
    if (triangles_.size() == first) return;
    MeshOp mesh{state, binRanges_.size()};
    for (int b = 0; b < bands_; ++b)
        binRanges_.push_back(static_cast<std::uint32_t>(bins_[b].size()));
    std::int64_t area = 0;
    for (std::size_t i = first; i < triangles_.size(); ++i) {
        const TriangleSetup& t = triangles_[i];
        area += PixelBoxArea(t);
        const int lastBand = BandOf(t.y1);
        for (int b = BandOf(t.y0); b <= lastBand; ++b)
            bins_[b].push_back(static_cast<std::uint32_t>(i));
    }
    for (int b = 0; b < bands_; ++b)
        binRanges_.push_back(static_cast<std::uint32_t>(bins_[b].size()));
    meshes_.push_back(mesh);
    Op op{};
    op.kind = Kind::Mesh;
    op.r = PixelRect{0, 0, target_.width, target_.height};
    op.index = static_cast<std::uint32_t>(meshes_.size() - 1);
    work_ += area;
    Record(op, area);
}

void BandedTarget::Run(const Op& op, int y0, int y1, RowKernel blend) {
    y0 = std::max(y0, op.r.top);
    y1 = std::min(y1, op.r.bottom);
    if (y0 >= y1) return;
    const int w = target_.width;
    switch (op.kind) {
        case Kind::Sprite: {
            const RowKernel row = op.blend ? blend : CopyRowOpaque;
            row(target_.pixels + static_cast<std::ptrdiff_t>(y0) * w + op.r.left, w,
                op.src + static_cast<std::ptrdiff_t>(y0 - op.r.top) * op.stride, op.stride,
                op.r.right - op.r.left, y1 - y0);
            return;
        }
        case Kind::Clear:
            if (op.clearColor) FillRows(target_.pixels, w, op.r, y0, y1, op.color);
            if (op.clearDepth)
                for (int y = y0; y < y1; ++y)
                    std::fill_n(target_.depth + static_cast<std::ptrdiff_t>(y) * w + op.r.left,
                                op.r.right - op.r.left, op.z);
            return;
        case Kind::Stretch: {
            const StretchOp& s = stretches_[op.index];
            StretchRows(s.src, s.srcWidth, s.s, target_.pixels, w, op.r, y0, y1);
            return;
        }
        case Kind::Mesh:
            return;  // drawn from the bins by DrawBand
    }
}

void BandedTarget::DrawBand(int band) {
    const int y0 = static_cast<int>(static_cast<std::int64_t>(band) * target_.height / bands_);
    const int y1 = static_cast<int>(static_cast<std::int64_t>(band + 1) * target_.height / bands_);
    for (const Op& op : opBins_[band]) {
        if (op.kind != Kind::Mesh) {
            Run(op, y0, y1, blend_);
            continue;
        }
        const MeshOp& mesh = meshes_[op.index];
        const std::uint32_t* bin = bins_[band].data();
        const std::uint32_t begin = binRanges_[mesh.first + band];
        const std::uint32_t end = binRanges_[mesh.first + bands_ + band];
        for (std::uint32_t i = begin; i < end; ++i)
            FillTriangleRows(target_, mesh.state, triangles_[bin[i]], y0, y1);
    }
}

void BandedTarget::BandTask(void* target, int task) {
    auto* self = static_cast<BandedTarget*>(target);
    self->DrawBand(self->order_[task]);
}

void BandedTarget::Flush() {
    if (!kept_.empty()) DrawKept();
    pending_ = false;
    // The next run of calls is likely to be as big as this one.
    direct_ = work_ < parallelMinWork_;
    work_ = 0;
    if (recorded_ == 0) return;
    blend_ = BlendRow();
    if (recordedWork_ < parallelMinWork_) {
        for (int b = 0; b < bands_; ++b) DrawBand(b);
    } else {
        pool_->Run(bands_, &BandedTarget::BandTask, this);
    }
    stretches_.clear();
    meshes_.clear();
    triangles_.clear();
    for (auto& bin : opBins_) bin.clear();
    for (auto& bin : bins_) bin.clear();
    binRanges_.clear();
    recorded_ = 0;
    recordedWork_ = 0;
}

}  // namespace platform::soft
