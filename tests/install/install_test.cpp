// `cmake --install` into a temporary prefix: the installed velmor runs from
// any folder and reads the content installed beside it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/run_process.h"

namespace fs = std::filesystem;

namespace {

TEST(Install, TheInstalledGameRunsFromAnyFolderOnItsOwnContent) {
    const std::string cmake = Which("cmake");
    if (cmake.empty()) GTEST_SKIP() << "cmake is not on PATH";
    const std::string prefix = MakeTempDir("prefix");
    const auto install = RunProcess(
        cmake, {"--install", fs::path(VELMOR_BINARY).parent_path().string(), "--prefix", prefix});
    ASSERT_EQ(install.status, 0) << install.out << install.err;
    for (const char* file :
         {"bin/velmor", "bin/velmor-play", "share/velmor/background.bmp", "share/velmor/magnum.wav",
          "share/applications/velmor.desktop", "share/icons/hicolor/96x96/apps/velmor.png"})
        EXPECT_TRUE(fs::exists(prefix + "/" + file)) << file;
    EXPECT_NE(ReadFile(prefix + "/share/applications/velmor.desktop").find("Exec=velmor"),
              std::string::npos);

    // Another background in the installed content shows that the installed
    // content is the one read, not the build's.
    const std::string elsewhere = MakeTempDir("elsewhere");
    auto run = [&](const std::string& program) {
        return RunProcess(program, {"--headless", "--frames", "60", "--screenshot", "1:shot.png"},
                          {}, elsewhere);
    };
    auto r = run(prefix + "/bin/velmor");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string asInstalled = ReadFile(elsewhere + "/shot.png");
    fs::copy_file(prefix + "/share/velmor/giraffe.bmp", prefix + "/share/velmor/background.bmp",
                  fs::copy_options::overwrite_existing);
    r = run(prefix + "/bin/velmor");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(ReadFile(elsewhere + "/shot.png"), asInstalled);
    r = run(VELMOR_BINARY);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(elsewhere + "/shot.png"), asInstalled);
    fs::remove_all(prefix);
}

}  // namespace
