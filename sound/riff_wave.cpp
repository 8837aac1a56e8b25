#include "sound/riff_wave.h"

#include <cstdlib>
#include <cstring>

#include "base/byte_order.h"
#include "platform/core/content_file.h"
#include "sound/sound_trace.h"

namespace {

constexpr FOURCC kRiff = MakeFourCC('R', 'I', 'F', 'F');
constexpr FOURCC kWave = MakeFourCC('W', 'A', 'V', 'E');
constexpr FOURCC kFmt = MakeFourCC('f', 'm', 't', ' ');
constexpr FOURCC kFact = MakeFourCC('f', 'a', 'c', 't');
constexpr FOURCC kData = MakeFourCC('d', 'a', 't', 'a');
constexpr DWORD kChunkDirty = 0x1;  // size to be written on ascent
constexpr std::size_t kWriteBufferBytes = 16384;
constexpr std::size_t kPcmFormatBytes = 16;

}  // namespace

CRiffWave::CRiffWave()
    : m_pwfx(nullptr),
      m_mmio(nullptr),
      m_fileSize(0),
      m_dataSize(0),
      m_mode(WAVEFILE_READ),
      m_fromMemory(false),
      m_memData(nullptr),
      m_memCursor(nullptr),
      m_memSize(0) {}

CRiffWave::~CRiffWave() {
    Close();
    FreeFormat();
}

void CRiffWave::FreeFormat() {
    // A format borrowed from the caller (memory waves) is never freed here.
    if (!m_fromMemory) std::free(m_pwfx);
    m_pwfx = nullptr;
}

// ---- chunk walking ---------------------------------------------------------

bool CRiffWave::Seek(long offset) {
    return m_mmio && offset >= 0 && std::fseek(m_mmio, offset, SEEK_SET) == 0;
}
long CRiffWave::Tell() const { return m_mmio ? std::ftell(m_mmio) : -1; }

bool CRiffWave::ReadBytes(void* dest, DWORD size) {
    return m_mmio && std::fread(dest, 1, size, m_mmio) == size;
}

bool CRiffWave::WriteBytes(const void* src, DWORD size) {
    return m_mmio && std::fwrite(src, 1, size, m_mmio) == size;
}

// Reads the chunk header at the current position. With a parent, only the
// parent's data is searched; with find, chunks are skipped (with their pad
// bytes) until one has ck->ckid (or, for RIFF, ck->fccType). A chunk whose
// data would run past its parent or past the end of the file is refused, so
// no later read can leave the file.
bool CRiffWave::Descend(MMCKINFO* ck, const MMCKINFO* parent, bool find) {
    const FOURCC wantId = ck->ckid;
    const long limit =
        parent ? static_cast<long>(parent->dwDataOffset) + parent->cksize : m_fileSize;
    for (;;) {
        const long here = Tell();
        if (here < 0 || here + 8 > limit) return false;
        BYTE header[8];
        if (!ReadBytes(header, 8)) return false;
        MMCKINFO found;
        found.ckid = ReadLe32(header);
        found.cksize = ReadLe32(header + 4);
        found.dwDataOffset = static_cast<DWORD>(here + 8);
        const long long room = limit - static_cast<long long>(found.dwDataOffset);
        // Files written to a pipe carry a RIFF or data size of 0 or
        // 0xFFFFFFFF (or one that runs past the end): when reading, such a
        // chunk holds what the file holds.
        const bool fitsFile =
            m_mode == WAVEFILE_READ && (found.ckid == kRiff || found.ckid == kData);
        if (fitsFile && (found.cksize == 0 || found.cksize > room))
            found.cksize = static_cast<DWORD>(room);
        if (found.cksize > room) return false;
        if (found.ckid == kRiff) {
            BYTE type[4];
            if (found.cksize < 4 || !ReadBytes(type, 4)) return false;
            found.fccType = ReadLe32(type);
        }
        if (!find || found.ckid == wantId) {
            *ck = found;
            return true;
        }
        const long long next =
            static_cast<long long>(found.dwDataOffset) + found.cksize + (found.cksize & 1);
        if (next >= limit) return false;
        if (!Seek(static_cast<long>(next))) return false;
    }
}

