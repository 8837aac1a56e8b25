// The velmor binary as users and scripts run it.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <set>
#include <sstream>

#include "game/velmor_levels.h"
#include "support/run_process.h"

namespace fs = std::filesystem;

namespace {

TEST(Cli, BadOptionsGiveOneLineAndStatusTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},
        {"--frames"},
        {"--frames", "12x"},
        {"--level", "chess"},
        {"--menu", "--level", "tiger"},
        {"--menu=yes"},
        {"--screenshot", "nocolon.png"},
        {"--screenshot", "0:zero.png"},
        {"--assets", "/nonexistent/velmor/content", "--headless", "--frames", "1"},
        {"--headless", "--frames", "1", "--audio-out", "/nonexistent/dir/x.wav"},
        {"--headless", "--frames", "2", "--screenshot", "5:late.png"},  // never presented
        {"--headless", "--input", "/nonexistent/script.txt"},
        {"--headless", "--frames", "1", "--record", "/nonexistent/dir/r.txt"},
    };
    for (const auto& args : bad) {
        const auto r = RunProcess(VELMOR_BINARY, args);
        EXPECT_TRUE(r.status == 2 && r.out.empty()) << args[0];
        EXPECT_TRUE(Count(r.err, "\n") == 1 && r.err.starts_with("velmor: "))
            << args[0] << ": " << r.err;
    }
}

TEST(Cli, HelpVersionAndZeroFramesExitZero) {
    for (std::vector<std::string> args :
         {std::vector<std::string>{"--help"}, {"--version"}, {"--headless", "--frames", "0"}})
        EXPECT_EQ(RunProcess(VELMOR_BINARY, args).status, 0) << args[0];
    EXPECT_EQ(RunProcess(VELMOR_BINARY, {"--version"}).out.rfind("velmor ", 0), 0u);
}

// Words separated by single blanks, however the text was broken into lines.
std::string Words(const std::string& text) {
    std::istringstream in(text);
    std::string words;
    for (std::string word; in >> word;) words += word + " ";
    return words;
}

TEST(Cli, HelpListsEveryLevelWithItsDescriptionAndControls) {
    const std::string help = Words(RunProcess(VELMOR_BINARY, {"--help"}).out);
    for (const LevelInfo& level : VelmorGame().levels) {
        EXPECT_NE(help.find(Words(level.name + std::string(" ") + level.description)),
                  std::string::npos)
            << level.name;
        EXPECT_NE(help.find(Words(std::string("controls: ") + level.controls)), std::string::npos)
            << level.name;
    }
}

// The manual page keeps up with --help: it names every long option that --help
// prints, and carries each level's description and controls.
TEST(Cli, ManualPageNamesEveryOptionAndLevelThatHelpDoes) {
    const std::string help = RunProcess(VELMOR_BINARY, {"--help"}).out;
    // roff writes a minus sign as \-; the words are compared in lower case.
    std::string page = ReadFile(VELMOR_SOURCE_DIR "/packaging/velmor.6");
    for (auto at = page.find("\\-"); at != std::string::npos; at = page.find("\\-", at))
        page.erase(at, 1);
    // The long options --help names: "--" and a lower-case word, hyphens inside.
    auto isName = [](char c) { return (c >= 'a' && c <= 'z') || c == '-'; };
    std::set<std::string> options;
    for (auto at = help.find("--"); at != std::string::npos; at = help.find("--", at + 2)) {
        auto end = at + 2;
        while (end < help.size() && isName(help[end])) ++end;
        if (end > at + 2 && help[at + 2] != '-') options.insert(help.substr(at, end - at));
    }
    EXPECT_GE(options.size(), 13u);
    // Each appears in the page as a whole name, not only as the start of a longer one.
    for (const std::string& name : options) {
        bool whole = false;
        for (auto at = page.find(name); at != std::string::npos && !whole;
             at = page.find(name, at + 1))
            whole = at + name.size() >= page.size() || !isName(page[at + name.size()]);
        EXPECT_TRUE(whole) << name;
    }
    auto phrase = [](const std::string& text) {
        std::string words = Words(text);
        for (char& c : words) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return words.substr(0, words.size() - 1);
    };
    const std::string manual = phrase(page);
    for (const LevelInfo& level : VelmorGame().levels) {
        EXPECT_NE(manual.find(phrase(level.description)), std::string::npos) << level.name;
        EXPECT_NE(manual.find(phrase(level.controls)), std::string::npos) << level.name;
    }
}

// An --assets folder with none of a level's files is refused for that level;
// any one of them alone (the tiger's mesh, say) lets it run.
TEST(Cli, AssetsFolderNeedsOneOfTheLevelsFiles) {
    const std::string dir = MakeTempDir("assets");
    for (const LevelInfo& level : VelmorGame().levels) {
        const std::vector<std::string> args = {"--headless", "--frames", "0", "--level",
                                               level.name,   "--assets", dir};
        const auto refused = RunProcess(VELMOR_BINARY, args);
        EXPECT_EQ(refused.status, 2);
        EXPECT_EQ(refused.err, "velmor: --assets: '" + dir + "' holds none of the " + level.name +
                                   " level's files\n");
        for (const char* file : level.contentFiles) {
            fs::copy_file(fs::path(VELMOR_CONTENT_DIR) / file, fs::path(dir) / file);
            EXPECT_EQ(RunProcess(VELMOR_BINARY, args).status, 0) << level.name << " " << file;
            fs::remove(fs::path(dir) / file);
        }
    }
    fs::remove_all(dir);
}

}  // namespace
