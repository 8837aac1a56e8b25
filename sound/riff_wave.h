/// @file
/// CRiffWave: reads the format and samples of a RIFF WAVE sound from a file or
/// from a caller's memory block, and writes WAVE files. The RIFF chunk walking
/// (descend into a chunk by id within a parent, ascend with size correction and
/// the pad byte after odd sizes) is done here directly over the byte format.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/core/dsound.h"

constexpr DWORD WAVEFILE_READ = 1;
constexpr DWORD WAVEFILE_WRITE = 2;

using FOURCC = DWORD;
constexpr FOURCC MakeFourCC(char a, char b, char c, char d) {
    return static_cast<FOURCC>(static_cast<std::uint8_t>(a)) |
           (static_cast<FOURCC>(static_cast<std::uint8_t>(b)) << 8) |
           (static_cast<FOURCC>(static_cast<std::uint8_t>(c)) << 16) |
           (static_cast<FOURCC>(static_cast<std::uint8_t>(d)) << 24);
}

/// One chunk: id, data size, form type (RIFF only), offset of its data in the
/// file, and whether its size must be fixed on ascent (written chunks).
struct MMCKINFO {
    FOURCC ckid = 0;
    DWORD cksize = 0;
    FOURCC fccType = 0;
    DWORD dwDataOffset = 0;
    DWORD dwFlags = 0;
};

/// The write buffer: bytes collected before they go to the file.
struct MMIOINFO {
    std::vector<BYTE> buffer;
    std::size_t next = 0;  ///< next byte to fill
    bool dirty = false;
};

class CRiffWave {
  public:
    CRiffWave();
    ~CRiffWave();
    CRiffWave(const CRiffWave&) = delete;
    CRiffWave& operator=(const CRiffWave&) = delete;

    HRESULT Open(const char* name, const WAVEFORMATEX* format, DWORD mode);
    HRESULT OpenFromMemory(BYTE* data, ULONG size, WAVEFORMATEX* format, DWORD mode);
    HRESULT Close();
    HRESULT Read(BYTE* buffer, DWORD size, DWORD* read);
    HRESULT Write(UINT size, const BYTE* source, UINT* wrote);
    /// Writing: puts what was written so far on disk as a whole file (the
    /// buffer goes out, the RIFF and data sizes are set), so a process that
    /// dies leaves a file that plays; writing goes on after it.
    HRESULT Commit();
    /// Writing: the most bytes the data chunk can hold before the RIFF size,
    /// a 32-bit field, would overflow.
    std::uint64_t MaxDataBytes() const;
    DWORD GetSize() const { return m_dataSize; }
    HRESULT ResetFile();
    WAVEFORMATEX* GetFormat() const { return m_pwfx; }

    WAVEFORMATEX* m_pwfx;
    /// Why the last Open for reading failed, for the user ("no such file").
    std::string m_failure;

  protected:
    HRESULT ReadMMIO();
    HRESULT WriteMMIO(const WAVEFORMATEX* format);

  private:
    // Chunk walking over the open file.
    bool Descend(MMCKINFO* ck, const MMCKINFO* parent, bool find);
    bool Ascend(MMCKINFO* ck);
    bool CreateChunk(MMCKINFO* ck, bool riff);
    bool Seek(long offset);
    long Tell() const;
    bool ReadBytes(void* dest, DWORD size);
    bool WriteBytes(const void* src, DWORD size);
    bool FlushWrite();
    void FreeFormat();

    std::FILE* m_mmio;
    long m_fileSize;
    MMCKINFO m_dataChunk;
    MMCKINFO m_riffChunk;
    DWORD m_dataSize;
    MMIOINFO m_writeInfo;
    DWORD m_mode;
    bool m_fromMemory;
    BYTE* m_memData;
    BYTE* m_memCursor;
    ULONG m_memSize;
};

/// Fills dest[filled, size) from the wave, rewinding to its start as often as
/// needed: the looping fill of static and streaming buffers. An empty wave
/// leaves the rest silent instead of looping forever. Failures are traced.
HRESULT ReadWaveRepeating(CRiffWave* wave, BYTE* dest, DWORD filled, DWORD size, BYTE silence);

/// Writes 16-bit mono PCM samples at `rate` frames a second as a WAVE file: a
/// game's content generator makes its sounds in code and writes them so.
/// Returns false with `error` set when the file cannot be written.
bool WriteMonoWave(const std::string& path, const std::vector<std::int16_t>& samples, int rate,
                   std::string* error);