// Leaves a chunk: a written chunk gets its true size (and a pad byte after an
// odd size); the position moves just past the chunk and its pad.
bool CRiffWave::Ascend(MMCKINFO* ck) {
    if (!m_mmio) return false;
    if (ck->dwFlags & kChunkDirty) {
        if (!FlushWrite()) return false;
        const long end = Tell();
        if (end < 0) return false;
        const DWORD size = static_cast<DWORD>(end - ck->dwDataOffset);
        if (size & 1) {
            const BYTE pad = 0;
            if (!WriteBytes(&pad, 1)) return false;
        }
        if (size != ck->cksize) {
            BYTE field[4];
            WriteLe32(field, size);
            if (!Seek(static_cast<long>(ck->dwDataOffset) - 4) || !WriteBytes(field, 4))
                return false;
            ck->cksize = size;
        }
        ck->dwFlags &= ~kChunkDirty;
        return Seek(static_cast<long>(ck->dwDataOffset + size + (size & 1)));
    }
    const long long next = static_cast<long long>(ck->dwDataOffset) + ck->cksize + (ck->cksize & 1);
    // The pad byte of the last chunk may be missing from a file; stop at its end.
    return Seek(static_cast<long>(
        next > m_fileSize && m_fileSize >= 0 && m_mode == WAVEFILE_READ ? m_fileSize : next));
}

bool CRiffWave::CreateChunk(MMCKINFO* ck, bool riff) {
    if (!FlushWrite()) return false;
    const long here = Tell();
    if (here < 0) return false;
    BYTE header[12];
    WriteLe32(header, riff ? kRiff : ck->ckid);
    WriteLe32(header + 4, ck->cksize);
    WriteLe32(header + 8, ck->fccType);
    if (riff) ck->ckid = kRiff;
    if (!WriteBytes(header, riff ? 12 : 8)) return false;
    ck->dwDataOffset = static_cast<DWORD>(here + 8);
    ck->dwFlags = kChunkDirty;
    return true;
}

bool CRiffWave::FlushWrite() {
    if (m_writeInfo.next == 0) return true;
    const bool ok = WriteBytes(m_writeInfo.buffer.data(), static_cast<DWORD>(m_writeInfo.next));
    m_writeInfo.next = 0;
    m_writeInfo.dirty = false;
    return ok;
}

// ---- opening ----------------------------------------------------------------

HRESULT CRiffWave::Open(const char* name, const WAVEFORMATEX* format, DWORD mode) {
    // Reopening closes what was open and drops a format borrowed earlier.
    Close();
    FreeFormat();
    m_mode = mode;
    m_fromMemory = false;
    m_dataSize = 0;
    if (mode == WAVEFILE_READ) {
        if (!name) return E_INVALIDARG;
        m_failure.clear();
        // Only a regular file opens: a named pipe would block the caller
        // until something writes to it.
        m_mmio = platform::OpenRegularFile(name, &m_failure);
        if (!m_mmio) {
            // No module resources on this platform: the file is the only source.
            return DSUTIL_TRACE("FindResource", E_FAIL);
        }
        std::fseek(m_mmio, 0, SEEK_END);
        m_fileSize = std::ftell(m_mmio);
        std::fseek(m_mmio, 0, SEEK_SET);
        HRESULT hr = m_fileSize < 0 ? E_FAIL : ReadMMIO();
        if (FAILED(hr)) {
            m_failure = m_fileSize == 0 ? "the file is empty" : "not a readable RIFF WAVE file";
            std::fclose(m_mmio);
            m_mmio = nullptr;
            return DSUTIL_TRACE("ReadMMIO", hr);
        }
        hr = ResetFile();
        if (FAILED(hr)) {
            m_failure = "the WAVE file has no data chunk";
            return DSUTIL_TRACE("ResetFile", hr);
        }
        m_dataSize = m_dataChunk.cksize;
        return S_OK;
    }
    if (!name || !format) return E_INVALIDARG;
    m_mmio = std::fopen(name, "w+b");
    if (!m_mmio) return DSUTIL_TRACE("mmioOpen", E_FAIL);
    m_fileSize = 0;
    m_writeInfo.buffer.assign(kWriteBufferBytes, 0);
    m_writeInfo.next = 0;
    HRESULT hr = WriteMMIO(format);
    if (FAILED(hr)) {
        std::fclose(m_mmio);
        m_mmio = nullptr;
        return DSUTIL_TRACE("WriteMMIO", hr);
    }
    hr = ResetFile();
    if (FAILED(hr)) return DSUTIL_TRACE("ResetFile", hr);
    return S_OK;
}

