// Mixer cost: 32 looping 22050 Hz mono 16-bit buffers mixed into 44100 Hz
// stereo, one iteration = 10 ms of audio (441 frames). Target: median under
// 0.3 ms per iteration on one core.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "platform/core/dsound.h"
#include "platform/core/window.h"
#include "platform/testing/test_hooks.h"

namespace {

LRESULT Proc(HWND w, UINT m, WPARAM a, LPARAM b) { return DefWindowProcA(w, m, a, b); }

void BM_Mix32Buffers10ms(benchmark::State& state) {
    platform::UseClockDrivenAudio();
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = "bench-mixer";
    RegisterClassExA(&wc);
    HWND window =
        CreateWindowExA(0, "bench-mixer", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    IDirectSound8* ds = nullptr;
    DirectSoundCreate8(nullptr, &ds, nullptr);
    ds->SetCooperativeLevel(window, DSSCL_PRIORITY);

    WAVEFORMATEX f{WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
    DSBUFFERDESC d;
    d.dwSize = kDsBufferDescSize;
    d.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN;
    d.dwBufferBytes = 22050 * 2;
    d.lpwfxFormat = &f;
    std::vector<IDirectSoundBuffer*> buffers;
    for (int i = 0; i < 32; ++i) {
        IDirectSoundBuffer* b = nullptr;
        ds->CreateSoundBuffer(&d, &b, nullptr);
        void* p = nullptr;
        DWORD n = 0;
        b->Lock(0, 0, &p, &n, nullptr, nullptr, DSBLOCK_ENTIREBUFFER);
        auto* s = static_cast<std::int16_t*>(p);
        for (DWORD k = 0; k < n / 2; ++k)
            s[k] = static_cast<std::int16_t>(2000 * std::sin(0.01 * (i + 1) * k));
        b->Unlock(p, n, nullptr, 0);
        b->SetVolume(-100 * (i % 5));
        b->SetPan(300 * (i % 7) - 900);
        b->SetCurrentPosition(static_cast<DWORD>(i * 1000));
        b->Play(0, 0, DSBPLAY_LOOPING);
        buffers.push_back(b);
    }
    std::vector<std::int16_t> out(441 * 2);
    for (auto _ : state) {
        platform::MixForTest(out.data(), 441);
        benchmark::DoNotOptimize(out.data());
    }
    for (auto* b : buffers) b->Release();
    ds->Release();
    DestroyWindow(window);
}
BENCHMARK(BM_Mix32Buffers10ms)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
