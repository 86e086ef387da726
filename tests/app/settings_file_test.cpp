// The settings file: defaults, the exact bytes, reading with its rejections and its silent ends,
// the safe replacement of the file, and where the file lives.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
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

// A settings record in which every field differs from its default.
ProgramSettings Unusual() {
    ProgramSettings s;
    s.SettingsFlag0 = 0xA5;
    s.SettingsText0 = "Kept text";
    s.LanguageCode = 1000;
    s.AgreementAccepted = 1;
    s.PlainStatusColours = 7;
    s.FirstStartDone = 1;
    s.CheckForUpdateAtStart = 0;
    s.AutoStartSound = 1;
    s.UserLanguageFile = "/home/anna/Sprachen/schwäbisch.txt";
    s.SnapToEdges = 0;
    s.WrapMouse = 0;
    s.SettingsFlag22 = 22;
    s.WaveFolder = "/tmp/waves";
    s.ConfigurationPath = "/home/anna/patches/Luftsäge.mwc";
    s.ConfigurationFolder = "/home/anna";
    for (int i = 0; i < kColourSlotCount; ++i)
        s.ColourSettings[size_t(i)] = ColourRefFromRgb(uint8_t(i + 1), 0x20, 0x30);
    s.RealTimePriority = 1;
    s.NewSliderSigned = 1;
    s.ShowTrayIcon = 1;
    s.TrayIconOnlyWhenMinimized = 0;
    s.HideTaskbarButtonWhenMinimized = 1;
    s.MinimizeShortlyAfterStart = 1;
    s.MinimizeOnClose = 1;
    s.MinimizeOnEsc = 1;
    s.WindowRect = {-1280, 24, 640, 1050};
    s.WindowWasMaximized = 1;
    s.TrayQuestionAsked = 1;
    s.CloseQuestionAsked = 1;
    s.EscQuestionAsked = 1;
    s.ShowStatusIndicators = 0;
    s.OutputLatencyMs = 120;
    s.InputLatencyMs = -3;
    s.ControlRate = 1500.0;
    s.BlockTime = 2.125;
    s.FeedbackSent = 1;
    s.FeedbackShowAgain = 1;
    return s;
}

// ---- defaults and bytes ----

