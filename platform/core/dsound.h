/// @file
/// Sound output in the shape the sound code calls: a device for a window, a
/// primary buffer whose format can be set, secondary buffers of PCM samples
/// with lock/unlock, play/stop, positions, volume/pan/frequency, duplicates
/// that share sample memory, position notifications that signal an event
/// object, and 3D buffers with a listener. One mixer plays every buffer: the
/// audio driver's device when one can be opened, otherwise (and always
/// headless) stepped 735 sample frames per presented frame.
///
/// Objects are reference counted (ref_counted.h). Constants keep their
/// original values.
#pragma once

#include <cstdint>
#include <functional>

#include "base/matrix.h"  // D3DVECTOR
#include "platform/core/ref_counted.h"
#include "platform/core/types.h"
#include "platform/core/window.h"

// ---- identifiers ----------------------------------------------------------

extern const GUID GUID_NULL;
extern const GUID IID_IDirectSoundNotify;
extern const GUID IID_IDirectSound3DBuffer;
extern const GUID IID_IDirectSound3DListener;
/// 3D algorithms: all select the same simple model here.
extern const GUID DS3DALG_DEFAULT;
extern const GUID DS3DALG_NO_VIRTUALIZATION;

// ---- result codes ---------------------------------------------------------

constexpr HRESULT E_NOINTERFACE = MakeHResult(0x80004002u);
constexpr HRESULT E_UNEXPECTED = MakeHResult(0x8000FFFFu);
constexpr HRESULT CO_E_NOTINITIALIZED = MakeHResult(0x800401F0u);
constexpr HRESULT DS_OK = 0;
constexpr HRESULT DS_NO_VIRTUALIZATION = MakeHResult(0x0878000Au);
constexpr HRESULT DSERR_ALLOCATED = MakeHResult(0x8878000Au);
constexpr HRESULT DSERR_CONTROLUNAVAIL = MakeHResult(0x8878001Eu);
constexpr HRESULT DSERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DSERR_INVALIDCALL = MakeHResult(0x88780032u);
constexpr HRESULT DSERR_GENERIC = E_FAIL;
constexpr HRESULT DSERR_PRIOLEVELNEEDED = MakeHResult(0x88780046u);
constexpr HRESULT DSERR_OUTOFMEMORY = E_OUTOFMEMORY;
constexpr HRESULT DSERR_BADFORMAT = MakeHResult(0x88780064u);
constexpr HRESULT DSERR_NODRIVER = MakeHResult(0x88780078u);
constexpr HRESULT DSERR_BUFFERLOST = MakeHResult(0x88780096u);

// ---- formats --------------------------------------------------------------

constexpr WORD WAVE_FORMAT_PCM = 1;

#pragma pack(push, 1)
/// The wave format record exactly as a WAVE file's "fmt " chunk holds it
/// (18 bytes; cbSize counts extra bytes that follow the record).
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

// ---- constants ------------------------------------------------------------

constexpr DWORD DSSCL_NORMAL = 1;
constexpr DWORD DSSCL_PRIORITY = 2;
constexpr DWORD DSSCL_EXCLUSIVE = 3;
constexpr DWORD DSSCL_WRITEPRIMARY = 4;

constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x00000001;
constexpr DWORD DSBCAPS_STATIC = 0x00000002;
constexpr DWORD DSBCAPS_LOCHARDWARE = 0x00000004;
constexpr DWORD DSBCAPS_LOCSOFTWARE = 0x00000008;
constexpr DWORD DSBCAPS_CTRL3D = 0x00000010;
constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x00000020;
constexpr DWORD DSBCAPS_CTRLPAN = 0x00000040;
constexpr DWORD DSBCAPS_CTRLVOLUME = 0x00000080;
constexpr DWORD DSBCAPS_CTRLPOSITIONNOTIFY = 0x00000100;
constexpr DWORD DSBCAPS_CTRLFX = 0x00000200;
constexpr DWORD DSBCAPS_GLOBALFOCUS = 0x00008000;
constexpr DWORD DSBCAPS_GETCURRENTPOSITION2 = 0x00010000;

