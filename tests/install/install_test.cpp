// `cmake --install` into a temporary prefix: the installed velmor runs from
// any folder and reads the content installed beside it; the desktop entry and
// the manual page are installed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "game/velmor_levels.h"
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
          "share/applications/velmor.desktop", "share/icons/hicolor/96x96/apps/velmor.png",
          "share/man/man6/velmor.6"})
        EXPECT_TRUE(fs::exists(prefix + "/" + file)) << file;
    // The desktop entry opens the menu, and offers each level as an action of its own.
    const std::string desktop = ReadFile(prefix + "/share/applications/velmor.desktop");
    EXPECT_NE(desktop.find("\nExec=velmor --menu\n"), std::string::npos);
    const std::size_t at = desktop.find("\nActions=");
    ASSERT_NE(at, std::string::npos);
    const std::size_t line = at + 9;
    std::string actions = ";";  // each name between semicolons
    actions += desktop.substr(line, desktop.find('\n', line) - line);
    for (const LevelInfo& level : VelmorGame().levels) {
        const std::string name = level.name;
        EXPECT_NE(actions.find(";" + name + ";"), std::string::npos) << name;
        EXPECT_NE(desktop.find("[Desktop Action " + name + "]\nName="), std::string::npos) << name;
        EXPECT_NE(desktop.find("\nExec=velmor --level " + name + "\n"), std::string::npos) << name;
    }

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
