// Every level's screenshots, dump and sound are the same bytes with one
// drawing worker drawing every frame as with 1, 2 and 7 workers drawing only
// the frames looked at (headless runs do), and as with 7 drawing every frame;
// every frame sent to the workers (small ones included).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_process.h"

namespace {

TEST(Workers, EveryLevelGivesTheSameBytesWithAnyWorkersDrawingEveryFrameOrNot) {
    const std::string dir = MakeTempDir("workers");
    const std::vector<std::vector<std::string>> runs = {
        {"--level", "sprite"}, {"--level", "savanna"},  {"--level", "shooter"},
        {"--level", "tiger"},  {"--level", "breakout"}, {"--menu"}};
    struct Mode {
        std::string workers;
        bool everyFrame;
    };
    // The first is the reference.
    const Mode modes[] = {{"1", true}, {"1", false}, {"2", false}, {"7", false}, {"7", true}};
    for (const auto& run : runs) {
        const std::string name = run.back();
        std::vector<std::string> outputs;
        for (const Mode& mode : modes) {
            const std::string out = dir + "/" + name + mode.workers + (mode.everyFrame ? "e" : "");
            std::vector<std::string> args = {"VELMOR_THREADS=" + mode.workers,
                                             "VELMOR_PARALLEL_MIN_PIXELS=0", VELMOR_BINARY};
            args.insert(args.end(), {"--headless", "--frames", "150", "--dump", out + ".jsonl"});
            args.insert(args.end(), {"--audio-out", out + ".wav"});
            args.insert(args.end(), run.begin(), run.end());
            if (mode.everyFrame) args.push_back("--draw-every-frame");
            // The first frame, two frames in a row, and the last.
            for (const std::string frame : {"1", "60", "61", "150"})
                args.insert(args.end(), {"--screenshot", frame + ":" + out + "-" + frame + ".png"});
            const auto r = RunProcess("/usr/bin/env", args);
            ASSERT_EQ(r.status, 0) << name << ": " << r.err;
            std::string all = ReadFile(out + ".jsonl") + ReadFile(out + ".wav");
            for (const std::string frame : {"1", "60", "61", "150"})
                all += ReadFile(out + "-" + frame + ".png");
            outputs.push_back(all);
        }
        for (std::size_t i = 1; i < outputs.size(); ++i)
            EXPECT_TRUE(outputs[i] == outputs[0])
                << name << " with " << modes[i].workers << " workers"
                << (modes[i].everyFrame ? ", every frame" : "");
    }
}

}  // namespace
