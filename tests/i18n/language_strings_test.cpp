// The language tables: the entry parser's rules, user language files and their failures, and the
// content of the built-in language text.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/settings/program_settings.hpp"
#include "i18n/language_strings.hpp"
#include "i18n/utf.hpp"
#include "language_test_support.hpp"

namespace mw {
namespace {

using test::TempFolder;
using test::WriteUserLanguageFile;

const std::vector<int>& ZoneNumbers() {
    // 0-188, 193-197, 199-202, 206-207, 209-310, 317-318, 321-324, 400-500, 504, 600-632
    static const std::vector<int> numbers = [] {
        std::vector<int> n;
        const std::pair<int, int> ranges[] = {{0, 188},   {193, 197}, {199, 202}, {206, 207}, {209, 310},
                                              {317, 318}, {321, 324}, {400, 500}, {504, 504}, {600, 632}};
        for (auto [first, last] : ranges)
            for (int i = first; i <= last; ++i) n.push_back(i);
        return n;
    }();
    return numbers;
}

const char* const kLanguageZones[] = {"[Zone_English]", "[Zone_Deutsch]", "[Zone_Francais]", "[Zone_Espanol]",
                                      "[Zone_Japanese]"};

// The entries of one zone of the built-in text as the parser sees them, in text order.
std::vector<std::pair<long, std::u16string>> ZoneEntries(const char* zone) {
    std::u16string_view text = BuiltInLanguageText();
    text.remove_suffix(1);
    const std::u16string name = utf::Utf8ToUtf16(zone);
    const size_t at = text.find(name);
    std::vector<std::pair<long, std::u16string>> entries;
    if (at == std::u16string_view::npos) return entries;
    ParseLanguageEntries(text, at + name.size(), [&](long key, std::u16string&& entry) {
        entries.emplace_back(key, std::move(entry));
    });
    return entries;
}

LanguageStrings Load(uint16_t code) {
    LanguageStrings table;
    EXPECT_EQ(ApplyLanguage(table, code, ""), LanguageLoadFailure::None);
    return table;
}

// The printf conversions of a text, in order ("%%" included): "%", flags, width, precision, length
// modifier and the conversion letter.
std::vector<std::string> Conversions(const std::string& text) {
    std::vector<std::string> found;
    const std::string flags = "-+ #0", lengths = "hlLzjt", letters = "diouxXeEfFgGaAcspn%";
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        size_t k = i + 1;
        while (k < text.size() && flags.find(text[k]) != std::string::npos) ++k;
        while (k < text.size() && std::isdigit(static_cast<unsigned char>(text[k]))) ++k;
        if (k < text.size() && text[k] == '.')
            for (++k; k < text.size() && std::isdigit(static_cast<unsigned char>(text[k]));) ++k;
        while (k < text.size() && lengths.find(text[k]) != std::string::npos) ++k;
        if (k < text.size() && letters.find(text[k]) != std::string::npos) {
            found.push_back(text.substr(i, k - i + 1));
            i = k;
        } else {
            found.push_back("stray %");
        }
    }
    return found;
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

// ---- the table ----

TEST(LanguageStringsTable, UnfilledAndOutOfRangeNumbersReadEmpty) {
    LanguageStrings table;
    EXPECT_EQ(table.SlotCount(), 1024);
    EXPECT_EQ(&table.Text(5), &EmptyText);
    EXPECT_EQ(&table.Text(-1), &EmptyText);
    EXPECT_EQ(&table.Text(1024), &EmptyText);
    table.Set(5, "five");
    table.Set(1024, "nowhere");
    table.Set(-3, "nowhere");
    EXPECT_EQ(table.Text(5), "five");
    EXPECT_EQ(table.FilledCount(), 1);
    table.Clear();
    EXPECT_FALSE(table.IsFilled(5));
    EXPECT_EQ(table.Text(5), "");
    EXPECT_EQ(GeneralStrings().SlotCount(), 64);
}

TEST(LanguageStringsTable, NumberTheZoneLacksReadsEmpty) {
    const LanguageStrings english = Load(kLanguageEnglish);
    EXPECT_FALSE(english.IsFilled(189));
    EXPECT_EQ(english.Text(189), "");
    EXPECT_EQ(english.Text(29), "Start");
}

// ---- the parser's rules, through user language files ----

class LanguageFileParsing : public ::testing::Test {
protected:
    // Loads `utf8` (after the byte-order mark) as a user language file into `table`.
    LanguageLoadFailure LoadText(const std::string& utf8, StringTable& table) {
        const std::string path = folder.File("user.txt");
        WriteUserLanguageFile(path, utf8);
        return LoadLanguageZone(table, "", path);
    }
    TempFolder folder;
    LanguageStrings table;
};

TEST_F(LanguageFileParsing, EntryWithOnlyItsSeparatorIsEmpty) {
    ASSERT_EQ(LoadText("\r\n[43]\t", table), LanguageLoadFailure::None);
    EXPECT_TRUE(table.IsFilled(43));
    EXPECT_EQ(table.Text(43), "");

    LanguageStrings second;
    LoadText("\r\n[43]\t\r\n[44]\tX", second);
    EXPECT_TRUE(second.IsFilled(43));
    EXPECT_EQ(second.Text(43), "");
    EXPECT_EQ(second.Text(44), "X");
}

TEST_F(LanguageFileParsing, EscapesAreReplacedInOrder) {
    // A, blank, backslash, double quote, B, backslash, double quote.
    LoadText("\r\n[5]\tA \\\"B\\\"", table);
    EXPECT_EQ(table.Text(5), "A \"B\"");

    LanguageStrings all;
    LoadText("\r\n[1]\ta\\rb\\nc\\td\\'e\r\n[3]\t\\\\n\r\n[2]\tx\\y\\\\z", all);
    EXPECT_EQ(all.Text(1), "a\rb\nc\td'e");
    EXPECT_EQ(all.Text(2), "x\\y\\\\z"); // no other escape exists
    // "\r" is replaced before "\n": backslash, backslash, n becomes backslash, line feed.
    EXPECT_EQ(all.Text(3), "\\\n");
}

TEST_F(LanguageFileParsing, OnlyTheLastEntryOfTheTextIsStripped) {
    LoadText("\r\n[1]\tfirst  \r\n\r\n[2]\tmiddle\t\r\n[3]\tlast line  \t\r\n", table);
    EXPECT_EQ(table.Text(1), "first  \r\n"); // followed by a blank line: keeps one CR LF
    EXPECT_EQ(table.Text(2), "middle\t");
    EXPECT_EQ(table.Text(3), "last line");
}

TEST_F(LanguageFileParsing, TextMaySpanSeveralLines) {
    LoadText("\r\n[632]\tline one\r\nline two\r\n [not an entry]\r\n[633]\tnext", table);
    EXPECT_EQ(table.Text(632), "line one\r\nline two\r\n [not an entry]");
    EXPECT_EQ(table.Text(633), "next");
}

TEST_F(LanguageFileParsing, KeyWithoutDigitEndsTheZone) {
    LoadText("\r\n[1]\ta\r\n[Zone_Other]\r\n\r\n[2]\tb", table);
    EXPECT_EQ(table.Text(1), "a");
    EXPECT_FALSE(table.IsFilled(2));

    LanguageStrings blank;
    LoadText("\r\n[1]\ta\r\n[ \t]\tb\r\n[2]\tc", blank);
    EXPECT_FALSE(blank.IsFilled(2));
}

TEST_F(LanguageFileParsing, KeyIsReadFromItsLeadingDigits) {
    LoadText("\r\n[12a]\ttwelve\r\n[ 7]\tseven", table);
    EXPECT_EQ(table.Text(12), "twelve");
    EXPECT_EQ(table.Text(7), "seven");
}

TEST_F(LanguageFileParsing, LaterDuplicateReplacesEarlier) {
    LoadText("\r\n[9]\tfirst\r\n[8]\tother\r\n[9]\tsecond", table);
    EXPECT_EQ(table.Text(9), "second");
    EXPECT_EQ(table.Text(8), "other");
}

TEST_F(LanguageFileParsing, NumbersOutsideTheTableAreNeverStored) {
    LoadText("\r\n[1024]\ta\r\n[-1]\tb\r\n[99999999999999999999]\tc\r\n[1023]\td\r\n[0]\te", table);
    EXPECT_EQ(table.FilledCount(), 2);
    EXPECT_EQ(table.Text(1023), "d");
    EXPECT_EQ(table.Text(0), "e");

    GeneralStrings general;
    LoadText("\r\n[63]\tlast\r\n[64]\tbeyond\r\n[1000]\tfar", general);
    EXPECT_EQ(general.FilledCount(), 1);
    EXPECT_EQ(general.Text(63), "last");
}

TEST_F(LanguageFileParsing, EntryRightAfterTheByteOrderMarkIsNotSeen) {
    LoadText("[3]\tunseen\r\n[4]\tseen", table);
    EXPECT_FALSE(table.IsFilled(3));
    EXPECT_EQ(table.Text(4), "seen");
}

TEST_F(LanguageFileParsing, FileStartingWithZoneHeaderGivesEmptyTableWithoutMessage) {
    EXPECT_EQ(LoadText("\r\n[Zone_English]\r\n\r\n[29]\tStart\r\n[30]\tStop\r\n", table),
              LanguageLoadFailure::None);
    EXPECT_EQ(table.FilledCount(), 0);
}

TEST_F(LanguageFileParsing, FirstNulEndsTheText) {
    static const char withNul[] = "\r\n[1]\tbefore\0after\r\n[2]\tgone";
    LoadText(std::string(withNul, sizeof withNul - 1), table);
    EXPECT_EQ(table.Text(1), "before");
    EXPECT_FALSE(table.IsFilled(2));
}

TEST_F(LanguageFileParsing, MalformedInputNeverCrashes) {
    const std::string path = folder.File("noise.txt");
    std::string noise;
    unsigned seed = 12345;
    for (int i = 0; i < 20001; ++i) { // odd size: the last byte is not a whole unit
        seed = seed * 1103515245u + 12345u;
        const char pick[] = {'\r', '\n', '[', ']', '5', '\\', 'x', '\0', char(0xD8), char(0xDC)};
        noise.push_back(pick[(seed >> 16) % sizeof pick]);
    }
    test::WriteBytes(path, noise);
    EXPECT_EQ(LoadLanguageZone(table, "", path), LanguageLoadFailure::None);
    for (int i = 0; i < table.SlotCount(); ++i) (void)table.Text(i).size();

    LanguageStrings unterminated;
    LoadText("\r\n[5", unterminated);
    LoadText("\r\n[5]", unterminated);
    EXPECT_TRUE(unterminated.IsFilled(5));
    EXPECT_EQ(unterminated.Text(5), "");
}

// ---- failures of user language files ----

class LanguageFileFailures : public ::testing::Test {
protected:
    TempFolder folder;
    LanguageStrings table;
};

TEST_F(LanguageFileFailures, DirectoryGivesTheSizeMessageAndEnglish) {
    EXPECT_EQ(LoadLanguageZone(table, "[Zone_Deutsch]", folder.Path().string()), LanguageLoadFailure::NoSize);
    EXPECT_EQ(table.Text(29), "Start");
    EXPECT_EQ(table.Text(30), "Stop");
    const LanguageFailureMessage message = MessageFor(LanguageLoadFailure::NoSize);
    EXPECT_STREQ(message.text,
                 "Language strings file is of size zero or has no size, English will be used...");
    EXPECT_STREQ(message.caption, "Unable to determine language strings file size");
}

TEST_F(LanguageFileFailures, MissingOrEmptyFileGivesTheSizeMessage) {
    EXPECT_EQ(LoadLanguageZone(table, "", folder.File("absent.txt")), LanguageLoadFailure::NoSize);
    EXPECT_EQ(table.Text(45), "Okay");
    test::WriteBytes(folder.File("empty.txt"), "");
    LanguageStrings other;
    EXPECT_EQ(LoadLanguageZone(other, "", folder.File("empty.txt")), LanguageLoadFailure::NoSize);
    EXPECT_EQ(other.Text(45), "Okay");
}

TEST_F(LanguageFileFailures, UnreadableFileGivesTheOpenMessage) {
    if (::geteuid() == 0) GTEST_SKIP() << "every file is readable for root";
    const std::string path = folder.File("locked.txt");
    WriteUserLanguageFile(path, "\r\n[29]\tLos");
    ::chmod(path.c_str(), 0);
    EXPECT_EQ(LoadLanguageZone(table, "", path), LanguageLoadFailure::CannotOpen);
    EXPECT_EQ(table.Text(29), "Start");
    const LanguageFailureMessage message = MessageFor(LanguageLoadFailure::CannotOpen);
    EXPECT_STREQ(message.text, "Unable to open language strings file, English will be used...");
    EXPECT_STREQ(message.caption, "Unable to open language strings file");
}

TEST_F(LanguageFileFailures, MemoryMessageIsFixedEnglish) {
    const LanguageFailureMessage message = MessageFor(LanguageLoadFailure::NoMemory);
    EXPECT_STREQ(
        message.text,
        "Unable to allocate the memory needed to parse the language strings buffer, English will be used...");
    EXPECT_STREQ(message.caption, "Unable to allocate the memory for the language strings");
    EXPECT_STREQ(MessageFor(LanguageLoadFailure::None).text, "");
}

TEST_F(LanguageFileFailures, LanguageCodeStaysUserFileAfterFallback) {
    ProgramSettings settings;
    settings.LanguageCode = kLanguageUserFile;
    settings.UserLanguageFile = folder.File("vanished.txt");
    EXPECT_EQ(ApplyLanguage(settings, table), LanguageLoadFailure::NoSize);
    EXPECT_EQ(settings.LanguageCode, kLanguageUserFile);
    EXPECT_EQ(table.Text(29), "Start");

    settings.UserLanguageFile.clear(); // code 1000 without a file: reported like a file without size
    EXPECT_EQ(ApplyLanguage(settings, table), LanguageLoadFailure::NoSize);
}

TEST_F(LanguageFileFailures, SwitchingToUserFileLeavesNoEarlierText) {
    ASSERT_EQ(ApplyLanguage(table, kLanguageDeutsch, ""), LanguageLoadFailure::None);
    EXPECT_EQ(table.Text(30), "Stopp");
    const std::string path = folder.File("mine.txt");
    WriteUserLanguageFile(path, "\r\n[30]\tHalt\r\n");
    EXPECT_EQ(ApplyLanguage(table, kLanguageUserFile, path), LanguageLoadFailure::None);
    EXPECT_EQ(table.Text(29), ""); // "Start" is not in the file
    EXPECT_EQ(table.Text(30), "Halt");
    EXPECT_EQ(table.FilledCount(), 1);
}

TEST_F(LanguageFileFailures, UnknownZoneLoadsNothingAndReportsNothing) {
    EXPECT_EQ(LoadLanguageZone(table, "[Zone_Klingon]"), LanguageLoadFailure::None);
    EXPECT_EQ(table.FilledCount(), 0);
}

// ---- the built-in text ----

TEST(BuiltInLanguageText, LayoutOfTheText) {
    const std::u16string_view text = BuiltInLanguageText();
    ASSERT_GT(text.size(), 4u);
    EXPECT_EQ(text[0], u'\xFEFF');
    EXPECT_EQ(text.substr(1, 2), u"\r\n");
    EXPECT_EQ(text.substr(3, 14), u"[Zone_General]");
    EXPECT_EQ(text.substr(text.size() - 4), u"\r\n\r\n");
    size_t last = 0;
    for (const char* zone : {"[Zone_General]", "[Zone_English]", "[Zone_Deutsch]", "[Zone_Francais]",
                             "[Zone_Espanol]", "[Zone_Japanese]"}) {
        const size_t at = text.find(utf::Utf8ToUtf16(std::string("\r\n") + zone + "\r\n\r\n["));
        ASSERT_NE(at, std::u16string_view::npos) << zone;
        EXPECT_GT(at + 1, last) << zone;
        last = at + 1;
    }
    // Every line ends with CR LF.
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == u'\r') << "at unit " << i;
        }
        if (text[i] == u'\r') {
            ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == u'\n') << "at unit " << i;
        }
    }
}

