// The WAVE reader: open any bytes as a file (in memory-backed /dev/shm),
// read every sample, rewind.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "sound/riff_wave.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/dev/shm/velmor-fuzz-wave-" + std::to_string(getpid());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    CRiffWave wave;
    if (FAILED(wave.Open(path.c_str(), nullptr, WAVEFILE_READ))) return 0;
    std::vector<BYTE> buffer(4096);
    for (int pass = 0; pass < 2; ++pass) {
        DWORD read = 0, total = 0;
        do {
            if (FAILED(wave.Read(buffer.data(), static_cast<DWORD>(buffer.size()), &read))) break;
            total += read;
        } while (read > 0);
        if (total > wave.GetSize()) __builtin_trap();  // never more than the chunk holds
        wave.ResetFile();
    }
    return 0;
}