HRESULT CRiffWave::OpenFromMemory(BYTE* data, ULONG size, WAVEFORMATEX* format, DWORD mode) {
    Close();
    FreeFormat();
    m_pwfx = format;
    m_memSize = size;
    m_memData = m_memCursor = data;
    m_fromMemory = true;
    m_dataSize = 0;
    return mode != WAVEFILE_READ ? E_NOTIMPL : S_OK;
}

HRESULT CRiffWave::ReadMMIO() {
    m_pwfx = nullptr;
    m_riffChunk = MMCKINFO{};
    if (!Descend(&m_riffChunk, nullptr, false)) return DSUTIL_TRACE("mmioDescend", E_FAIL);
    if (m_riffChunk.ckid != kRiff || m_riffChunk.fccType != kWave)
        return DSUTIL_TRACE("mmioFOURCC", E_FAIL);
    MMCKINFO fmt;
    fmt.ckid = kFmt;
    if (!Descend(&fmt, &m_riffChunk, true)) return DSUTIL_TRACE("mmioDescend", E_FAIL);
    if (fmt.cksize < kPcmFormatBytes) return DSUTIL_TRACE("sizeof(PCMWAVEFORMAT)", E_FAIL);
    BYTE pcm[kPcmFormatBytes];
    if (!ReadBytes(pcm, sizeof pcm)) return DSUTIL_TRACE("mmioRead", E_FAIL);
    const WORD tag = ReadLe16(pcm);
    // PCM, and any format whose record stops after the bits per sample (as
    // float files often do), has no extra bytes.
    if (tag == WAVE_FORMAT_PCM || fmt.cksize < sizeof(WAVEFORMATEX)) {
        m_pwfx = static_cast<WAVEFORMATEX*>(std::malloc(sizeof(WAVEFORMATEX)));
        if (!m_pwfx) return DSUTIL_TRACE("m_pwfx", E_FAIL);
        std::memcpy(m_pwfx, pcm, sizeof pcm);
        m_pwfx->cbSize = 0;
    } else {
        BYTE extra[2];
        if (!ReadBytes(extra, 2)) return DSUTIL_TRACE("mmioRead", E_FAIL);
        const WORD count = ReadLe16(extra);
        // The extra bytes must lie inside the chunk; a count beyond it is refused.
        if (sizeof(WAVEFORMATEX) + count > fmt.cksize) return DSUTIL_TRACE("mmioRead", E_FAIL);
        m_pwfx = static_cast<WAVEFORMATEX*>(std::malloc(sizeof(WAVEFORMATEX) + count));
        if (!m_pwfx) return DSUTIL_TRACE("new", E_FAIL);
        std::memcpy(m_pwfx, pcm, sizeof pcm);
        m_pwfx->cbSize = count;
        if (!ReadBytes(reinterpret_cast<BYTE*>(m_pwfx) + sizeof(WAVEFORMATEX), count)) {
            FreeFormat();
            return DSUTIL_TRACE("mmioRead", E_FAIL);
        }
    }
    if (!Ascend(&fmt)) {
        FreeFormat();
        return DSUTIL_TRACE("mmioAscend", E_FAIL);
    }
    return S_OK;
}

