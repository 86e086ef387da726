// The settings file: defaults, the exact bytes, reading with its rejections and its silent ends,
// the safe replacement of the file, and where the file lives.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "../i18n/language_test_support.hpp"
#include "app/settings/settings_file.hpp"

namespace mw {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;
using Bytes = std::vector<uint8_t>;

std::string ToString(const Bytes& b) {
    return std::string(b.begin(), b.end());
}

void Append(Bytes& out, std::initializer_list<int> bytes) {
    for (int b : bytes) out.push_back(uint8_t(b));
}

// A settings record in which every field differs from its default. Its texts hold UTF-8 and Latin-1
// bytes: a text is any bytes.
ProgramSettings Unusual() {
    // clang-format off
    ProgramSettings s{.SettingsFlag0 = 0xA5, .SettingsText0 = "Kept text", .LanguageCode = 1000,
        .AgreementAccepted = 1, .PlainStatusColours = 7, .FirstStartDone = 1, .CheckForUpdateAtStart = 0,
        .AutoStartSound = 1, .UserLanguageFile = "/home/anna/Sprachen/schwäbisch.txt", .SnapToEdges = 0,
        .WrapMouse = 0, .SettingsFlag22 = 22, .WaveFolder = "/media/alt/Aufnahmen-\xE4\xF6\xFC",
        .ConfigurationPath = "/home/anna/patches/Luftsäge 日本語.mwc", .ConfigurationFolder = "/home/anna",
        .RealTimePriority = 1, .NewSliderSigned = 1, .ShowTrayIcon = 1, .TrayIconOnlyWhenMinimized = 0,
        .HideTaskbarButtonWhenMinimized = 1, .MinimizeShortlyAfterStart = 1, .MinimizeOnClose = 1,
        .MinimizeOnEsc = 1, .WindowRect = {-1280, 24, 640, 1050}, .WindowWasMaximized = 1,
        .TrayQuestionAsked = 1, .CloseQuestionAsked = 1, .EscQuestionAsked = 1, .ShowStatusIndicators = 0,
        .OutputLatencyMs = 120, .InputLatencyMs = 3, .ControlRate = 1500.0, .BlockTime = 2.125,
        .FeedbackSent = 1, .FeedbackShowAgain = 1};
    // clang-format on
    for (int i = 0; i < kColourSlotCount; ++i)
        s.ColourSettings[size_t(i)] = ColourRefFromRgb(uint8_t(i + 1), 0x20, 0x30);
    return s;
}

TEST(SettingsFile, DefaultSettingsAreWrittenByteForByte) {
    Bytes expected;
    Append(expected,
           {0x7C, 0x55, 0xD3, 0x92, 0x6E, 0x94, 0x45, 0x48, 0xA5, 0x51, 0xF5, 0xF1, 0xD0, 0xAF, 0xE4, 0x69});
    Append(expected, {22, 0,   0, 0,   'M', 0,   'u', 0,   'r', 0,   'm', 0, 'e',
                      0,  'l', 0, 'w', 0,   'e', 0,   'r', 0,   'k', 0,   0, 0});
    Append(expected, {1, 0, 0, 0, 0, 0, 0, 0});    // version 1.0
    expected.insert(expected.end(), 16, 0);        // reserved
    Append(expected, {0, 2, 0, 0, 0, 0, 0, 0, 0}); // SettingsFlag0, SettingsText0, LanguageCode
    Append(expected, {0, 1, 0, 0, 0});             // tray and minimising flags
    Append(expected, {0, 0});                      // AgreementAccepted, PlainStatusColours
    expected.insert(expected.end(), 16 + 4, 0);    // WindowRect, WindowWasMaximized
    Append(expected, {0, 0, 0, 0, 0});             // FirstStartDone, MinimizeOnEsc, three questions
    Append(expected, {1, 0});                      // CheckForUpdateAtStart, AutoStartSound
    Append(expected, {2, 0, 0, 0, 0, 0});          // UserLanguageFile: count 2 and one NUL unit
    Append(expected, {1, 1, 0, 1});                // SnapToEdges, WrapMouse, SettingsFlag22, indicators
    Append(expected, {50, 0, 0, 0, 20, 0, 0, 0});  // latencies
    for (int i = 0; i < 3; ++i) Append(expected, {2, 0, 0, 0, 0, 0}); // the three folders and paths
    Append(expected, {0xFF, 0xFF, 0xFF, 0, 0, 0, 0x7F, 0, 0xCC, 0xDD, 0xDD, 0, 0, 0, 0x7F, 0}); // slots 1-4
    Append(expected, {0x89, 0x89, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0});       // slots 7-10
    Append(expected,
           {0x3F, 0x7F, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0, 0x89, 0x98, 0xFF, 0, 0xC8, 0xC8, 0xC8, 0}); // 11-14
    expected.insert(expected.end(), 16, 0);                 // slots 15-18
    Append(expected, {0xC8, 0xFF, 0xFF, 0, 0x32, 0, 0, 0}); // slots 5, 6
    Append(expected, {0, 0, 0, 0, 0, 0x40, 0xAF, 0x40});    // 4000.0
    Append(expected, {0, 0, 0, 0, 0, 0, 0, 0x40});          // 2.0
    Append(expected, {0, 0, 0, 0});
    EXPECT_EQ(expected.size(), 237u);
    EXPECT_EQ(SerializeSettings(ProgramSettings{}), expected);
}

TEST(SettingsFile, EveryFieldRoundTrips) {
    TempFolder folder;
    const std::string path = folder.File("murmelwerk.MWS");
    const ProgramSettings saved = Unusual();
    ASSERT_TRUE(SaveSettings(saved, path));
    ProgramSettings loaded;
    const SettingsLoadResult result = LoadSettings(loaded, path);
    EXPECT_EQ(std::tuple(result.outcome, result.complete, result.chooseLanguage, result.messageNumber),
              std::tuple(SettingsLoadOutcome::Loaded, true, false, 0));
    EXPECT_EQ(loaded, saved);
    // Empty texts are read as empty, not left as they were.
    ProgramSettings back = Unusual();
    ParseSettings(back, SerializeSettings(ProgramSettings{}), false);
    EXPECT_EQ(back, ProgramSettings{});
}

// Values the program cannot use are taken to the nearest usable one: the sliders' ranges (0..512 and
// 2..512 ms), 0..48000 Hz; a rate or block time that is no number at all is the default.
TEST(SettingsFile, UnusableNumbersAreTakenToTheNearestUsableValue) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        int32_t out, in;
        double rate, block;
        int32_t outAfter, inAfter;
        double rateAfter, blockAfter;
    } rows[] = {{-5, -7, nan, nan, 0, 2, 4000.0, 2.0},
                {600, 1, 96000.0, -1.0, 512, 2, 48000.0, 2.0},
                {512, 512, -3.0, 0.5, 512, 512, 0.0, 0.5}};
    for (const auto& row : rows) {
        ProgramSettings s = Unusual();
        s.OutputLatencyMs = row.out;
        s.InputLatencyMs = row.in;
        s.ControlRate = row.rate;
        s.BlockTime = row.block;
        ProgramSettings back;
        ParseSettings(back, SerializeSettings(s), false);
        EXPECT_EQ(std::tuple(back.OutputLatencyMs, back.InputLatencyMs, back.ControlRate, back.BlockTime),
                  std::tuple(row.outAfter, row.inAfter, row.rateAfter, row.blockAfter));
    }
}

