// The command line of a scripted run, the browser build's test switch.

#include "app/ScriptedRun.h"
#include "platform/Platform.h"

#include "case_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool parse(std::vector<const char*> args, ScriptedRun& run, std::string& error) {
    args.insert(args.begin(), "vortalix");
    return parseScriptedRun(int(args.size()), args.data(), run, error);
}

} // namespace

TEST(ScriptedRun, NothingGivenLeavesItOff) {
    ScriptedRun run;
    std::string error;
    ASSERT_TRUE(parse({}, run, error));
    EXPECT_FALSE(run.on);
}

TEST(ScriptedRun, ReadsSeedFramesAndKeysInOrder) {
    ScriptedRun run;
    std::string error;
    ASSERT_TRUE(parse({"--seed", "4294967295", "--key", "30:up", "--frames", "200", "--key",
                       "150:f7", "--key", "151:37"},
                      run, error))
        << error;
    EXPECT_TRUE(run.on);
    EXPECT_EQ(run.seed, 4294967295u);
    EXPECT_EQ(run.frames, 200);
    ASSERT_EQ(run.keyCount, 3u);
    EXPECT_EQ(run.keys[0].frame, 30);
    EXPECT_EQ(run.keys[0].key, vk::Up);
    EXPECT_EQ(run.keys[1].key, vk::F7);
    EXPECT_EQ(run.keys[2].key, vk::Left);
}

class ScriptedRunRefused : public ::testing::TestWithParam<std::vector<const char*>> {};

namespace {

// {"--seed", "-1"} reads "Seed_Minus1"; an option without its value reads "Seed_NoValue".
std::string argumentsName(const ::testing::TestParamInfo<std::vector<const char*>>& info) {
    const std::vector<const char*>& args = info.param;
    std::string name = case_names::words(args[0]);
    if (args.size() == 1) return name + "_NoValue";
    for (size_t i = 1; i < args.size(); ++i) name += "_" + case_names::text(args[i]);
    return name;
}

} // namespace

TEST_P(ScriptedRunRefused, WithAReason) {
    ScriptedRun run;
    std::string error;
    EXPECT_FALSE(parse(GetParam(), run, error));
    EXPECT_FALSE(error.empty());
}

INSTANTIATE_TEST_SUITE_P(Mistakes, ScriptedRunRefused,
                         ::testing::Values(std::vector<const char*>{"--seed"},
                                           std::vector<const char*>{"--seed", "-1"},
                                           std::vector<const char*>{"--seed", "4294967296"},
                                           std::vector<const char*>{"--seed", "12x"},
                                           std::vector<const char*>{"--frames", ""},
                                           std::vector<const char*>{"--key", "30"},
                                           std::vector<const char*>{"--key", "30:nokey"},
                                           std::vector<const char*>{"--key", "-3:up"},
                                           std::vector<const char*>{"--zoom", "2"}),
                         argumentsName);

TEST(ScriptedRun, RefusesMoreKeysThanItHolds) {
    ScriptedRun run;
    std::vector<std::string> texts;
    for (size_t i = 0; i <= run.keys.size(); ++i) texts.push_back(std::to_string(i) + ":x");
    std::vector<const char*> args;
    for (const std::string& t : texts) {
        args.push_back("--key");
        args.push_back(t.c_str());
    }
    std::string error;
    EXPECT_FALSE(parse(args, run, error));
    args.resize(args.size() - 2);
    EXPECT_TRUE(parse(args, run, error)) << error;
    EXPECT_EQ(run.keyCount, run.keys.size());
}
