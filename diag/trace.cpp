#include "diag/trace.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cwchar>

#include "diag/error_table.h"
#include "platform/core/debug.h"

namespace {

constexpr std::size_t kMaxCapacity = 0x7FFFFFFF;
constexpr UINT kMbYesNo = 0x4;
constexpr int kIdYes = 6;

const ErrorEntry* Find(HRESULT result) {
    const auto code = static_cast<std::uint32_t>(result);
    const ErrorEntry* end = kErrorTable + kErrorTableSize;
    const ErrorEntry* e = std::lower_bound(
        kErrorTable, end, code, [](const ErrorEntry& a, std::uint32_t c) { return a.code < c; });
    return (e != end && e->code == code) ? e : nullptr;
}

template <typename Ch>
HRESULT CopyImpl(Ch* dest, std::size_t capacity, const Ch* src) {
    if (!dest || capacity == 0 || capacity > kMaxCapacity) return E_INVALIDARG;
    if (!src) {
        dest[0] = 0;
        return E_INVALIDARG;
    }
    std::size_t i = 0;
    for (; i + 1 < capacity && src[i]; ++i) dest[i] = src[i];
    dest[i] = 0;
    return src[i] ? kStrsafeInsufficientBuffer : S_OK;
}

template <typename Ch>
HRESULT LengthImpl(const Ch* text, std::size_t maximum, std::size_t* length) {
    if (!text || maximum > kMaxCapacity) return E_INVALIDARG;
    for (std::size_t i = 0; i < maximum; ++i)
        if (!text[i]) {
            if (length) *length = i;
            return S_OK;
        }
    return E_INVALIDARG;
}

}  // namespace

HRESULT BoundedCopy(char* dest, std::size_t capacity, const char* src) {
    return CopyImpl(dest, capacity, src);
}
HRESULT BoundedCopy(wchar_t* dest, std::size_t capacity, const wchar_t* src) {
    return CopyImpl(dest, capacity, src);
}

HRESULT BoundedFormat(char* dest, std::size_t capacity, const char* format, ...) {
    if (!dest || capacity == 0 || capacity > kMaxCapacity) return E_INVALIDARG;
    if (!format) {
        dest[0] = 0;
        return E_INVALIDARG;
    }
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(dest, capacity, format, args);
    va_end(args);
    if (n < 0) {
        dest[0] = 0;
        return E_INVALIDARG;
    }
    return static_cast<std::size_t>(n) >= capacity ? kStrsafeInsufficientBuffer : S_OK;
}

HRESULT BoundedFormat(wchar_t* dest, std::size_t capacity, const wchar_t* format, ...) {
    if (!dest || capacity == 0 || capacity > kMaxCapacity) return E_INVALIDARG;
    if (!format) {
        dest[0] = 0;
        return E_INVALIDARG;
    }
    va_list args;
    va_start(args, format);
    const int n = std::vswprintf(dest, capacity, format, args);
    va_end(args);
    dest[capacity - 1] = 0;
    // vswprintf reports -1 when the output did not fit; what fitted is kept.
    return n < 0 ? kStrsafeInsufficientBuffer : S_OK;
}

HRESULT BoundedLength(const char* text, std::size_t maximum, std::size_t* length) {
    if (length) *length = 0;
    return LengthImpl(text, maximum, length);
}
HRESULT BoundedLength(const wchar_t* text, std::size_t maximum, std::size_t* length) {
    return LengthImpl(text, maximum, length);
}

const char* GetErrorName(HRESULT result) {
    const ErrorEntry* e = Find(result);
    return e ? e->name : "Unknown";
}
const wchar_t* GetErrorNameWide(HRESULT result) {
    const ErrorEntry* e = Find(result);
    return e ? e->wideName : L"Unknown";
}
const char* GetErrorDescription(HRESULT result) {
    const ErrorEntry* e = Find(result);
    return (e && e->description) ? e->description : "n/a";
}
const wchar_t* GetErrorDescriptionWide(HRESULT result) {
    const ErrorEntry* e = Find(result);
    return (e && e->wideDescription) ? e->wideDescription : L"n/a";
}

HRESULT TraceError(const char* file, DWORD line, HRESULT result, const char* label, bool showBox) {
    char lineText[128];
    char output[3000];
    char resultText[256];
    BoundedFormat(lineText, sizeof lineText, "%lu", static_cast<unsigned long>(line));
    if (file) {
        BoundedFormat(output, sizeof output, "%s(%s): ", file, lineText);
        OutputDebugStringA(output);
    }
    std::size_t labelLength = 0;
    if (label && FAILED(BoundedLength(label, 1024, &labelLength))) labelLength = 0;
    if (labelLength != 0) {
        OutputDebugStringA(label);
        OutputDebugStringA(" ");
    }
    BoundedFormat(resultText, sizeof resultText, "%s (0x%08x)", GetErrorName(result),
                  static_cast<unsigned>(result));
    BoundedFormat(output, sizeof output, "hr=%s", resultText);
    OutputDebugStringA(output);
    OutputDebugStringA("\n");
    if (!showBox) return result;

    char fileText[260] = "";
    char callingText[1024] = "";
    if (file) BoundedCopy(fileText, sizeof fileText, file);
    if (labelLength != 0) BoundedFormat(callingText, sizeof callingText, "Calling: %s\n", label);
    BoundedFormat(output, sizeof output,
                  "File: %s\nLine: %s\nError Code: %s\n%sDo you want to debug the application?",
                  fileText, lineText, resultText, callingText);
    // There is no debugger to break into here: the box is shown (or written
    // to standard error when headless) and the answer is only looked at.
    const int answer =
        MessageBoxA(nullptr, output, "Unexpected error encountered", kMbYesNo | MB_ICONERROR);
    if (answer == kIdYes) OutputDebugStringA("debugger break requested\n");
    return result;
}

HRESULT TraceErrorWide(const char* file, DWORD line, HRESULT result, const wchar_t* label,
                       bool showBox) {
    wchar_t lineText[128];
    wchar_t output[3000];
    wchar_t resultText[256];
    BoundedFormat(lineText, 128, L"%lu", static_cast<unsigned long>(line));
    if (file) {
        BoundedFormat(output, 3000, L"%s(%ls): ", file, lineText);
        OutputDebugStringW(output);
    }
    std::size_t labelLength = 0;
    if (label && FAILED(BoundedLength(label, 1024, &labelLength))) labelLength = 0;
    if (labelLength != 0) {
        OutputDebugStringW(label);
        OutputDebugStringW(L" ");
    }
    BoundedFormat(resultText, 256, L"%ls (0x%08x)", GetErrorNameWide(result),
                  static_cast<unsigned>(result));
    BoundedFormat(output, 3000, L"hr=%ls", resultText);
    OutputDebugStringW(output);
    OutputDebugStringW(L"\n");
    if (!showBox) return result;

    char narrow[3000];
    BoundedFormat(narrow, sizeof narrow,
                  "File: %s\nLine: %ls\nError Code: %ls\n%s%ls%sDo you want to debug the "
                  "application?",
                  file ? file : "", lineText, resultText, labelLength ? "Calling: " : "",
                  labelLength ? label : L"", labelLength ? "\n" : "");
    MessageBoxA(nullptr, narrow, "Unexpected error encountered", kMbYesNo | MB_ICONERROR);
    return result;
}