TEST(SettingsFile, OverlongTextIsCutSoTheFileStillReads) {
    ProgramSettings s = Unusual();
    s.SettingsText0 = std::string(600000, 'x');
    ProgramSettings back;
    const SettingsLoadResult result = ParseSettings(back, SerializeSettings(s), false);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(back.SettingsText0.size(), 499999u);
    s.SettingsText0.resize(499999);
    EXPECT_EQ(back, s);
}

TEST(SettingsFile, ForeignFilesAreRejectedWithTheirMessage) {
    const Bytes good = SerializeSettings(Unusual());
    Bytes magic = good, name = good;
    magic[15] ^= 1;
    name[22] = 'X'; // "MXrmelwerk"
    const std::tuple<Bytes, SettingsLoadOutcome, int> rows[] = {
        {Bytes(good.begin(), good.begin() + 10), SettingsLoadOutcome::NotOfThisProgram, 193},
        {magic, SettingsLoadOutcome::NotOfMurmelwerk, 194},
        {name, SettingsLoadOutcome::NotASettingsFile, 195}};
    for (const auto& [bytes, outcome, message] : rows) {
        ProgramSettings s = Unusual();
        const SettingsLoadResult result = ParseSettings(s, bytes, true);
        EXPECT_EQ(std::tuple(result.outcome, result.messageNumber, result.chooseLanguage),
                  std::tuple(outcome, message, true));
        EXPECT_EQ(s, ProgramSettings{}) << message;
    }
    // The product name is compared without letter case.
    Bytes upper = good;
    for (size_t i = 20; i < 40; i += 2)
        if (upper[i] >= 'a' && upper[i] <= 'z') upper[i] = uint8_t(upper[i] - 'a' + 'A'); // "MURMELWERK"
    ProgramSettings s;
    EXPECT_EQ(ParseSettings(s, upper, true).outcome, SettingsLoadOutcome::Loaded);
    EXPECT_EQ(s, Unusual());
}