HRESULT CRiffWave::WriteMMIO(const WAVEFORMATEX* format) {
    m_riffChunk = MMCKINFO{};
    m_riffChunk.fccType = kWave;
    if (!CreateChunk(&m_riffChunk, true)) return DSUTIL_TRACE("mmioCreateChunk", E_FAIL);
    MMCKINFO fmt;
    fmt.ckid = kFmt;
    fmt.cksize = kPcmFormatBytes;
    if (!CreateChunk(&fmt, false)) return DSUTIL_TRACE("mmioCreateChunk", E_FAIL);
    const DWORD bytes = format->wFormatTag == WAVE_FORMAT_PCM
                            ? static_cast<DWORD>(kPcmFormatBytes)
                            : static_cast<DWORD>(sizeof(WAVEFORMATEX)) + format->cbSize;
    if (!WriteBytes(format, bytes)) return DSUTIL_TRACE("mmioWrite", E_FAIL);
    if (!Ascend(&fmt)) return DSUTIL_TRACE("mmioAscend", E_FAIL);
    MMCKINFO fact;
    fact.ckid = kFact;
    if (!CreateChunk(&fact, false)) return DSUTIL_TRACE("mmioCreateChunk", E_FAIL);
    BYTE value[4];
    WriteLe32(value, 0xFFFFFFFF);
    if (!WriteBytes(value, 4)) return DSUTIL_TRACE("mmioWrite", E_FAIL);
    if (!Ascend(&fact)) return DSUTIL_TRACE("mmioAscend", E_FAIL);
    return S_OK;
}

HRESULT CRiffWave::ResetFile() {
    if (m_fromMemory) {
        m_memCursor = m_memData;
        return S_OK;
    }
    if (!m_mmio) return CO_E_NOTINITIALIZED;
    if (m_mode == WAVEFILE_READ) {
        if (!Seek(static_cast<long>(m_riffChunk.dwDataOffset) + 4))
            return DSUTIL_TRACE("mmioSeek", E_FAIL);
        m_dataChunk = MMCKINFO{};
        m_dataChunk.ckid = kData;
        if (!Descend(&m_dataChunk, &m_riffChunk, true)) return DSUTIL_TRACE("mmioDescend", E_FAIL);
    } else {
        m_dataChunk = MMCKINFO{};
        m_dataChunk.ckid = kData;
        if (!CreateChunk(&m_dataChunk, false)) return DSUTIL_TRACE("mmioCreateChunk", E_FAIL);
        m_writeInfo.next = 0;
    }
    return S_OK;
}

// ---- samples ----------------------------------------------------------------

HRESULT CRiffWave::Read(BYTE* buffer, DWORD size, DWORD* read) {
    if (m_fromMemory) {
        if (!m_memCursor) return CO_E_NOTINITIALIZED;
        if (read) *read = 0;
        const DWORD left = static_cast<DWORD>(m_memData + m_memSize - m_memCursor);
        const DWORD amount = size < left ? size : left;
        if (amount && !buffer) return E_INVALIDARG;
        if (amount) std::memcpy(buffer, m_memCursor, amount);
        m_memCursor += amount;
        if (read) *read = amount;
        return S_OK;
    }
    if (!m_mmio || m_mode != WAVEFILE_READ) return CO_E_NOTINITIALIZED;
    if (!buffer || !read) return E_INVALIDARG;
    *read = 0;
    const DWORD amount = size < m_dataChunk.cksize ? size : m_dataChunk.cksize;
    m_dataChunk.cksize -= amount;
    if (amount && std::fread(buffer, 1, amount, m_mmio) != amount)
        return DSUTIL_TRACE("mmioAdvance", E_FAIL);
    *read = amount;
    return S_OK;
}

HRESULT CRiffWave::Write(UINT size, const BYTE* source, UINT* wrote) {
    if (m_fromMemory) return E_NOTIMPL;
    if (!m_mmio || m_mode == WAVEFILE_READ) return CO_E_NOTINITIALIZED;
    if (!wrote || !source) return E_INVALIDARG;
    *wrote = 0;
    for (UINT i = 0; i < size; ++i) {
        if (m_writeInfo.next == m_writeInfo.buffer.size()) {
            m_writeInfo.dirty = true;
            if (!FlushWrite()) return DSUTIL_TRACE("mmioAdvance", E_FAIL);
        }
        m_writeInfo.buffer[m_writeInfo.next++] = source[i];
        ++*wrote;
    }
    return S_OK;
}