TEST(SettingsFile, DefaultsOfTheRecord) {
    const ProgramSettings s;
    EXPECT_EQ(s.LanguageCode, 0);
    EXPECT_EQ(s.CheckForUpdateAtStart, 1);
    EXPECT_EQ(s.SnapToEdges, 1);
    EXPECT_EQ(s.WrapMouse, 1);
    EXPECT_EQ(s.TrayIconOnlyWhenMinimized, 1);
    EXPECT_EQ(s.ShowStatusIndicators, 1);
    EXPECT_EQ(s.OutputLatencyMs, 50);
    EXPECT_EQ(s.InputLatencyMs, 20);
    EXPECT_EQ(s.ControlRate, 4000.0);
    EXPECT_EQ(s.BlockTime, 2.0);
    EXPECT_EQ(s.WindowRect, (WindowRectangle{0, 0, 0, 0}));
    // COLORREF 0x00BBGGRR of the default colours.
    EXPECT_EQ(s.ColourSettings[0], 0x00FFFFFFu);  // FFFFFF
    EXPECT_EQ(s.ColourSettings[1], 0x007F0000u);  // 00007F
    EXPECT_EQ(s.ColourSettings[2], 0x00DDDDCCu);  // CCDDDD
    EXPECT_EQ(s.ColourSettings[4], 0x00FFFFC8u);  // C8FFFF
    EXPECT_EQ(s.ColourSettings[5], 0x00000032u);  // 320000
    EXPECT_EQ(s.ColourSettings[6], 0x00FF8989u);  // 8989FF
    EXPECT_EQ(s.ColourSettings[10], 0x00FF7F3Fu); // 3F7FFF
    EXPECT_EQ(s.ColourSettings[12], 0x00FF9889u); // 8998FF
    EXPECT_EQ(s.ColourSettings[13], 0x00C8C8C8u); // C8C8C8
    EXPECT_EQ(s.ColourSettings[17], 0u);
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

TEST(SettingsFile, ColourSlotsFiveAndSixComeLast) {
    ProgramSettings s;
    for (int i = 0; i < kColourSlotCount; ++i)
        s.ColourSettings[size_t(i)] = uint32_t(i + 1); // slot n holds n
    const Bytes bytes = SerializeSettings(s);
    const size_t colours = bytes.size() - 20 - 72;
    const int fileOrder[] = {1, 2, 3, 4, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 5, 6};
    for (int k = 0; k < 18; ++k) EXPECT_EQ(bytes[colours + 4 * size_t(k)], fileOrder[k]) << k;

    ProgramSettings back;
    ParseSettings(back, bytes, false);
    EXPECT_EQ(back.ColourSettings, s.ColourSettings);
}

TEST(SettingsFile, EmptyStringIsCountTwoAndOneNul) {
    ProgramSettings s;
    s.SettingsText0 = "ab";
    const Bytes bytes = SerializeSettings(s);
    // SettingsText0 follows magic, product name, version, reserved bytes and SettingsFlag0.
    const Bytes text(bytes.begin() + 67, bytes.begin() + 67 + 10);
    EXPECT_EQ(text, (Bytes{6, 0, 0, 0, 'a', 0, 'b', 0, 0, 0}));
    // UserLanguageFile (empty) sits right after the flags that follow WindowRect.
    const size_t user = 67 + 10 + 2 + 5 + 2 + 20 + 2 + 3 + 2;
    EXPECT_EQ(Bytes(bytes.begin() + long(user), bytes.begin() + long(user) + 6), (Bytes{2, 0, 0, 0, 0, 0}));
    ProgramSettings back = Unusual();
    ParseSettings(back, bytes, false);
    EXPECT_EQ(back.UserLanguageFile, "");
    EXPECT_EQ(back.SettingsText0, "ab");
}

// ---- reading ----

TEST(SettingsFile, EveryFieldRoundTrips) {
    TempFolder folder;
    const std::string path = folder.File("murmelwerk.MWS");
    const ProgramSettings saved = Unusual();
    ASSERT_TRUE(SaveSettings(saved, path));
    ProgramSettings loaded;
    const SettingsLoadResult result = LoadSettings(loaded, path);
    EXPECT_EQ(result.outcome, SettingsLoadOutcome::Loaded);
    EXPECT_TRUE(result.complete);
    EXPECT_FALSE(result.chooseLanguage);
    EXPECT_EQ(result.messageNumber, 0);
    EXPECT_EQ(loaded, saved);
}

TEST(SettingsFile, TextsWithAnyBytesRoundTrip) {
    ProgramSettings s;
    s.WaveFolder = "/media/alt/Aufnahmen-\xE4\xF6\xFC"; // Latin-1 bytes, not UTF-8
    s.ConfigurationPath = "C:\\Patches\\日本語.mwc";
    ProgramSettings back;
    ParseSettings(back, SerializeSettings(s), false);
    EXPECT_EQ(back.WaveFolder, s.WaveFolder);
    EXPECT_EQ(back.ConfigurationPath, s.ConfigurationPath);
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

TEST(SettingsFile, TenByteFileGives193AndDefaults) {
    TempFolder folder;
    const std::string path = folder.File("short.MWS");
    WriteBytes(path, ToString(SerializeSettings(Unusual())).substr(0, 10));
    ProgramSettings s = Unusual();
    const SettingsLoadResult result = LoadSettings(s, path);
    EXPECT_EQ(result.outcome, SettingsLoadOutcome::NotOfThisProgram);
    EXPECT_EQ(result.messageNumber, 193);
    EXPECT_TRUE(result.chooseLanguage);
    EXPECT_EQ(s, ProgramSettings{});
}

TEST(SettingsFile, ForeignMagicGives194) {
    Bytes bytes = SerializeSettings(Unusual());
    bytes[15] ^= 1;
    ProgramSettings s = Unusual();
    const SettingsLoadResult result = ParseSettings(s, bytes, true);
    EXPECT_EQ(result.outcome, SettingsLoadOutcome::NotOfMurmelwerk);
    EXPECT_EQ(result.messageNumber, 194);
    EXPECT_TRUE(result.chooseLanguage);
    EXPECT_EQ(s, ProgramSettings{});
}

TEST(SettingsFile, ProductNameIsComparedWithoutCase) {
    Bytes bytes = SerializeSettings(Unusual());
    for (size_t i = 20; i < 40; i += 2)
        if (bytes[i] >= 'a' && bytes[i] <= 'z') bytes[i] = uint8_t(bytes[i] - 'a' + 'A'); // "MURMELWERK"
    ASSERT_EQ(bytes[20], 'M');
    ASSERT_EQ(bytes[22], 'U');
    ProgramSettings s;
    EXPECT_EQ(ParseSettings(s, bytes, true).outcome, SettingsLoadOutcome::Loaded);
    EXPECT_EQ(s, Unusual());

    bytes[22] = 'X'; // "MXRMELWERK"
    const SettingsLoadResult other = ParseSettings(s, bytes, true);
    EXPECT_EQ(other.outcome, SettingsLoadOutcome::NotASettingsFile);
    EXPECT_EQ(other.messageNumber, 195);
    EXPECT_TRUE(other.chooseLanguage);
    EXPECT_EQ(s, ProgramSettings{});
}

TEST(SettingsFile, OtherVersionAtTheDefaultLocationAsks) {
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
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(no.outcome, SettingsLoadOutcome::OtherVersionDeclined);
    EXPECT_EQ(no.messageNumber, 0);
    EXPECT_FALSE(no.chooseLanguage);
    ProgramSettings expected;
    expected.LanguageCode = kLanguageFrancais;
    EXPECT_EQ(s, expected);

    const SettingsLoadResult yes =
        ParseSettings(s, bytes, true, [&](ProgramSettings&) { return ++asked > 0; });
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(yes.outcome, SettingsLoadOutcome::Loaded);
    EXPECT_EQ(s, Unusual());

    // Without a way to ask, the answer is No.
    EXPECT_EQ(ParseSettings(s, bytes, true).outcome, SettingsLoadOutcome::OtherVersionDeclined);
    EXPECT_EQ(s, ProgramSettings{});
}

TEST(SettingsFile, OtherVersionAtAnExplicitPathIsNotQuestioned) {
    TempFolder folder;
    const std::string path = folder.File("copy.MWS");
    Bytes bytes = SerializeSettings(Unusual());
    bytes[42] = 2; // version 2.0
    WriteBytes(path, ToString(bytes));
    ProgramSettings s;
    bool asked = false;
    const SettingsLoadResult result = LoadSettings(s, path, [&](ProgramSettings&) { return asked = true; });
    EXPECT_FALSE(asked);
    EXPECT_EQ(result.outcome, SettingsLoadOutcome::Loaded);
    EXPECT_EQ(s, Unusual());
}

TEST(SettingsFile, MissingVersionCountsAsAnotherVersion) {
    const Bytes bytes = SerializeSettings(Unusual());
    const Bytes cut(bytes.begin(), bytes.begin() + 44); // magic, product name and half a version word
    ProgramSettings s;
    bool asked = false;
    const SettingsLoadResult result =
        ParseSettings(s, cut, true, [&](ProgramSettings&) { return asked = true; });
    EXPECT_TRUE(asked);
    EXPECT_EQ(result.outcome, SettingsLoadOutcome::Loaded);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(s, ProgramSettings{});
}

TEST(SettingsFile, FileCutAfterTheColoursKeepsTheTailAtDefaults) {
    TempFolder folder;
    const std::string path = folder.File("cut.MWS");
    const Bytes bytes = SerializeSettings(Unusual());
    WriteBytes(path,
               ToString(Bytes(bytes.begin(), bytes.end() - 20))); // 2 reals and 4 bytes follow the colours
    ProgramSettings s;
    const SettingsLoadResult result = LoadSettings(s, path);
    EXPECT_EQ(result.outcome, SettingsLoadOutcome::Loaded);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(result.messageNumber, 0);
    ProgramSettings expected = Unusual();
    const ProgramSettings defaults;
    expected.ControlRate = defaults.ControlRate;
    expected.BlockTime = defaults.BlockTime;
    expected.FeedbackShowAgain = defaults.FeedbackShowAgain;
    expected.FeedbackSent = defaults.FeedbackSent;
    expected.RealTimePriority = defaults.RealTimePriority;
    expected.NewSliderSigned = defaults.NewSliderSigned;
    EXPECT_EQ(s, expected);
}

TEST(SettingsFile, BadStringCountEndsTheReadingSilently) {
    const ProgramSettings saved = Unusual();
    Bytes bytes = SerializeSettings(saved);
    const size_t user = 67 + 4 + 2 * (saved.SettingsText0.size() + 1) + 2 + 5 + 2 + 20 + 2 + 3 + 2;
    ASSERT_EQ(bytes[user], 2 * (utf::Utf8ToUtf16(saved.UserLanguageFile).size() + 1));
    for (uint32_t count : {0xFFFFFFFFu, 1000002u}) {
        for (int k = 0; k < 4; ++k) bytes[user + size_t(k)] = uint8_t(count >> (8 * k));
        ProgramSettings s;
        const SettingsLoadResult result = ParseSettings(s, bytes, false);
        EXPECT_EQ(result.outcome, SettingsLoadOutcome::Loaded);
        EXPECT_FALSE(result.complete);
        EXPECT_EQ(result.messageNumber, 0);
        EXPECT_EQ(s.AutoStartSound, saved.AutoStartSound); // read before the string
        EXPECT_EQ(s.WindowRect, saved.WindowRect);
        EXPECT_EQ(s.UserLanguageFile, ""); // from here on the defaults
        EXPECT_EQ(s.SnapToEdges, 1);
        EXPECT_EQ(s.OutputLatencyMs, 50);
        EXPECT_EQ(s.ColourSettings, kDefaultColourSettings);
    }
}

TEST(SettingsFile, MissingFileOrFolderMeansFirstStart) {
    TempFolder folder;
    ProgramSettings s = Unusual();
    const SettingsLoadResult missing = LoadSettings(s, folder.File("none.MWS"));
    EXPECT_EQ(missing.outcome, SettingsLoadOutcome::NoFile);
    EXPECT_TRUE(missing.chooseLanguage);
    EXPECT_EQ(missing.messageNumber, 0);
    EXPECT_EQ(s, ProgramSettings{});
    EXPECT_EQ(LoadSettings(s, folder.Path().string()).outcome, SettingsLoadOutcome::NoFile);
}

// ---- saving ----

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
}

TEST(SettingsFile, FailedSaveLeavesEverythingAsItWas) {
    TempFolder folder;
    EXPECT_FALSE(SaveSettings(Unusual(), folder.File("no/such/folder/x.MWS")));
    EXPECT_FALSE(SaveSettings(Unusual(), folder.Path().string())); // a folder in the way
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST(SettingsFile, SavingThroughALinkUpdatesTheLinkedFile) {
    TempFolder folder;
    const std::string real = folder.File("real.MWS");
    const std::string link = folder.File("link.MWS");
    ASSERT_TRUE(SaveSettings(ProgramSettings{}, real));
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    ASSERT_TRUE(SaveSettings(Unusual(), link));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    ProgramSettings s;
    LoadSettings(s, real);
    EXPECT_EQ(s, Unusual());
}

// ---- where the file lives ----

TEST(SettingsFile, LocationNextToTheExecutableOrInTheConfigFolder) {
    EXPECT_EQ(SettingsPathFor("/opt/mw/Murmelwerkv1.0.exe", true, nullptr, "/home/anna"),
              "/opt/mw/Murmelwerkv1.0.MWS");
    EXPECT_EQ(SettingsPathFor("/opt/mw/murmelwerk.bin", true, "/xdg", "/home/anna"),
              "/opt/mw/murmelwerk.MWS");
    EXPECT_EQ(SettingsPathFor("/opt/mw/Murmelwerkv1.0.exe", false, nullptr, "/home/anna"),
              "/home/anna/.config/murmelwerk/Murmelwerkv1.0.MWS");
    EXPECT_EQ(SettingsPathFor("/usr/bin/murmelwerk", true, nullptr, "/home/anna"),
              "/home/anna/.config/murmelwerk/murmelwerk.MWS");
    EXPECT_EQ(SettingsPathFor("/usr/bin/murmelwerk", false, "/var/cfg", "/home/anna"),
              "/var/cfg/murmelwerk/murmelwerk.MWS");
    EXPECT_EQ(SettingsPathFor("/usr/bin/murmelwerk", false, "relative/cfg", "/home/anna"),
              "/home/anna/.config/murmelwerk/murmelwerk.MWS");
    EXPECT_EQ(SettingsPathFor("/usr/bin/murmelwerk", false, "", "/home/anna"),
              "/home/anna/.config/murmelwerk/murmelwerk.MWS");
    EXPECT_EQ(SettingsPathFor("/usr/bin/.hidden", true, nullptr, "/h"), "/h/.config/murmelwerk/.hidden.MWS");
}

// Points XDG_CONFIG_HOME at a temporary folder for the length of a test.
class DefaultSettingsLocation : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        hadOld_ = old != nullptr;
        if (hadOld_) old_ = old;
        ::setenv("XDG_CONFIG_HOME", folder_.Path().c_str(), 1);
    }
    void TearDown() override {
        if (hadOld_)
            ::setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
    }
    TempFolder folder_;
    bool hadOld_ = false;
    std::string old_;
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