TEST(SettingsFile, OtherVersionIsQuestionedOnlyAtTheDefaultLocation) {
    Bytes bytes = SerializeSettings(Unusual());
    bytes[46] = 1; // version 1.1
    int asked = 0;
    ProgramSettings s = Unusual();
    const SettingsLoadResult no = ParseSettings(s, bytes, true, [&](ProgramSettings& current) {
        ++asked;
        EXPECT_EQ(current, ProgramSettings{});    // asked with the defaults in place
        current.LanguageCode = kLanguageFrancais; // the language chosen before the question
        return false;
    });
    EXPECT_EQ(std::tuple(asked, no.outcome, no.messageNumber, no.chooseLanguage),
              std::tuple(1, SettingsLoadOutcome::OtherVersionDeclined, 0, false));
    ProgramSettings expected;
    expected.LanguageCode = kLanguageFrancais;
    EXPECT_EQ(s, expected);
    EXPECT_EQ(ParseSettings(s, bytes, true, [&](ProgramSettings&) { return ++asked > 0; }).outcome,
              SettingsLoadOutcome::Loaded);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(s, Unusual());
    // Without a way to ask, the answer is No.
    EXPECT_EQ(ParseSettings(s, bytes, true).outcome, SettingsLoadOutcome::OtherVersionDeclined);
    EXPECT_EQ(s, ProgramSettings{});
    // A file at an explicit path is loaded without a question.
    TempFolder folder;
    const std::string path = folder.File("copy.MWS");
    bytes[42] = 2; // version 2.1
    WriteBytes(path, ToString(bytes));
    EXPECT_EQ(LoadSettings(s, path, [&](ProgramSettings&) { return ++asked == 0; }).outcome,
              SettingsLoadOutcome::Loaded);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(s, Unusual());
    // A file cut inside the version counts as another version.
    const Bytes cut(bytes.begin(), bytes.begin() + 44); // magic, product name and half a version word
    const SettingsLoadResult partial =
        ParseSettings(s, cut, true, [&](ProgramSettings&) { return ++asked > 0; });
    EXPECT_EQ(std::tuple(asked, partial.outcome, partial.complete),
              std::tuple(3, SettingsLoadOutcome::Loaded, false));
    EXPECT_EQ(s, ProgramSettings{});
}

