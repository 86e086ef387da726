// The patch tools of murmelwerk-render, run as the built program: --save-as and --dump-json.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <tuple>

#include "../i18n/language_test_support.hpp"
#include "base/utf.hpp"
#include "engine/engine.hpp"
#include "patch/config_file.hpp"
#include "patch/patch.hpp"

namespace mw {
namespace {

namespace fs = std::filesystem;

struct RunResult {
    int status = -1;
    std::string out;
};

// Runs murmelwerk-render with arguments (already quoted as needed); captures standard output.
RunResult Render(const std::string& args) {
    const std::string cmd = "\"" + std::string(MW_BIN_DIR) + "/murmelwerk-render\" " + args;
    RunResult r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n = 0;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int raw = pclose(p);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

std::string ReadBytes(const fs::path& path) {
    return test::ReadBytes(path.string());
}

class ConfigCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(fs::path(MW_BIN_DIR) / "murmelwerk-render"))
            GTEST_SKIP() << "murmelwerk-render not built";
    }
    test::TempFolder folder;
    const fs::path& dir = folder.Path();
};

TEST_F(ConfigCliTest, SaveAsWritesTheSameBytes) {
    Engine engine;
    Patch patch(engine);
    Module* in = patch.CreateModule(ModuleKind::ControlInput, {5, 6});
    Module* osc = patch.CreateModule(ModuleKind::AudioOsc, {881, 348});
    osc->Link(osc::Amplitude).source = in->slot[0].load();
    osc->Link(osc::Frequency).value = 0.3;
    patch.CreateModule(ModuleKind::AudioOutputAnalyzer, {-20, 40});
    const fs::path source = dir / "in.mwc";
    const fs::path target = dir / "out.mwc";
    ASSERT_EQ(SaveConfigurationFile(patch, source.string()), ConfigStatus::Ok);
    EXPECT_EQ(Render("\"" + source.string() + "\" --save-as \"" + target.string() + "\"").status, 0);
    EXPECT_EQ(ReadBytes(target), ReadBytes(source));
}

TEST_F(ConfigCliTest, DumpJsonShowsTheModelValues) {
    const std::string text =
        "\xEF\xBB\xBF## Murmelwerk Configuration (MWC) ##\r\n"
        "\r\n[Module_ControlModulator]\r\nName=Mod\r\nPosition=1,2\r\nEffect=AM\r\n"
        "InputSource=Speed\r\nDoSignedOutput=1\r\n"
        "\r\n[Module_AudioOsc]\r\nName=Osc\r\nPosition=881, 348\r\n"
        "AmplitudeControl=Slider box\r\nAmplitudeControlSubType=1\r\n"
        "FrequencyControl=Mod\r\nBaseFrequencyValue=0.3\r\nOutputDeviceID=2 (R)\r\n"
        "\r\n[Module_AudioOutput]\r\nName=Out\r\nInputModule=Osc\r\nOutputDeviceID=-1 (L+R)\r\n"
        "\r\n[Module_ControlSequence]\r\nName=Seq\r\nSequenceValue=C4%20D4\\nE4\r\n"
        "\r\n[Module_ControlSensor]\r\nName=S 1\r\n"
        "\r\n[Module_ControlMIDIControllerInput]\r\nName=Slider box\r\n"
        "Controller1=-7\r\nController2=64\r\n";
    const fs::path source = dir / "dump.mwc";
    test::WriteBytes(source.string(), ToFileBytes(utf::Utf8ToUtf16(text)));
    const RunResult r = Render("\"" + source.string() + "\" --dump-json");
    ASSERT_EQ(r.status, 0);
    const nlohmann::json m = nlohmann::json::parse(r.out).at("modules");
    ASSERT_EQ(m.size(), 6u);
    // Save order is kind order: modulator 1, oscillator 2, output 3, sequence 20, sensor 22, sliders 34.
    const char* const kinds[] = {"Module_ControlModulator", "Module_AudioOsc",
                                 "Module_AudioOutput",      "Module_ControlSequence",
                                 "Module_ControlSensor",    "Module_ControlMIDIControllerInput"};
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(m[i].at("kind"), kinds[i]) << i;
    EXPECT_EQ(m[0].at("name"), "Mod");
    EXPECT_EQ(m[1].at("position"), nlohmann::json::array({881, 348}));
    EXPECT_EQ(m[0].at("keys").size(), 29u); // every key after Name and Position
    ASSERT_EQ(m[5].at("slots").size(), 2u);
    EXPECT_EQ(m[2].at("slots"), nlohmann::json::array({0})); // a sink lists its SinkSlot
    // Sources are SourceIds (here the slider box's second output, SubType 1), enumerations numbers,
    // devices OutputDeviceIds, sequences unescaped texts.
    // clang-format off
    const std::tuple<size_t, const char*, nlohmann::json> keys[] = {
        {0, "Effect", 0}, {0, "InputSource", 1003}, {0, "DoSignedOutput", true},
        {1, "AmplitudeControl", m[5].at("slots")[1]}, {1, "AmplitudeControlSubType", 1},
        {1, "BaseFrequencyValue", 0.3}, {1, "NoiseControl", -1}, {1, "OutputDeviceID", 202},
        {2, "InputModule", m[1].at("slots")[0]}, {3, "SequenceValue", "C4 D4\r\nE4"},
        {5, "Controller1", -7}, {5, "Controller2", 64}};
    // clang-format on
    for (const auto& [i, key, value] : keys) EXPECT_EQ(m[i].at("keys").at(key), value) << key;
}

TEST_F(ConfigCliTest, ErrorsAndUsage) {
    const fs::path source = dir / "empty.mwc";
    test::WriteBytes(source.string(), "\xFF\xFE");
    const std::string empty = "\"" + source.string() + "\"";
    const std::pair<std::string, int> runs[] = {
        {"\"" + (dir / "missing.mwc").string() + "\" --dump-json", 1},
        {empty + " --save-as \"" + (dir / "no/such/dir.mwc").string() + "\"", 1},
        {"--save-as x.mwc", 2},
        {"--bogus", 2},
        {empty, 2}, // nothing to do
        {"", 2}};
    for (const auto& [args, status] : runs) EXPECT_EQ(Render(args + " 2>/dev/null").status, status) << args;
    const RunResult dump = Render(empty + " --dump-json"), help = Render("--help");
    EXPECT_EQ(std::tuple(dump.status, help.status), std::tuple(0, 0));
    EXPECT_EQ(nlohmann::json::parse(dump.out), nlohmann::json::parse(R"({"modules": []})"));
    EXPECT_TRUE(help.out.find("--dump-json") != std::string::npos &&
                help.out.find("--save-as") != std::string::npos)
        << help.out;
}

} // namespace
} // namespace mw