constexpr DWORD DSBSTATUS_PLAYING = 0x00000001;
constexpr DWORD DSBSTATUS_BUFFERLOST = 0x00000002;
constexpr DWORD DSBSTATUS_LOOPING = 0x00000004;

constexpr DWORD DSBPLAY_LOOPING = 0x00000001;

constexpr DWORD DSBLOCK_FROMWRITECURSOR = 0x00000001;
constexpr DWORD DSBLOCK_ENTIREBUFFER = 0x00000002;

/// Volume in hundredths of a decibel of attenuation, pan in hundredths of a
/// decibel of attenuation of the opposite channel, frequency in Hz.
constexpr LONG DSBVOLUME_MIN = -10000;
constexpr LONG DSBVOLUME_MAX = 0;
constexpr LONG DSBPAN_LEFT = -10000;
constexpr LONG DSBPAN_CENTER = 0;
constexpr LONG DSBPAN_RIGHT = 10000;
constexpr DWORD DSBFREQUENCY_ORIGINAL = 0;
constexpr DWORD DSBFREQUENCY_MIN = 100;
constexpr DWORD DSBFREQUENCY_MAX = 200000;

constexpr DWORD DSBPN_OFFSETSTOP = 0xFFFFFFFF;

constexpr DWORD DS3D_IMMEDIATE = 0;
constexpr DWORD DS3DMODE_NORMAL = 0;
constexpr DWORD DS3DMODE_HEADRELATIVE = 1;
constexpr DWORD DS3DMODE_DISABLE = 2;
constexpr float DS3D_DEFAULTMINDISTANCE = 1.0f;
constexpr float DS3D_DEFAULTMAXDISTANCE = 1000000000.0f;

// ---- event objects (auto-reset) -------------------------------------------

using HANDLE = void*;
constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

/// An event object: auto-reset unless manualReset; initialState is honoured.
HANDLE CreateEventA(void* security, BOOL manualReset, BOOL initialState, const char* name);
BOOL SetEvent(HANDLE event);
DWORD WaitForSingleObject(HANDLE event, DWORD milliseconds);
BOOL CloseHandle(HANDLE event);
void Sleep(DWORD milliseconds);

// ---- records --------------------------------------------------------------

struct DSBUFFERDESC {
    DWORD dwSize = 0;
    DWORD dwFlags = 0;
    DWORD dwBufferBytes = 0;
    DWORD dwReserved = 0;
    WAVEFORMATEX* lpwfxFormat = nullptr;
    GUID guid3DAlgorithm{};
};
constexpr DWORD kDsBufferDescSize = 36;  ///< the size callers put in dwSize

struct DSBPOSITIONNOTIFY {
    DWORD dwOffset = 0;
    HANDLE hEventNotify = nullptr;
};

struct DS3DBUFFER {
    DWORD dwSize = 0;
    D3DVECTOR vPosition{0, 0, 0};
    D3DVECTOR vVelocity{0, 0, 0};
    DWORD dwInsideConeAngle = 360;
    DWORD dwOutsideConeAngle = 360;
    D3DVECTOR vConeOrientation{0, 0, 1};
    LONG lConeOutsideVolume = 0;
    float flMinDistance = DS3D_DEFAULTMINDISTANCE;
    float flMaxDistance = DS3D_DEFAULTMAXDISTANCE;
    DWORD dwMode = DS3DMODE_NORMAL;
};

// ---- interfaces -----------------------------------------------------------

namespace platform::audio {
struct BufferState;
}

class IDirectSoundBuffer : public RefCounted<IDirectSoundBuffer> {
  public:
    HRESULT QueryInterface(REFIID iid, void** out);