TEST(SettingsFile, CutFileOrBadStringCountEndsTheReadingSilently) {
    const ProgramSettings saved = Unusual();
    Bytes bytes = SerializeSettings(saved);
    // Cut after the colours: two reals and four bytes are missing.
    ProgramSettings s;
    SettingsLoadResult result = ParseSettings(s, Bytes(bytes.begin(), bytes.end() - 20), false);
    EXPECT_EQ(std::tuple(result.outcome, result.complete, result.messageNumber),
              std::tuple(SettingsLoadOutcome::Loaded, false, 0));
    ProgramSettings expected = saved;
    const ProgramSettings d;
    std::tie(expected.ControlRate, expected.BlockTime, expected.FeedbackShowAgain, expected.FeedbackSent,
             expected.RealTimePriority, expected.NewSliderSigned) =
        std::tie(d.ControlRate, d.BlockTime, d.FeedbackShowAgain, d.FeedbackSent, d.RealTimePriority,
                 d.NewSliderSigned);
    EXPECT_EQ(s, expected);
    const size_t user = 67 + 4 + 2 * (saved.SettingsText0.size() + 1) + 2 + 5 + 2 + 20 + 2 + 3 + 2;
    ASSERT_EQ(bytes[user], 2 * (utf::Utf8ToUtf16(saved.UserLanguageFile).size() + 1));
    for (uint32_t count : {0xFFFFFFFFu, 1000002u}) {
        for (int k = 0; k < 4; ++k) bytes[user + size_t(k)] = uint8_t(count >> (8 * k));
        result = ParseSettings(s, bytes, false);
        EXPECT_EQ(std::tuple(result.outcome, result.complete, result.messageNumber),
                  std::tuple(SettingsLoadOutcome::Loaded, false, 0));
        // Read before the string, then from the string on the defaults.
        EXPECT_EQ(std::tie(s.AutoStartSound, s.WindowRect), std::tie(saved.AutoStartSound, saved.WindowRect));
        EXPECT_EQ(std::tuple(s.UserLanguageFile, s.SnapToEdges, s.OutputLatencyMs), std::tuple("", 1, 50));
        EXPECT_EQ(s.ColourSettings, kDefaultColourSettings);
    }
}

TEST(SettingsFile, MissingFileOrFolderMeansFirstStart) {
    TempFolder folder;
    for (const std::string& path : {folder.File("none.MWS"), folder.Path().string()}) {
        ProgramSettings s = Unusual();
        const SettingsLoadResult missing = LoadSettings(s, path);
        EXPECT_EQ(std::tuple(missing.outcome, missing.chooseLanguage, missing.messageNumber),
                  std::tuple(SettingsLoadOutcome::NoFile, true, 0))
            << path;
        EXPECT_EQ(s, ProgramSettings{});
    }
}

TEST(SettingsFile, SavingReplacesTheFileInsteadOfRewritingIt) {
    TempFolder folder;
    const std::string path = folder.File("murmelwerk.MWS");
    const std::string link = folder.File("earlier.MWS");
    ASSERT_TRUE(SaveSettings(ProgramSettings{}, path));
    ::chmod(path.c_str(), 0640);
    ASSERT_EQ(::link(path.c_str(), link.c_str()), 0);
    const std::string before = ReadBytes(path);
    ASSERT_TRUE(SaveSettings(Unusual(), path));
    // The old file was never opened for writing: a second name of it still shows the old bytes.
    EXPECT_EQ(ReadBytes(link), before);
    EXPECT_EQ(ReadBytes(path), ToString(SerializeSettings(Unusual())));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u); // the permissions of the replaced file
    // No temporary file is left behind.
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 2u);
    // Saving through a symbolic link updates the linked file.
    const std::string symlink = folder.File("link.MWS");
    ASSERT_EQ(::symlink(path.c_str(), symlink.c_str()), 0);
    ASSERT_TRUE(SaveSettings(ProgramSettings{}, symlink));
    EXPECT_TRUE(std::filesystem::is_symlink(symlink));
    EXPECT_EQ(ReadBytes(path), before);
}

