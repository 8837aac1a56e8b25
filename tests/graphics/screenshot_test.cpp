// --screenshot, run in-process: the file is a 1024 x 768 PNG of exactly the
// image that was presented in that frame.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/testing/test_hooks.h"
#include "app/run.h"
#include "platform/core/image.h"
#include "platform/core/png.h"
#include "platform/core/platform.h"
#include "platform/core/window.h"

namespace {

namespace fs = std::filesystem;

TEST(Screenshot, WritesThePresentedFrameAsPng) {
    const fs::path cwd = fs::current_path();
    const fs::path dir = fs::temp_directory_path() / ("velmor_shot_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string second = (dir / "two.png").string(), third = (dir / "three.png").string();
    platform::ResetWindowsForTest();
    std::vector<std::uint32_t> presented;
    const int id = platform::AddPresentListener(
        [&](std::int64_t frame, const std::uint32_t* pixels, int w, int h) {
            if (frame == 2) presented.assign(pixels, pixels + w * h);
        });
    const std::string a = "2:" + second, b = "3:" + third;
    const char* argv[] = {"velmor", "--headless", "--frames",     "3",
                          "--screenshot", a.c_str(), "--screenshot", b.c_str()};
    const int rc = RunVelmor(8, argv);
    platform::RemovePresentListener(id);
    fs::current_path(cwd);
    EXPECT_EQ(rc, 0);
    int w = 0, h = 0;
    std::vector<std::uint32_t> png;
    ASSERT_TRUE(platform::ReadImageFile(second, &png, &w, &h, nullptr));
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    ASSERT_EQ(presented.size(), png.size());
    for (auto& p : presented) p |= 0xFF000000u;  // written opaque
    EXPECT_TRUE(png == presented);
    EXPECT_TRUE(fs::exists(third));

    // A frame the run never reaches is reported, not passed over.
    platform::ResetWindowsForTest();
    const std::string late = "5:" + (dir / "late.png").string();
    const char* argv2[] = {"velmor", "--headless", "--frames", "2", "--screenshot", late.c_str()};
    EXPECT_EQ(RunVelmor(6, argv2), 2);
    fs::current_path(cwd);
    EXPECT_FALSE(fs::exists(dir / "late.png"));
    fs::remove_all(dir);
}

}  // namespace