HRESULT CRiffWave::Commit() {
    if (m_fromMemory || !m_mmio || m_mode == WAVEFILE_READ) return CO_E_NOTINITIALIZED;
    if (!FlushWrite()) return DSUTIL_TRACE("mmioFlush", E_FAIL);
    const long end = Tell();
    if (end < 0) return DSUTIL_TRACE("mmioSeek", E_FAIL);
    BYTE field[4];
    WriteLe32(field, static_cast<DWORD>(end - m_dataChunk.dwDataOffset));
    bool ok = Seek(static_cast<long>(m_dataChunk.dwDataOffset) - 4) && WriteBytes(field, 4);
    WriteLe32(field, static_cast<DWORD>(end - m_riffChunk.dwDataOffset));
    ok = ok && Seek(static_cast<long>(m_riffChunk.dwDataOffset) - 4) && WriteBytes(field, 4);
    if (!ok || !Seek(end) || std::fflush(m_mmio) != 0) return DSUTIL_TRACE("mmioFlush", E_FAIL);
    return S_OK;
}

std::uint64_t CRiffWave::MaxDataBytes() const {
    return 0xFFFFFFFFull - (m_dataChunk.dwDataOffset - m_riffChunk.dwDataOffset);
}

HRESULT CRiffWave::Close() {
    if (m_fromMemory) return CO_E_NOTINITIALIZED;
    if (m_mode == WAVEFILE_READ) {
        if (m_mmio) std::fclose(m_mmio);
        m_mmio = nullptr;
        return S_OK;
    }
    m_writeInfo.dirty = true;
    if (!m_mmio) return CO_E_NOTINITIALIZED;
    HRESULT hr = S_OK;
    if (!FlushWrite()) hr = DSUTIL_TRACE("mmioSetInfo", E_FAIL);
    if (SUCCEEDED(hr) && !Ascend(&m_dataChunk)) hr = DSUTIL_TRACE("mmioAscend", E_FAIL);
    if (SUCCEEDED(hr) && !Ascend(&m_riffChunk)) hr = DSUTIL_TRACE("mmioAscend", E_FAIL);
    if (SUCCEEDED(hr)) {
        std::fflush(m_mmio);
        m_fileSize = Tell();
        MMCKINFO riff;
        if (!Seek(0) || !Descend(&riff, nullptr, false)) {
            hr = DSUTIL_TRACE("mmioDescend", E_FAIL);
        } else {
            MMCKINFO fact;
            fact.ckid = kFact;
            if (Descend(&fact, &riff, true)) {
                BYTE zero[4] = {0, 0, 0, 0};
                // Reading then writing a stream needs a seek in between.
                if (!Seek(static_cast<long>(fact.dwDataOffset)) || !WriteBytes(zero, 4))
                    hr = DSUTIL_TRACE("mmioWrite", E_FAIL);
            }
        }
    }
    if (std::fclose(m_mmio) != 0 && SUCCEEDED(hr)) hr = DSUTIL_TRACE("mmioClose", E_FAIL);
    m_mmio = nullptr;
    m_mode = WAVEFILE_READ;
    return hr;
}

HRESULT ReadWaveRepeating(CRiffWave* wave, BYTE* dest, DWORD filled, DWORD size, BYTE silence) {
    while (filled < size) {
        HRESULT hr = wave->ResetFile();
        if (FAILED(hr)) return DSUTIL_TRACE("ResetFile", hr);
        DWORD read = 0;
        hr = wave->Read(dest + filled, size - filled, &read);
        if (FAILED(hr)) return DSUTIL_TRACE("Read", hr);
        if (read == 0) {
            std::memset(dest + filled, silence, size - filled);
            break;
        }
        filled += read;
    }
    return S_OK;
}

bool WriteMonoWave(const std::string& path, const std::vector<std::int16_t>& samples, int rate,
                   std::string* error) {
    std::vector<BYTE> bytes;
    bytes.reserve(samples.size() * 2);
    for (std::int16_t v : samples) {  // little-endian, whatever the host
        const auto u = static_cast<std::uint16_t>(v);
        bytes.push_back(static_cast<BYTE>(u & 0xFF));
        bytes.push_back(static_cast<BYTE>(u >> 8));
    }
    const auto r = static_cast<DWORD>(rate);
    const WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, r, r * 2, 2, 16, 0};
    CRiffWave wave;
    UINT wrote = 0;
    bool ok = wave.Open(path.c_str(), &format, WAVEFILE_WRITE) == S_OK &&
              wave.Write(static_cast<UINT>(bytes.size()), bytes.data(), &wrote) == S_OK &&
              wrote == bytes.size();
    ok = wave.Close() == S_OK && ok;
    if (!ok && error) *error = "cannot write " + path;
    return ok;
}