TEST(SettingsFile, FailedSaveLeavesEverythingAsItWas) {
    TempFolder folder;
    EXPECT_FALSE(SaveSettings(Unusual(), folder.File("no/such/folder/x.MWS")));
    EXPECT_FALSE(SaveSettings(Unusual(), folder.Path().string())); // a folder in the way
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST(SettingsFile, LocationNextToTheExecutableOrInTheConfigFolder) {
    // executable, its folder writable, XDG_CONFIG_HOME, HOME, settings file
    const std::tuple<const char*, bool, const char*, const char*, const char*> rows[] = {
        {"/opt/mw/Murmelwerkv1.0.exe", true, nullptr, "/home/anna", "/opt/mw/Murmelwerkv1.0.MWS"},
        {"/opt/mw/murmelwerk.bin", true, "/xdg", "/home/anna", "/opt/mw/murmelwerk.MWS"},
        {"/opt/mw/Murmelwerkv1.0.exe", false, nullptr, "/home/anna",
         "/home/anna/.config/murmelwerk/Murmelwerkv1.0.MWS"},
        {"/usr/bin/murmelwerk", true, nullptr, "/home/anna", "/home/anna/.config/murmelwerk/murmelwerk.MWS"},
        {"/usr/bin/murmelwerk", false, "/var/cfg", "/home/anna", "/var/cfg/murmelwerk/murmelwerk.MWS"},
        {"/usr/bin/murmelwerk", false, "relative/cfg", "/home/anna",
         "/home/anna/.config/murmelwerk/murmelwerk.MWS"},
        {"/usr/bin/murmelwerk", false, "", "/home/anna", "/home/anna/.config/murmelwerk/murmelwerk.MWS"},
        {"/usr/bin/.hidden", true, nullptr, "/h", "/h/.config/murmelwerk/.hidden.MWS"}};
    for (const auto& [exe, writable, xdg, home, expected] : rows)
        EXPECT_EQ(SettingsPathFor(exe, writable, xdg, home), expected) << exe << " " << (xdg ? xdg : "-");
}

// Points XDG_CONFIG_HOME at a temporary folder for the length of a test.
class DefaultSettingsLocation : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_CONFIG_HOME", folder_.Path().c_str(), 1); }
    void TearDown() override {
        if (old_)
            ::setenv("XDG_CONFIG_HOME", old_->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
    }
    TempFolder folder_;
    const char* const env_ = std::getenv("XDG_CONFIG_HOME");
    const std::optional<std::string> old_ = env_ ? std::optional<std::string>(env_) : std::nullopt;
};

TEST_F(DefaultSettingsLocation, DefaultPathIsUsedForAnEmptyPath) {
    const std::string path = DefaultSettingsPath();
    // The test program has no extension in its name, so its settings go to the configuration folder.
    const std::string program = std::filesystem::path(ExecutablePath()).filename().string();
    ASSERT_EQ(program.find('.'), std::string::npos);
    EXPECT_EQ(path, (folder_.Path() / "murmelwerk" / (program + ".MWS")).string());
    ProgramSettings s;
    EXPECT_EQ(LoadSettings(s, "").outcome, SettingsLoadOutcome::NoFile);
    ASSERT_TRUE(SaveSettings(Unusual(), "")); // creates the folder
    EXPECT_EQ(LoadSettings(s, "").outcome, SettingsLoadOutcome::Loaded);
    EXPECT_EQ(s, Unusual());
    Bytes bytes = SerializeSettings(Unusual());
    bytes[46] = 1; // version 1.1 at the default location is questioned
    WriteBytes(path, ToString(bytes));
    int asked = 0;
    EXPECT_EQ(LoadSettings(s, "", [&](ProgramSettings&) { return ++asked == 0; }).outcome,
              SettingsLoadOutcome::OtherVersionDeclined);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(s, ProgramSettings{});
}

} // namespace
} // namespace mw