    HRESULT GetStatus(DWORD* status);
    HRESULT GetFormat(WAVEFORMATEX* format, DWORD size, DWORD* written);
    HRESULT SetFormat(const WAVEFORMATEX* format);
    HRESULT Lock(DWORD offset, DWORD bytes, void** ptr1, DWORD* bytes1, void** ptr2, DWORD* bytes2,
                 DWORD flags);
    HRESULT Unlock(void* ptr1, DWORD bytes1, void* ptr2, DWORD bytes2);
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags);
    HRESULT Stop();
    HRESULT Restore();
    HRESULT GetCurrentPosition(DWORD* play, DWORD* write);
    HRESULT SetCurrentPosition(DWORD position);
    HRESULT GetVolume(LONG* volume);
    HRESULT SetVolume(LONG volume);
    HRESULT GetPan(LONG* pan);
    HRESULT SetPan(LONG pan);
    HRESULT GetFrequency(DWORD* frequency);
    HRESULT SetFrequency(DWORD frequency);

    platform::audio::BufferState* State() const { return state; }

  private:
    friend class IDirectSound8;
    friend class RefCounted<IDirectSoundBuffer>;
    explicit IDirectSoundBuffer(platform::audio::BufferState* s) : state(s) {}
    ~IDirectSoundBuffer();
    platform::audio::BufferState* state;
};

class IDirectSoundNotify : public RefCounted<IDirectSoundNotify> {
  public:
    HRESULT SetNotificationPositions(DWORD count, const DSBPOSITIONNOTIFY* positions);

  private:
    friend class IDirectSoundBuffer;
    friend class RefCounted<IDirectSoundNotify>;
    explicit IDirectSoundNotify(IDirectSoundBuffer* b) : buffer(b) {}
    ~IDirectSoundNotify() { buffer->Release(); }
    IDirectSoundBuffer* buffer;  ///< holds a reference
};

class IDirectSound3DBuffer : public RefCounted<IDirectSound3DBuffer> {
  public:
    HRESULT SetAllParameters(const DS3DBUFFER* params, DWORD apply);
    HRESULT SetPosition(float x, float y, float z, DWORD apply);

  private:
    friend class IDirectSoundBuffer;
    friend class RefCounted<IDirectSound3DBuffer>;
    explicit IDirectSound3DBuffer(IDirectSoundBuffer* b) : buffer(b) {}
    ~IDirectSound3DBuffer() { buffer->Release(); }
    IDirectSoundBuffer* buffer;  ///< holds a reference
};

/// The listener faces +z with +y up, so its right is +x.
class IDirectSound3DListener : public RefCounted<IDirectSound3DListener> {
  public:
    HRESULT SetPosition(float x, float y, float z, DWORD apply);
    HRESULT GetPosition(D3DVECTOR* position);

  private:
    friend class IDirectSoundBuffer;
    friend class RefCounted<IDirectSound3DListener>;
    IDirectSound3DListener() = default;
    ~IDirectSound3DListener() = default;
};

class IDirectSound8 : public RefCounted<IDirectSound8> {
  public:
    HRESULT SetCooperativeLevel(HWND window, DWORD level);
    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** out, void* outer);
    HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** out);

  private:
    friend HRESULT DirectSoundCreate8(const GUID*, IDirectSound8**, void*);
    friend class RefCounted<IDirectSound8>;
    IDirectSound8() = default;
    ~IDirectSound8() = default;
    DWORD level = 0;
};

/// Creates the device (null GUID: the default output). Opens the mixer.
HRESULT DirectSoundCreate8(const GUID* device, IDirectSound8** out, void* outer);

namespace platform {

/// Mixed output: 44100 Hz, 2 channels, 16-bit.
constexpr int kMixRate = 44100;
constexpr int kMixFramesPerVideoFrame = 735;  ///< 44100 / 60

/// Receives every block of mixed frames (interleaved left/right), in order.
using MixTap = std::function<void(const std::int16_t* frames, int count)>;
/// Installs the one tap (null removes it). The tap runs on the mixing thread.
void SetMixTap(MixTap tap);

/// Steps the clock-driven mixer by `frames` sample frames (headless or when no
/// audio device could be opened; ignored while a device plays in real time).
void AdvanceAudio(int frames);
/// True when mixing follows presented frames instead of a device.
bool AudioIsClockDriven();
/// Forces clock-driven mixing even when windowed (tools that write files).
void UseClockDrivenAudio();
/// Pausing silences the output and holds every buffer where it is; resuming
/// plays each on from there. Buffers still start and stop as asked meanwhile.
void PauseSound(bool paused);

}  // namespace platform
