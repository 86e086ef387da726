// The patch tools of murmelwerk-render, run as the built program: --save-as and --dump-json.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "engine/engine.hpp"
#include "i18n/utf.hpp"
#include "model/config_file.hpp"
#include "model/patch.hpp"

namespace mw {
namespace {

namespace fs = std::filesystem;

struct RunResult {
    int status = -1;
    std::string out;
};

// Runs murmelwerk-render with arguments (already quoted as needed); captures standard output.
RunResult Render(const std::string& args, const std::string& env = {}) {
    const std::string cmd = env + " \"" + std::string(MW_BIN_DIR) + "/murmelwerk-render\" " + args;
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
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class ConfigCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("mw_cli_test_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        if (!fs::exists(fs::path(MW_BIN_DIR) / "murmelwerk-render"))
            GTEST_SKIP() << "murmelwerk-render not built";
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
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

    const RunResult r = Render("\"" + source.string() + "\" --save-as \"" + target.string() + "\"");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(ReadBytes(target), ReadBytes(source));
    EXPECT_EQ(ReadBytes(target).substr(0, 6), std::string("\xFF\xFE#\0#\0", 6));

    // The process locale does not change the numbers.
    fs::remove(target);
    const RunResult german =
        Render("\"" + source.string() + "\" --save-as \"" + target.string() + "\"", "LC_ALL=de_DE.UTF-8");
    EXPECT_EQ(german.status, 0);
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
    {
        std::ofstream out(source, std::ios::binary);
        const std::string bytes = ToFileBytes(utf::Utf8ToUtf16(text));
        out.write(bytes.data(), std::streamsize(bytes.size()));
    }
    const RunResult r = Render("\"" + source.string() + "\" --dump-json");
    ASSERT_EQ(r.status, 0);
    const nlohmann::json j = nlohmann::json::parse(r.out);
    const auto& m = j.at("modules");
    ASSERT_EQ(m.size(), 6u);
    // Save order: kind order (modulator 1, oscillator 2, output 3, sequence 20, sensor 22, sliders 34).
    std::vector<std::string> kinds;
    for (const auto& e : m) kinds.push_back(e.at("kind"));
    EXPECT_EQ(kinds, (std::vector<std::string>{"Module_ControlModulator", "Module_AudioOsc",
                                               "Module_AudioOutput", "Module_ControlSequence",
                                               "Module_ControlSensor", "Module_ControlMIDIControllerInput"}));
    const auto& mod = m[0];
    const auto& osc = m[1];
    const auto& out = m[2];
    const auto& sensor = m[4];
    const auto& sliders = m[5];
    EXPECT_EQ(mod.at("name"), "Mod");
    EXPECT_EQ(mod.at("position"), nlohmann::json::array({1, 2}));
    EXPECT_EQ(osc.at("position"), nlohmann::json::array({881, 348}));
    EXPECT_EQ(mod.at("keys").at("Effect"), 0);
    EXPECT_EQ(mod.at("keys").at("InputSource"), 1003);
    EXPECT_EQ(mod.at("keys").at("DoSignedOutput"), true);
    EXPECT_EQ(mod.at("keys").at("DoLinearInput"), false);
    EXPECT_EQ(mod.at("keys").at("InputControlSensitivity"), 100.0);
    EXPECT_EQ(mod.at("keys").size(), 29u); // every key after Name and Position
    // Sources as SourceIds; the slider box's second output has SubType 1.
    ASSERT_EQ(sliders.at("slots").size(), 2u);
    EXPECT_EQ(osc.at("keys").at("AmplitudeControl"), sliders.at("slots")[1]);
    EXPECT_EQ(osc.at("keys").at("AmplitudeControlSubType"), 1);
    EXPECT_EQ(osc.at("keys").at("FrequencyControl"), mod.at("slots")[0]);
    EXPECT_EQ(osc.at("keys").at("BaseFrequencyValue"), 0.3);
    EXPECT_EQ(osc.at("keys").at("NoiseControl"), -1);
    EXPECT_EQ(osc.at("keys").at("OutputDeviceID"), 202);
    EXPECT_EQ(out.at("keys").at("InputModule"), osc.at("slots")[0]);
    EXPECT_EQ(out.at("keys").at("OutputDeviceID"), -1);
    ASSERT_EQ(out.at("slots").size(), 1u); // a sink lists its SinkSlot
    EXPECT_EQ(out.at("slots")[0], 0);
    EXPECT_EQ(sensor.at("slots").size(), 2u);
    EXPECT_EQ(m[3].at("keys").at("SequenceValue"), "C4 D4\r\nE4");
    EXPECT_EQ(sliders.at("keys").at("Controller1"), -7);
    EXPECT_EQ(sliders.at("keys").at("Controller2"), 64);
    EXPECT_EQ(sliders.at("keys").at("InputDeviceID"), -555);
}

TEST_F(ConfigCliTest, ErrorsAndUsage) {
    const std::string quiet = " 2>/dev/null";
    EXPECT_EQ(Render("\"" + (dir / "missing.mwc").string() + "\" --dump-json" + quiet).status, 1);
    const fs::path source = dir / "empty.mwc";
    { std::ofstream(source, std::ios::binary) << std::string("\xFF\xFE", 2); }
    EXPECT_EQ(
        Render("\"" + source.string() + "\" --save-as \"" + (dir / "no/such/dir.mwc").string() + "\"" + quiet)
            .status,
        1);
    const RunResult empty = Render("\"" + source.string() + "\" --dump-json");
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(nlohmann::json::parse(empty.out), nlohmann::json::parse(R"({"modules": []})"));

    EXPECT_EQ(Render("--save-as x.mwc" + quiet).status, 2);
    EXPECT_EQ(Render("--bogus" + quiet).status, 2);
    EXPECT_EQ(Render("\"" + source.string() + "\"" + quiet).status, 2); // nothing to do
    EXPECT_EQ(Render(quiet).status, 2);
    const RunResult help = Render("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--dump-json"), std::string::npos);
    EXPECT_NE(help.out.find("--save-as"), std::string::npos);
}

} // namespace
} // namespace mw
