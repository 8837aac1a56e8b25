#include "diag/trace.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "diag/error_table.h"
#include "platform/core/debug.h"
#include "support/driver_spy.h"

namespace {

std::string Trace(const char* file, DWORD line, HRESULT hr, const char* label, bool box = false) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(TraceError(file, line, hr, label, box), hr);
    return testing::internal::GetCapturedStderr();
}

TEST(TraceError, WritesTheLineByteForByte) {
    EXPECT_EQ(Trace(nullptr, 0, MakeHResult(0x88780096u), nullptr),
              "hr=DSERR_BUFFERLOST (0x88780096)\n");
    EXPECT_EQ(Trace("sound/dsutil.cpp", 42, E_FAIL, "CreateSoundBuffer"),
              "sound/dsutil.cpp(42): CreateSoundBuffer hr=E_FAIL (0x80004005)\n");
    EXPECT_EQ(Trace("f", 7, E_INVALIDARG, ""), "f(7): hr=E_INVALIDARG (0x80070057)\n");
    EXPECT_EQ(Trace(nullptr, 0, MakeHResult(0x12345678u), nullptr), "hr=Unknown (0x12345678)\n");
    // A label not terminated within 1024 characters is treated as absent.
    EXPECT_EQ(Trace(nullptr, 0, E_FAIL, std::string(1100, 'a').c_str()),
              "hr=E_FAIL (0x80004005)\n");
    const std::string fits(1023, 'b');
    EXPECT_EQ(Trace(nullptr, 0, E_FAIL, fits.c_str()), fits + " hr=E_FAIL (0x80004005)\n");
    testing::internal::CaptureStderr();
    TraceErrorWide("w.cpp", 5, MakeHResult(0x88780096u), L"Play", false);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "w.cpp(5): Play hr=DSERR_BUFFERLOST (0x88780096)\n");
}

TEST(TraceError, BoxTextListsFileLineCodeAndCall) {
    const DriverSpy spy;
    Trace(nullptr, 12, E_FAIL, nullptr, true);
    Trace("a.cpp", 3, E_FAIL, "Lock", true);
    Trace("a.cpp", 3, E_FAIL, "Lock", false);
    EXPECT_EQ(DriverSpy::boxes, 2);
    EXPECT_EQ(DriverSpy::lastBox,
              "Unexpected error encountered: File: a.cpp\nLine: 3\nError Code: E_FAIL "
              "(0x80004005)\nCalling: Lock\nDo you want to debug the application?");
}

TEST(ErrorNames, EveryRowIsFoundByItsCodeAndSharedValuesAreJoined) {
    std::size_t joined = 0;
    for (std::size_t i = 0; i < kErrorTableSize; ++i) {
        const auto code = static_cast<HRESULT>(kErrorTable[i].code);
        ASSERT_STREQ(GetErrorName(code), kErrorTable[i].name) << i;
        ASSERT_STREQ(GetErrorNameWide(code), kErrorTable[i].wideName) << i;
        joined += std::strstr(kErrorTable[i].name, " & ") != nullptr;
    }
    EXPECT_GT(joined, 10u);  // two DirectX families landed on one value
    EXPECT_STREQ(GetErrorName(MakeHResult(0x7FFFFFFFu)), "Unknown");
    EXPECT_STREQ(GetErrorDescription(MakeHResult(0x88760827u)), "n/a");  // a row without one
    EXPECT_STREQ(GetErrorDescriptionWide(E_FAIL),
                 L"The operation failed for an unspecified reason.");
}

// Copy and format cut at the capacity, always terminated; no room is an error.
TEST(BoundedStrings, TruncateTerminateAndLookNoFurtherThanTheMaximum) {
    char buf[8];
    EXPECT_EQ(BoundedCopy(buf, 4, "abcdef"), kStrsafeInsufficientBuffer);
    EXPECT_STREQ(buf, "abc");
    EXPECT_EQ(BoundedCopy(buf, 0, "a"), E_INVALIDARG);
    EXPECT_EQ(BoundedFormat(buf, sizeof buf, "%s", "0123456789"), kStrsafeInsufficientBuffer);
    EXPECT_STREQ(buf, "0123456");
    wchar_t w[4];
    EXPECT_EQ(BoundedFormat(w, 4, L"%ls", L"abcdef"), kStrsafeInsufficientBuffer);
    EXPECT_STREQ(w, L"abc");
    const char unterminated[3] = {'a', 'b', 'c'};
    std::size_t n = 99;
    EXPECT_EQ(BoundedLength(unterminated, 3, &n), E_INVALIDARG);
    EXPECT_EQ(n, 0u);  // the narrow form resets it
    EXPECT_EQ(BoundedLength(static_cast<const char*>(nullptr), 5, &n), E_INVALIDARG);
}

}  // namespace