TEST(BuiltInLanguageText, GeneralZoneHoldsTheLanguageNamesAndPrompts) {
    GeneralStrings general;
    LoadGeneralStrings(general);
    EXPECT_EQ(general.FilledCount(), 10);
    EXPECT_EQ(general.Text(0), "English");
    EXPECT_EQ(general.Text(1), "Please choose your language below (if available)");
    EXPECT_EQ(general.Text(2), "Deutsch");
    EXPECT_EQ(general.Text(4), "Français");
    EXPECT_EQ(general.Text(6), "Español");
    EXPECT_EQ(general.Text(8), "日本語");
    for (int n : {3, 5, 7, 9}) EXPECT_GT(general.Text(n).size(), 10u) << n;
    EXPECT_EQ(general.Text(9).find("\r\n"), general.Text(9).size() - 2); // the zone's blank line follows
}

TEST(BuiltInLanguageText, EveryLanguageZoneHasExactlyTheSameNumbers) {
    for (const char* zone : kLanguageZones) {
        std::vector<int> numbers;
        for (const auto& entry : ZoneEntries(zone)) numbers.push_back(int(entry.first));
        EXPECT_EQ(numbers.size(), 443u) << zone;
        EXPECT_EQ(numbers, ZoneNumbers()) << zone; // each number once, in ascending order
    }
    std::vector<long> general;
    for (const auto& entry : ZoneEntries("[Zone_General]")) general.push_back(entry.first);
    EXPECT_EQ(general, (std::vector<long>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(BuiltInLanguageText, LoadingAZoneFillsExactlyItsNumbers) {
    for (uint16_t code = 0; code <= 4; ++code) {
        const LanguageStrings table = Load(code);
        EXPECT_EQ(table.FilledCount(), 443) << code;
        for (int n : ZoneNumbers()) EXPECT_TRUE(table.IsFilled(n)) << code << ": " << n;
    }
    EXPECT_EQ(Load(7).Text(30), "Stop"); // an unknown code selects English
    EXPECT_EQ(ZoneNameFor(1000), "[Zone_English]");
}

TEST(BuiltInLanguageText, GermanZoneStopsAtTheFrenchHeader) {
    const LanguageStrings german = Load(kLanguageDeutsch);
    const LanguageStrings french = Load(kLanguageFrancais);
    EXPECT_EQ(german.Text(30), "Stopp");
    EXPECT_EQ(french.Text(30), "Arrêter");
    for (int n : ZoneNumbers()) EXPECT_EQ(german.Text(n).find("[Zone_"), std::string::npos) << n;
    // The zone's last entry runs up to the blank line before "[Zone_Francais]" and keeps one CR LF.
    const std::string& agreement = german.Text(632);
    ASSERT_GT(agreement.size(), 2u);
    EXPECT_EQ(agreement.substr(agreement.size() - 2), "\r\n");
    EXPECT_EQ(agreement.find("Zone_Francais"), std::string::npos);
    EXPECT_EQ(agreement.find("CONTRAT"), std::string::npos);
    // The Japanese agreement is the last entry of the whole text, so it is stripped.
    const LanguageStrings japanese = Load(kLanguageJapanese);
    EXPECT_NE(japanese.Text(632).back(), '\n');
}

TEST(BuiltInLanguageText, FormatStringsAgreeInAllLanguages) {
    const LanguageStrings english = Load(kLanguageEnglish);
    for (uint16_t code = 1; code <= 4; ++code) {
        const LanguageStrings other = Load(code);
        for (int n : ZoneNumbers()) {
            EXPECT_EQ(Conversions(other.Text(n)), Conversions(english.Text(n)))
                << "language " << code << ", " << n;
            EXPECT_EQ(Count(other.Text(n), "&&"), Count(english.Text(n), "&&"))
                << "language " << code << ", " << n;
        }
    }
    EXPECT_EQ(Conversions(english.Text(115)), (std::vector<std::string>{"%ld", "%%"}));
    EXPECT_EQ(Conversions(english.Text(53)), (std::vector<std::string>{"%.00f"}));
    EXPECT_EQ(Conversions(english.Text(623)), (std::vector<std::string>{"%s", "%s"}));
}

TEST(BuiltInLanguageText, TextsThatMustBeEmptyOrLongAreSoInAllLanguages) {
    for (uint16_t code = 0; code <= 4; ++code) {
        const LanguageStrings table = Load(code);
        EXPECT_TRUE(table.IsFilled(43));
        EXPECT_EQ(table.Text(43), "") << code;
        for (int n = 232; n <= 241; ++n) EXPECT_EQ(table.Text(n), "") << code << ": " << n;
        for (int n : ZoneNumbers())
            if (n != 43 && (n < 232 || n > 241)) {
                EXPECT_FALSE(table.Text(n).empty()) << code << ": " << n;
            }
        // The speed texts end in a blank: the "%u pixels per second." label follows them on screen.
        for (int n = 18; n <= 24; ++n) EXPECT_EQ(table.Text(n).back(), ' ') << code << ": " << n;
        EXPECT_GE(Count(table.Text(632), "\r\n"), 20u) << code; // the agreement spans many lines
        EXPECT_NE(table.Text(321).find("\r\n\r\n"), std::string::npos) << code; // escapes replaced
    }
}

TEST(BuiltInLanguageText, EnglishUsesTheQuotedTextsVerbatim) {
    static const std::map<int, std::string> quoted = {
        {4, "Hide"},
        {5, "Start && Hide"},
        {7, "Start & Hide"},
        {8, "Control-Sensitizer Module"},
        {9, "Get New Module"},
        {10, "Control-Modulator Module"},
        {11, "Specify a name for this module:"},
        {13, "Wrap mouse cursor at edges of the screen"},
        {17, "Command-line options"},
        {25, "%u pixels per second."},
        {26, "About"},
        {27, "Help"},
        {28, "Preferences"},
        {29, "Start"},
        {30, "Stop"},
        {31, "Restore"},
        {34, "The file that runs this program has become corrupted. This may have been caused by disk error, "
             "RAM error, and/or a virus. Please re-download this program."},
        {35, "Maximize"},
        {36, "Command line options"},
        {37, "%.05g hertz"},
        {40, "Status Display"},
        {42, "Go there"},
        {45, "Okay"},
        {46, "Cancel"},
        {47, "Apply"},
        {48, "Automatically begin sounding when the program begins."},
        {50, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||"},
        {51, "Language Options"},
        {52, "Options"},
        {53, "Your mouse has travelled a total of %.00f pixels since this program started."},
        {59, "Turn Inertia"},
        {60, "Turn Inertia'"},
        {61, "Speed"},
        {62, "Acceleration"},
        {63, "Horizontal Position"},
        {64, "Vertical Position"},
        {65, "Horizontal Velocity"},
        {66, "Vertical Velocity"},
        {67, "Horizontal Acceleration"},
        {68, "Vertical Acceleration"},
        {69, "Scroll Position"},
        {72, "Old value:"},
        {73, "New value:"},
        {74, "Control-Sensitizer Module %ld"},
        {75, "Control-Modulator Module %ld"},
        {81, "Oscillator module %ld"},
        {83, "Base frequency"},
        {84, "Frequency multiplier"},
        {85, "Amplitude control"},
        {86, "Frequency control"},
        {87, "-[ Manual ]-"},
        {88, "Oscillator module"},
        {89, "Output device"},
        {90, "Output module"},
        {91, "Output module %ld"},
        {92, "Current sound latency (in milliseconds):"},
        {93, "Latency Control"},
        {94, "%ld milliseconds"},
        {97, "Control-Echo Module"},
        {98, "Control-Echo Module %ld"},
        {100, "Long interval mode"},
        {102, "Control-Combine Module"},
        {103, "Control-Combine Module %ld"},
        {106, "Keep within specified range"},
        {107, "Control-Range Module"},
        {108, "Control-Range Module %ld"},
        {109, "Show mouse-status indicator items"},
        {110, "Noiselitude control"},
        {111, "Waveform control"},
        {113, "MIDI-Input Module"},
        {114, "MIDI-Input Module %ld"},
        {115, "Sensitivity of Control: %ld %%"},
        {116, "Signal instead of Velocity"},
        {119, "Control-Closest-Note Module"},
        {120, "Control-Closest-Note Module %ld"},
        {121, "Echo module"},
        {122, "Echo module %ld"},
        {124, "Audio-Input module"},
        {125, "Audio-Input module %ld"},
        {126, "The audio-input device is already in use and so cannot be used at the moment."},
        {128, "Pitch-Shift module"},
        {129, "Pitch-Shift module %ld"},
        {130, "Enable low-pass filter"},
        {132, "Output-%ld"},
        {134, "Output-splitter/fader module"},
        {135, "Output-splitter/fader module %ld"},
        {137, "Input-combiner/fader module"},
        {138, "Input-combiner/fader module %ld"},
        {141, "Multi-delay module"},
        {142, "Multi-delay module %ld"},
        {144, "Recording"},
        {145, "Stopped"},
        {146, "Wave Files (*.wav)|*.wav|All Files (*.*)|*.*||"},
        {147, "Wave-writer module"},
        {148, "Wave-writer module %ld"},
        {149, "The file could not be opened for writing. Check that the file is not in use, that the disk is "
              "not full, and that the file path specified is valid."},
        {150, "The file could not be opened."},
        {151, "Append to existing"},
        {152, "Configuration"},
        {153, "Load"},
        {154, "Save As..."},
        {155, "Murmelwerk Configurations (*.mwc)|*.mwc;*.mwc_|All Files (*.*)|*.*||"},
        {156, "An error occured during the writing of the file. Check that the disk is not full and is still "
              "mounted, and then try again."},
        {157, "An error occured during the writing of the file."},
        {158, "Murmelwerk Configuration (MWC)"},
        {159, "The file could not be opened for reading. Check that the file is not in use and that the file "
              "path specified is valid."},
        {160, "The file could not be opened for reading."},
        {166, "Distortion module"},
        {167, "Distortion module %ld"},
        {168, "Ramp control"},
        {170, "Rendering..."},
        {171, "%ld percent complete"},
        {173, "Colour Palette"},
        {174, "Old Colour:"},
        {175, "New Colour:"},
        {176, "Prospective Colour:"},
        {177, "Red:"},
        {178, "Green:"},
        {179, "Blue:"},
        {180, "Hex (HTML style):"},
        {181, "Minimization options"},
        {182, "System Tray settings"},
        {183, "Show icon in System Tray."},
        {184, "Only when minimized."},
        {185, "Hide taskbar button when minimized."},
        {186, "Minimize program shortly after it begins."},
        {187, "Minimize on \"Close\" / \"X\", only exit when \"Exit\" is chosen."},
        {188, "Minimize when Esc key is pressed."},
        {193, "The saved settings file is not of this program, default settings will be used."},
        {194, "The saved settings file is not of Murmelwerk Software, default settings will be used."},
        {195, "The saved settings file is either not of this program, or is not a saved settings file, "
              "default settings will be used."},
        {196, "The saved settings file is not of this version, load anyway?"},
        {197, "Load anyway?"},
        {210, "Error"},
        {212, "There is a newer version of %s available. Would you like to learn more?"},
        {213, "Version Notification"},
        {214, "Visual Preferences"},
        {215, "Dialog background colour:"},
        {216, "Dialog text colour:"},
        {217, "Module background colour:"},
        {218, "Module text colour:"},
        {219, "Some changes will not take effect until the program is restarted."},
        {220, "Normal button background colour:"},
        {221, "Normal button text colour:"},
        {222, "Default button background colour:"},
        {223, "Default button text colour:"},
        {224, "Focused button background colour:"},
        {225, "Focused button text colour:"},
        {226, "Disabled button background colour:"},
        {227, "Disabled button text colour:"},
        {228, "Hot button background colour:"},
        {229, "Hot button text colour:"},
        {230, "Inactive button background colour:"},
        {231, "Inactive button text colour:"},
        {242, "Visit the online help centre"},
        {244, "Example Mouse-Based Configuration"},
        {245, "Example MIDI-Based Configuration"},
        {246, "Example Microphone-Based Configuration"},
        {247, "Example Modulation-Based Configuration"},
        {248, "Welcome to Murmelwerk"},
        {251, "Control-Offset Module"},
        {252, "Control-Offset Module %ld"},
        {254, "Control-Gain Module"},
        {255, "Control-Gain Module %ld"},
        {257, "Control-Input Module"},
        {258, "Control-Input Module %ld"},
        {265, "Control-Sequence Module"},
        {266, "Control-Sequence Module %ld"},
        {268, "Ding-Dong module"},
        {269, "Ding-Dong module %ld"},
        {270, "Control-Sensor Module"},
        {271, "S %ld"},
        {272, "Gravity"},
        {273, "Polarity"},
        {274, "Signed"},
        {275, "Control-Note-Combine Module"},
        {276, "Control-Note-Combine Module %ld"},
        {277, "Sustain"},
        {279, "Control-Low-Cut Module"},
        {280, "Control-Low-Cut Module %ld"},
        {282, "Control-Note-Retard Module"},
        {283, "Control-Note-Retard Module %ld"},
        {285, "-[ Whence Latest Note ]-"},
        {286, "Output-analyzer module"},
        {287, "Output-analyzer module %ld"},
        {290, "Phase control"},
        {291, "Example Sequence-Based Configuration"},
        {292, "Note-catcher input-source ( optional )"},
        {293, "Module drop-down background colour:"},
        {294, "Module drop-down text colour:"},
        {296, "Low-pass module"},
        {297, "Low-pass module %ld"},
        {299, "High-pass module"},
        {300, "High-pass module %ld"},
        {301, "Control-Source"},
        {302, "Control-Effect"},
        {303, "Audio-Source"},
        {304, "Audio-Effect"},
        {305, "Audio-Other"},
        {306, "Reversed note orientation"},
        {309, "Speed ( Raw )"},
        {317, "Would you prefer that I hide in the System Tray rather than simply minimize?"},
        {318, "Minimize to the System Tray?"},
        {322, "Close or Miminize?"},
        {323, "When the Esc key is pressed, would you like me to minimize?"},
        {407, "Control-Neuron Module"},
        {408, "Control-Neuron Module %ld"},
        {409, "Make all inputs positive"},
        {410, "Sample-Rate of Control-Data"},
        {412, "Audio Step-Function module"},
        {413, "Audio Step-Function module %ld"},
        {414, "Control Step-Function Module"},
        {415, "Control Step-Function Module %ld"},
        {416, "Step-Size control"},
        {417, "Horizontal Direction ( Unsigned )"},
        {418, "Horizontal Direction ( Signed )"},
        {419, "Vertical Direction ( Unsigned )"},
        {420, "Vertical Direction ( Signed )"},
        {422, "Polyphonicator Module"},
        {423, "Polyphonicator Module %ld"},
        {424, "Request for Comments"},
        {425, "Send"},
        {426, "In the future, do not show this dialog"},
        {429, "Thank you!"},
        {430, "Thank you for your comment!"},
        {431, "Real-time CPU priority for synthesis processing ( Restart sound to effect. Warning: Can "
              "freeze system when under heavy load and/or if a glitch occurs. )."},
        {437, "Control-Note-Envelope Module"},
        {438, "Control-Note-Envelope Module %ld"},
        {451, "%g %%"},
        {452, "Microphone based"},
        {453, "MIDI based"},
        {454, "Modulation based"},
        {455, "Mouse based"},
        {456, "Neuron based"},
        {457, "Sequence based"},
        {458, "Simple Pitch and Echo"},
        {459, "Air Saw"},
        {460, "Air Synth"},
        {461, "Distorted Air"},
        {462, "Distorted Air ( Breathable )"},
        {463, "Simple Organ Thing"},
        {464, "Space-Circus Gets Flushed Down Note-Drain"},
        {465, "Space-Circus of Confused Tonality"},
        {466, "With Modulation"},
        {467, "Animalistic 1"},
        {468, "Animalistic 2"},
        {469, "Distant Signal"},
        {470, "Dizziness"},
        {471, "Plastic Hand-Saw"},
        {472, "Twisted"},
        {473, "Digital Modulation"},
        {474, "Drainpipe Dreams of Rain"},
        {475, "Powerful Electric Motor"},
        {476, "Vacuum Cleaner from Outer Space"},
        {477, "Neuronic Beat"},
        {478, "ABCs Can Bump"},
        {479, "Micro-Mechanics"},
        {481, "Send Feedback"},
        {482, "View EULA"},
        {483, "Getting Started Tutorials"},
        {484, "MIDI-Slider Module"},
        {485, "MIDI-Slider Module %ld"},
        {486, "Slider %ld"},
        {490, "Add slider(s)"},
        {491, "Move slider(s), then click me"},
        {494, "Basically Robotic"},
        {504, "Check for a newer version on program startup."},
        {600, "Murmelwerk Installer v1.4.1"},
        {606, "Install %s %s"},
        {608, "Installation of %s %s is now complete."},
        {609, "Installation Successful"},
        {610, "Are you sure you want to quit the installation?"},
        {614, "Visit the Murmelwerk forum"},
        {615, "Local Help"},
        {616, "Online Help"},
        {617, "Uninstall %s"},
        {618, "Murmelwerk Remover v1.1"},
        {619, "Click the button below to remove Murmelwerk"},
        {620, "Completely remove %s %s from this machine"},
        {621, "I was unable to remove the executable file"},
        {622, "Fatal-initialization error:"},
        {623, "Would you like to install version %s of %s?"},
        {624, "Would you like to re-install %s %s?"},
        {625, "Unable to execute installed program, will now execute self contained program."},
        {628, "You must read and scroll to the bottom to continue."},
        {629, "Continue"},
        {18, "Your mouse is currently halted at "},
        {19, "Your mouse is currently crawling at "},
        {20, "Your mouse is currently walking at "},
        {21, "Your mouse is currently jogging at "},
        {22, "Your mouse is currently running at "},
        {23, "Your mouse is blazingly travelling at "},
        {24, "Your mouse is burning up at "},
        {321,
         "When you click the X, Would you prefer that I Close or would you prefer that I Minimize?\r\n\r\n"
         "Yes - Close on X.\r\n\r\nNo - Minimize on X."},
    };
    const LanguageStrings english = Load(kLanguageEnglish);
    for (const auto& [number, text] : quoted) EXPECT_EQ(english.Text(number), text) << number;
    EXPECT_EQ(english.Text(626).rfind("Would you like to install %s %s?", 0), 0u);
    EXPECT_EQ(english.Text(16).find("-AutoStartOnly") != std::string::npos, true);
}

} // namespace
} // namespace mw
