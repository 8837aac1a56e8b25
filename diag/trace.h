/// @file
/// Error trace: one line on the debug output (standard error) for a failed
/// platform call, naming the source file and line, the caller's label and the
/// result code with its symbolic name; returns the code unchanged.
#pragma once

#include <cstddef>

#include "platform/core/types.h"

constexpr HRESULT kStrsafeInsufficientBuffer = MakeHResult(0x8007007Au);

/// Writes "file(line): label hr=NAME (0xXXXXXXXX)\n" (the file part only when
/// file is not null, the label and its blank only when the label is not empty).
/// With showBox a Yes/No box offers to break into the debugger.
HRESULT TraceError(const char* file, DWORD line, HRESULT result, const char* label, bool showBox);
HRESULT TraceErrorWide(const char* file, DWORD line, HRESULT result, const wchar_t* label,
                       bool showBox);

/// The symbolic name of a result code ("Unknown" when it has none); never null.
const char* GetErrorName(HRESULT result);
const wchar_t* GetErrorNameWide(HRESULT result);
/// A one-sentence description ("n/a" when there is none); never null.
const char* GetErrorDescription(HRESULT result);
const wchar_t* GetErrorDescriptionWide(HRESULT result);

/// Bounded string operations: 0 on success, E_INVALIDARG for a capacity of 0
/// or above 0x7FFFFFFF (or a null argument), 0x8007007A when the text was cut.
/// The destination is always terminated when the capacity is valid.
HRESULT BoundedCopy(char* dest, std::size_t capacity, const char* src);
HRESULT BoundedCopy(wchar_t* dest, std::size_t capacity, const wchar_t* src);
HRESULT BoundedFormat(char* dest, std::size_t capacity, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
HRESULT BoundedFormat(wchar_t* dest, std::size_t capacity, const wchar_t* format, ...);
HRESULT BoundedLength(const char* text, std::size_t maximum, std::size_t* length);
HRESULT BoundedLength(const wchar_t* text, std::size_t maximum, std::size_t* length);
