// The language tables: the entry parser's rules, user language files and their failures, and the
// content of the built-in language text.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/settings/program_settings.hpp"
#include "base/utf.hpp"
#include "engine/engine.hpp"
#include "i18n/language_strings.hpp"
#include "language_test_support.hpp"
#include "model/module_kind.hpp"
#include "patch/builtin_patches.hpp"
#include "patch/config_file.hpp"
#include "patch/patch.hpp"
#include "sources/mouse_sampler.hpp"

namespace mw {
namespace {

using test::TempFolder;
using test::WriteUserLanguageFile;

const std::vector<int>& ZoneNumbers() {
    // 0-188, 193-197, 199-202, 206-207, 209-310, 317-318, 321-324, 400-500, 504, 600-632, 720-723, 730-736,
    // 780-782
    static const std::vector<int> numbers = [] {
        std::vector<int> n;
        const std::pair<int, int> ranges[] = {{0, 188},   {193, 197}, {199, 202}, {206, 207}, {209, 310},
                                              {317, 318}, {321, 324}, {400, 500}, {504, 504}, {600, 632},
                                              {720, 723}, {730, 736}, {780, 782}};
        for (auto [first, last] : ranges)
            for (int i = first; i <= last; ++i) n.push_back(i);
        return n;
    }();
    return numbers;
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

TEST(LanguageStringsTable, UnfilledAndOutOfRangeNumbersReadEmpty) {
    LanguageStrings table;
    EXPECT_EQ(table.SlotCount(), 1024);
    EXPECT_EQ(GeneralStrings().SlotCount(), 64);
    for (int n : {5, -1, 1024}) EXPECT_EQ(&table.Text(n), &EmptyText) << n;
    for (int n : {5, 1024, -3}) table.Set(n, n == 5 ? "five" : "nowhere");
    EXPECT_EQ(std::tuple(table.Text(5), table.FilledCount()), std::tuple(std::string("five"), 1));
    table.Clear();
    EXPECT_EQ(std::tuple(table.IsFilled(5), table.Text(5)), std::tuple(false, std::string()));
    const LanguageStrings english = Load(kLanguageEnglish); // 189 is a number the zones lack
    EXPECT_EQ(std::tuple(english.IsFilled(189), english.Text(189)), std::tuple(false, std::string()));
}

TEST(LanguageFileParsing, EntriesOfUserFiles) {
    using namespace std::string_literals;
    // A user file's text (after its byte-order mark) and the entries it gives; nullptr: not filled.
    // Every table holds exactly the entries listed as filled.
    const std::pair<std::string, std::vector<std::pair<int, const char*>>> cases[] = {
        {"\r\n[43]\t", {{43, ""}}}, // an entry with only its separator is empty
        {"\r\n[43]\t\r\n[44]\tX", {{43, ""}, {44, "X"}}},
        {"\r\n[5]", {{5, ""}}},
        // Escapes are replaced in order, "\r" before "\n": backslash, backslash, n becomes backslash,
        // line feed. No other escape exists.
        {"\r\n[5]\tA \\\"B\\\"", {{5, "A \"B\""}}},
        {"\r\n[1]\ta\\rb\\nc\\td\\'e\r\n[3]\t\\\\n\r\n[2]\tx\\y\\\\z",
         {{1, "a\rb\nc\td'e"}, {2, "x\\y\\\\z"}, {3, "\\\n"}}},
        // Only the last entry of the text is stripped; one followed by a blank line keeps one CR LF.
        {"\r\n[1]\tfirst  \r\n\r\n[2]\tmiddle\t\r\n[3]\tlast line  \t\r\n",
         {{1, "first  \r\n"}, {2, "middle\t"}, {3, "last line"}}},
        // A text runs on over line breaks up to the next CR LF that is directly followed by "[".
        {"\r\n[632]\tline one\r\nline two\r\n [not an entry]\r\n[633]\tnext",
         {{632, "line one\r\nline two\r\n [not an entry]"}, {633, "next"}}},
        // A key without a digit ends the zone; otherwise the key is read from its leading digits.
        {"\r\n[1]\ta\r\n[Zone_Other]\r\n\r\n[2]\tb", {{1, "a"}, {2, nullptr}}},
        {"\r\n[1]\ta\r\n[ \t]\tb\r\n[2]\tc", {{1, "a"}, {2, nullptr}}},
        {"\r\n[Zone_English]\r\n\r\n[29]\tStart\r\n[30]\tStop\r\n", {{29, nullptr}}},
        {"\r\n[12a]\ttwelve\r\n[ 7]\tseven", {{12, "twelve"}, {7, "seven"}}},
        {"\r\n[9]\tfirst\r\n[8]\tother\r\n[9]\tsecond", {{9, "second"}, {8, "other"}}},
        {"\r\n[1024]\ta\r\n[-1]\tb\r\n[99999999999999999999]\tc\r\n[1023]\td\r\n[0]\te",
         {{1023, "d"}, {0, "e"}}},
        {"[3]\tunseen\r\n[4]\tseen", {{3, nullptr}, {4, "seen"}}}, // right after the byte-order mark
        {"\r\n[1]\tbefore\0after\r\n[2]\tgone"s,
         {{1, "before"}, {2, nullptr}}}, // the first NUL ends the text
    };
    TempFolder folder;
    const std::string path = folder.File("user.txt");
    for (const auto& [text, entries] : cases) {
        SCOPED_TRACE(testing::PrintToString(text));
        WriteUserLanguageFile(path, text);
        LanguageStrings table;
        EXPECT_EQ(LoadLanguageZone(table, "", path), LanguageLoadFailure::None);
        int filled = 0;
        for (const auto& [number, expected] : entries) {
            EXPECT_EQ(table.IsFilled(number), expected != nullptr) << number;
            EXPECT_EQ(table.Text(number), expected ? expected : "") << number;
            filled += expected != nullptr;
        }
        EXPECT_EQ(table.FilledCount(), filled);
    }
    // The general table keeps its own 64 numbers.
    WriteUserLanguageFile(path, "\r\n[63]\tlast\r\n[64]\tbeyond\r\n[1000]\tfar");
    GeneralStrings general;
    LoadLanguageZone(general, "", path);
    EXPECT_EQ(std::tuple(general.FilledCount(), general.Text(63)), std::tuple(1, std::string("last")));
}

TEST(LanguageFileParsing, MalformedInputNeverCrashes) {
    TempFolder folder;
    const std::string path = folder.File("noise.txt");
    std::string noise;
    unsigned seed = 12345;
    for (int i = 0; i < 20001; ++i) { // odd size: the last byte is not a whole unit
        seed = seed * 1103515245u + 12345u;
        const char pick[] = {'\r', '\n', '[', ']', '5', '\\', 'x', '\0', char(0xD8), char(0xDC)};
        noise.push_back(pick[(seed >> 16) % sizeof pick]);
    }
    test::WriteBytes(path, noise);
    LanguageStrings table;
    EXPECT_EQ(LoadLanguageZone(table, "", path), LanguageLoadFailure::None);
    for (int i = 0; i < table.SlotCount(); ++i) (void)table.Text(i).size();
    WriteUserLanguageFile(path, "\r\n[5");
    EXPECT_EQ(LoadLanguageZone(table, "", path), LanguageLoadFailure::None);
}

TEST(LanguageFileFailures, UnusableFilesLoadEnglishAndReportAFixedMessage) {
    // The messages are not looked up (the table may be empty): fixed English texts.
    for (LanguageLoadFailure f :
         {LanguageLoadFailure::NoSize, LanguageLoadFailure::CannotOpen, LanguageLoadFailure::NoMemory})
        EXPECT_TRUE(std::string_view(MessageFor(f).text).ends_with(", English will be used...") &&
                    std::string_view(MessageFor(f).caption).find("language strings") != std::string::npos);
    EXPECT_STREQ(MessageFor(LanguageLoadFailure::None).text, "");
    TempFolder folder;
    test::WriteBytes(folder.File("empty.txt"), "");
    // A folder, a missing file and an empty file have no size; the zone name is not used.
    for (const std::string& path :
         {folder.Path().string(), folder.File("absent.txt"), folder.File("empty.txt")}) {
        LanguageStrings table;
        EXPECT_EQ(LoadLanguageZone(table, "[Zone_Deutsch]", path), LanguageLoadFailure::NoSize) << path;
        EXPECT_EQ(table.Text(30), "Stop") << path;
    }
}

TEST(LanguageFileFailures, UnreadableFileGivesTheOpenFailure) {
    if (::geteuid() == 0) GTEST_SKIP() << "every file is readable for root";
    TempFolder folder;
    const std::string locked = folder.File("locked.txt");
    WriteUserLanguageFile(locked, "\r\n[29]\tLos");
    ::chmod(locked.c_str(), 0);
    LanguageStrings table;
    EXPECT_EQ(LoadLanguageZone(table, "", locked), LanguageLoadFailure::CannotOpen);
    EXPECT_EQ(table.Text(29), "Start");
}

TEST(LanguageFileFailures, ApplyingLanguagesAndTheUserFile) {
    TempFolder folder;
    LanguageStrings table;
    ProgramSettings settings;
    settings.LanguageCode = kLanguageUserFile;
    settings.UserLanguageFile = folder.File("vanished.txt");
    EXPECT_EQ(ApplyLanguage(settings, table), LanguageLoadFailure::NoSize);
    EXPECT_EQ(settings.LanguageCode, kLanguageUserFile); // the next start tries the file again
    EXPECT_EQ(table.Text(29), "Start");
    settings.UserLanguageFile.clear(); // code 1000 without a file: reported like a file without size
    EXPECT_EQ(ApplyLanguage(settings, table), LanguageLoadFailure::NoSize);
    // Switching languages leaves no earlier text behind.
    ASSERT_EQ(ApplyLanguage(table, kLanguageDeutsch, ""), LanguageLoadFailure::None);
    EXPECT_EQ(table.Text(30), "Stopp");
    const std::string path = folder.File("mine.txt");
    WriteUserLanguageFile(path, "\r\n[30]\tHalt\r\n");
    EXPECT_EQ(ApplyLanguage(table, kLanguageUserFile, path), LanguageLoadFailure::None);
    EXPECT_EQ(std::tuple(table.Text(30), table.FilledCount()), std::tuple(std::string("Halt"), 1));
    // A zone the built-in text lacks loads nothing and reports nothing.
    LanguageStrings other;
    EXPECT_EQ(LoadLanguageZone(other, "[Zone_Klingon]"), LanguageLoadFailure::None);
    EXPECT_EQ(other.FilledCount(), 0);
}

TEST(BuiltInLanguageText, LayoutOfTheText) {
    const std::u16string_view text = BuiltInLanguageText();
    EXPECT_TRUE(text.starts_with(u"\xFEFF\r\n[Zone_General]") && text.ends_with(u"\r\n\r\n"));
    size_t last = 0;
    for (const char* zone : {"[Zone_General]", "[Zone_English]", "[Zone_Deutsch]", "[Zone_Francais]",
                             "[Zone_Espanol]", "[Zone_Japanese]"}) {
        const size_t at = text.find(utf::Utf8ToUtf16(std::string("\r\n") + zone + "\r\n\r\n["));
        ASSERT_NE(at, std::u16string_view::npos) << zone;
        EXPECT_GT(at + 1, last) << zone;
        last = at + 1;
    }
    // Every line ends with CR LF: no CR or LF stands alone.
    for (size_t i = 1; i < text.size(); ++i)
        ASSERT_EQ(text[i - 1] == u'\r', text[i] == u'\n') << "at unit " << i;
}

TEST(BuiltInLanguageText, GeneralZoneHoldsTheLanguageNamesAndPrompts) {
    GeneralStrings general;
    LoadGeneralStrings(general);
    EXPECT_EQ(general.FilledCount(), 10);
    const std::pair<int, const char*> texts[] = {
        {0, "English"}, {1, "Please choose your language below (if available)"},
        {2, "Deutsch"}, {4, "Français"},
        {6, "Español"}, {8, "日本語"}};
    for (auto [n, text] : texts) EXPECT_EQ(general.Text(n), text);
    for (int n : {3, 5, 7, 9}) EXPECT_GT(general.Text(n).size(), 10u) << n;
    EXPECT_EQ(general.Text(9).find("\r\n"), general.Text(9).size() - 2); // the zone's blank line follows
}

TEST(BuiltInLanguageText, GermanZoneStopsAtTheFrenchHeader) {
    const LanguageStrings german = Load(kLanguageDeutsch);
    EXPECT_EQ(std::tuple(german.Text(30), Load(kLanguageFrancais).Text(30)),
              std::tuple(std::string("Stopp"), std::string("Arrêter")));
    for (int n : ZoneNumbers()) EXPECT_EQ(german.Text(n).find("[Zone_"), std::string::npos) << n;
    // The zone's last entry runs up to the blank line before "[Zone_Francais]" and keeps one CR LF.
    const std::string& agreement = german.Text(632);
    EXPECT_TRUE(agreement.size() > 2 && agreement.ends_with("\r\n"));
    EXPECT_EQ(agreement.find("Zone_Francais") & agreement.find("CONTRAT"), std::string::npos);
    // The Japanese agreement is the last entry of the whole text, so it is stripped.
    EXPECT_NE(Load(kLanguageJapanese).Text(632).back(), '\n');
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
}

TEST(BuiltInLanguageText, EveryLanguageFillsItsNumbersWithTextsOfTheRightShape) {
    for (uint16_t code = 0; code <= 4; ++code) {
        const LanguageStrings table = Load(code);
        EXPECT_EQ(table.FilledCount(), 461) << code;
        for (int n : ZoneNumbers()) {
            EXPECT_TRUE(table.IsFilled(n)) << code << ": " << n;
            // Only 43 and 232-241 are empty.
            EXPECT_EQ(table.Text(n).empty(), n == 43 || (n >= 232 && n <= 241)) << code << ": " << n;
        }
        // The speed texts end in a blank: the "%u pixels per second." label follows them on screen.
        for (int n = 18; n <= 24; ++n) EXPECT_EQ(table.Text(n).back(), ' ') << code << ": " << n;
        EXPECT_GE(Count(table.Text(632), "\r\n"), 20u) << code; // the agreement spans many lines
        EXPECT_NE(table.Text(321).find("\r\n\r\n"), std::string::npos) << code; // escapes replaced
    }
    EXPECT_EQ(Load(7).Text(30), "Stop"); // an unknown code selects English
    EXPECT_EQ(ZoneNameFor(1000), "[Zone_English]");
}

TEST(BuiltInLanguageText, EnglishTexts) {
    const LanguageStrings english = Load(kLanguageEnglish);
    // The printf conversions of the English texts that are filled in at run time.
    const std::pair<std::vector<std::string>, std::vector<int>> conversions[] = {
        {{"%ld"},
         {74,  75,  81,  91,  94,  98,  103, 108, 114, 120, 122, 125, 129, 132, 135, 138, 142, 148, 167, 171,
          252, 255, 258, 266, 269, 271, 276, 280, 283, 287, 297, 300, 408, 413, 415, 423, 438, 485, 486}},
        {{"%ld", "%%"}, {115}},
        {{"%g", "%%"}, {451}},
        {{"%u"}, {25}},
        {{"%.05g"}, {37}},
        {{"%.00f"}, {53}},
        {{"%s"}, {212, 617, 721, 722, 780}},
        {{"%s", "%s"}, {606, 608, 620, 623, 624}}};
    for (const auto& [expected, numbers] : conversions)
        for (int n : numbers) EXPECT_EQ(Conversions(english.Text(n)), expected) << n;
    EXPECT_NE(english.Text(16).find("-AutoStartOnly"), std::string::npos);
}

// The English texts the code falls back to without a language table are the built-in English texts.
TEST(BuiltInLanguageText, FallbackTextsOfTheCodeAreTheEnglishTexts) {
    std::vector<std::pair<int, std::string>> fallbacks;
    const auto record = [&](int number, std::string_view english) {
        fallbacks.emplace_back(number, english);
        return std::string(english);
    };
    Engine engine;
    Patch patch(engine);
    patch.SetTextLookup(record);
    for (const KindInfo& info : AllKinds()) {
        record(info.menuLabel, info.menuLabelEnglish);
        (void)patch.DefaultName(info.kind);
        const Module module(info.kind);
        for (int k = 0; k < 2; ++k) (void)patch.OutputLabel(module, k);
    }
    for (const BuiltInPatch& p : BuiltInPatches()) record(p.nameString, p.name);
    for (const BuiltInSubmenu& menu : BuiltInMenu()) record(menu.title, menu.english);
    for (int n = mouse_text::kHalted; n <= mouse_text::kBurning; ++n) record(n, SpeedClassEnglish(n));
    record(mouse_text::kPixelsPerSecond, mouse_text::kPixelsPerSecondEnglish);
    record(mouse_text::kHertz, mouse_text::kHertzEnglish);
    record(mouse_text::kDistance, mouse_text::kDistanceEnglish);
    record(mouse_text::kMilliseconds, mouse_text::kMillisecondsEnglish);
    record(158, kDefaultConfigHeader);
    for (ConfigStatus status :
         {ConfigStatus::OpenFailed, ConfigStatus::CreateFailed, ConfigStatus::WriteFailed}) {
        const ConfigMessage m = MessageFor(status).value();
        record(m.text, m.englishText);
        record(m.caption, m.englishCaption);
    }
    const LanguageStrings english = Load(kLanguageEnglish);
    std::set<int> numbers;
    for (const auto& [number, text] : fallbacks) {
        EXPECT_EQ(english.Text(number), text) << number;
        numbers.insert(number);
    }
    for (int n : {132, 272, 273, 486, 81}) EXPECT_TRUE(numbers.count(n)) << n; // the labels and a name
}

} // namespace
} // namespace mw
